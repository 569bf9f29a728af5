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

TEST(Cli, RemoveExitsThreeWhenACheckedFindingStays) {
    World world(kRun);
    // A file of that name in startbug already: the Startup file cannot move there.
    world.touch(std::string(kStartupFolder) + "\\notes.lnk");
    world.touch(std::string(kStartbug) + "\\notes.lnk");
    auto r = RunCommand(world, {"remove", "sp"});
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_NE(r.out.find("== sp lvsp 1\n"), std::string::npos) << r.out;
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
