#include <gtest/gtest.h>

#include <sstream>

#include "cli/Cli.h"
#include "support/World.h"

namespace keltora::testing {
namespace {

const std::string kRun = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                         "CurrentVersion\\Run]\n\"One\"=\"one.exe\"\n\"Two\"=\"two.exe\"\n";

struct Result {
    int code;
    std::string out, err;
};

Result RunCommand(World& world, std::vector<std::string> args) {
    std::ostringstream out, err;
    ConsoleHost host(err, "C:\\Program Files\\Keltora Professional\\");
    int code = RunCli(args, world.platform(), host, out, err);
    return {code, out.str(), err.str()};
}

const char* kHeader = "Error Items\tRepair Report\tDetail Info\tRegistry Location\n";

TEST(Cli, ScanPrintsTheListFormatWithoutPausing) {
    World world(kRun);
    auto r = RunCommand(world, {"scan", "sp"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::string("== sp lvsp 2\n") + kHeader +
                         "x\tOne\tRarely Used(Remove)\tone.exe\tHKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\n"
                         "x\tTwo\tRarely Used(Remove)\ttwo.exe\tHKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\n");
    EXPECT_EQ(world.machine.clock.totalMs(), 0u);
}

TEST(Cli, PaceScalesThePausesAndCanReportThem) {
    World world(kRun);
    auto r = RunCommand(world, {"--pace", "0.5", "--pauses", "scan", "sp"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(world.machine.clock.totalMs(), (105u + 2u) * 15u);
    EXPECT_EQ(r.err, "paused " + std::to_string((105u + 2u) * 15u) + " ms\n");
}

TEST(Cli, RemoveKeepsTheUncheckedRows) {
    World world(kRun);
    auto r = RunCommand(world, {"remove", "sp", "--uncheck", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::string("== sp lvsp 1\n") + kHeader +
                         "-\tTwo\tRarely Used(Remove)\ttwo.exe\tHKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\n");
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"));
}

TEST(Cli, IgnoreHoldsInTheNextProcess) {
    World world(kRun);
    EXPECT_EQ(RunCommand(world, {"ignore", "sp", "0"}).code, 0);
    auto r = RunCommand(world, {"scan", "sp"});
    EXPECT_NE(r.out.find("== sp lvsp 1\n"), std::string::npos);
    EXPECT_EQ(r.out.find("\tOne\t"), std::string::npos);
}

TEST(Cli, UsageErrorsExitTwoWithOneLine) {
    World world(kRun);
    const std::vector<std::vector<std::string>> bad = {
        {}, {"frobnicate"}, {"scan"}, {"scan", "xx"}, {"remove", "sp", "--uncheck", "7"},
        {"remove", "sp", "--uncheck", "a"}, {"ignore", "sp", "9"}, {"ignore", "bin", "0"}, {"--pace", "fast", "scan", "sp"},
    };
    for (const auto& args : bad) {
        auto r = RunCommand(world, args);
        EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST(Cli, RaisedErrorsExitOne) {
    World world(kRun);
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n\"loadwithwin\"=\"1\"\n");
    world.machine.registry.deny(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    auto r = RunCommand(world, {"categories"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Access is denied.\n");
}

// A console command that changes things waits its turn behind another Keltora program, saying
// so, for a bounded time; one that reads only does not wait at all.
TEST(Cli, ChangingCommandsWaitForTheCommandLockBounded) {
    for (const int releasedAfter : {3, -1}) {
        World world(kRun);
        world.machine.commandLock.hold(true);
        int pauses = 0;
        world.machine.clock.onSleep = [&](std::uint32_t ms) {
            EXPECT_EQ(ms, TForm1::kLockPollMs);
            if (++pauses == releasedAfter) world.machine.commandLock.hold(false);
        };
        EXPECT_EQ(RunCommand(world, {"scan", "sp"}).code, 0);
        EXPECT_EQ(pauses, 0);
        auto r = RunCommand(world, {"remove", "sp"});
        EXPECT_EQ(r.code, releasedAfter > 0 ? 0 : 1) << r.err;
        EXPECT_EQ(r.err.find("Another Keltora command is running; waiting for it to end.\n"), 0u) << r.err;
        EXPECT_EQ(r.err.find(TForm1::kLockBusy) != std::string::npos, releasedAfter < 0);
        EXPECT_EQ(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"),
                  releasedAfter < 0);
        EXPECT_EQ(pauses, releasedAfter > 0 ? 3 : static_cast<int>(15 * 60 * 1000 / TForm1::kLockPollMs));
        EXPECT_EQ(world.machine.commandLock.held(), releasedAfter < 0);
    }
}

// What needs the program-files folder fails with exit 1 and names the setting; a removal that
// left a file untouched for safety says so and exits 1.
TEST(Cli, ASafetyRefusalOrAMissingSettingExitsOne) {
    World world("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                "CurrentVersion]\n\"ProgramFilesDir\"=\"\"\n");
    world.touch(std::string(kStartupFolder) + "\\run.lnk");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"backup"}, {"ignore", "sp", "0"}, {"remove", "sp"}}) {
        auto r = RunCommand(world, args);
        EXPECT_EQ(r.code, 1) << args[0];
        EXPECT_NE(r.err.find("ProgramFilesDir"), std::string::npos) << r.err;
    }
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
               "CurrentVersion\\Explorer\\Shell Folders]\n\"Recent\"=\"C:\\\\Recent\"\n");
    world.machine.files.addFile("C:\\Secret\\keep.txt", 1);
    world.machine.files.addLink("C:\\Recent\\doc.lnk", "C:\\Secret\\keep.txt", false);
    auto r = RunCommand(world, {"remove", "pc"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("C:\\Recent\\doc.lnk"), std::string::npos) << r.err;
    EXPECT_TRUE(world.files().exists("C:\\Secret\\keep.txt"));
}

TEST(Cli, CategoriesPrintsTheTable) {
    World world;
    auto r = RunCommand(world, {"categories"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 20);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "sp\tlvsp\t1\tRunning While Startup\tRegistry");
    EXPECT_NE(r.out.find("da\tLV2\t20\tProgressive Registry Analysis\tRegistry\n"), std::string::npos);
}

}  // namespace
}  // namespace keltora::testing
