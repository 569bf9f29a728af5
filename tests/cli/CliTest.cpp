#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "cli/Cli.h"
#include "cli/ListPrinter.h"
#include "platform/memory/RegFile.h"
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

TEST(Cli, RemoveKeepsTheUncheckedRowsOfTheListingRead) {
    World world(kRun);
    ASSERT_EQ(RunCommand(world, {"scan", "sp"}).code, 0);
    auto r = RunCommand(world, {"remove", "sp", "--uncheck", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::string("== sp lvsp 1\n") + kHeader +
                         "-\tTwo\tRarely Used(Remove)\ttwo.exe\tHKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\n");
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"));
    // The listing printed by the removal is the one the next rows refer to.
    EXPECT_EQ(RunCommand(world, {"remove", "sp", "--uncheck", "0"}).code, 0);
    EXPECT_TRUE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Two"));
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
    ASSERT_EQ(RunCommand(world, {"scan", "sp"}).code, 0);
    EXPECT_EQ(RunCommand(world, {"ignore", "sp", "0"}).code, 0);
    auto r = RunCommand(world, {"scan", "sp"});
    EXPECT_NE(r.out.find("== sp lvsp 1\n"), std::string::npos);
    EXPECT_EQ(r.out.find("\tOne\t"), std::string::npos);
}

TEST(Cli, UsageErrorsExitTwoWithOneLine) {
    World world(kRun);
    ASSERT_EQ(RunCommand(world, {"scan", "sp"}).code, 0);
    const std::vector<std::vector<std::string>> bad = {
        {}, {"frobnicate"}, {"scan"}, {"scan", "xx"}, {"remove", "sp", "--uncheck", "7"},
        {"remove", "sp", "--uncheck", "a"}, {"ignore", "sp", "9"}, {"ignore", "bin", "0"}, {"--pace", "fast", "scan", "sp"},
        {"--pace", "nan", "scan", "sp"}, {"--pace", "inf", "scan", "sp"}, {"--pace", "-1", "scan", "sp"},
        {"--pace", "1e999", "scan", "sp"}, {"--pace", "", "scan", "sp"}, {"scan", "sp", "--dry-run"},
        {"ignore", "sp", "0", "--dry-run"}, {"--json"},
    };
    for (const auto& args : bad) {
        auto r = RunCommand(world, args);
        EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

const std::string kDeadUninstall =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dead]\n\"x\"=\"y\"\n";
const std::string kMachineRun =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"Machine\"=\"m.exe\"\n";

// Each exit status, one meaning each; nothing is changed by a command that does not end in 0
// or 3.
TEST(Cli, ExitStatuses) {
    struct Row {
        const char* name;
        std::function<void(World&)> setup;
        std::vector<std::string> args;
        int code;
        const char* err;  // a part of stderr
    };
    const auto listed = [](World& w) { RunCommand(w, {"scan", "sp"}); };
    const auto user = [](World& w) { w.machine.account.isElevated = false; };
    const Row rows[] = {
        {"done", listed, {"remove", "sp", "--uncheck", "0"}, 0, ""},
        {"never listed", nullptr, {"remove", "sp", "--uncheck", "0"}, 1, "no listing of sp"},
        {"listing changed", [&](World& w) { listed(w); w.load(kRun + "\"Zero\"=\"0.exe\"\n"); },
         {"ignore", "sp", "0"}, 1, "have changed since they were listed"},
        {"left listed", [](World& w) { w.touch(std::string(kStartupFolder) + "\\held.lnk"); w.machine.files.lock(std::string(kStartupFolder) + "\\held.lnk"); },
         {"remove", "sp"}, 3, ""},
        {"no backup", [](World& w) { w.machine.shell.onRun([](const ShellCall&) { return std::optional<std::uint32_t>(1); }); },
         {"repair", "--rows", "1", "--backup"}, 4, "The registry backup was not made"},
        {"machine key", [&](World& w) { w.load(kDeadUninstall); user(w); }, {"remove", "ue"}, 5,
         "remove needs administrator rights"},
        {"the user's own Run values", user, {"remove", "sp"}, 0, ""},
        {"machine Run key beside the user's", [&](World& w) { w.load(kMachineRun); user(w); }, {"repair", "--rows", "1,8"}, 3,
         "runs without administrator rights"},
        {"memory dumps", user, {"repair", "--rows", "14"}, 5, "memory dumps in the Windows folder"},
        {"ignore file", [&](World& w) { listed(w); user(w); }, {"ignore", "sp", "0"}, 5, "below Program Files"},
        {"backups", user, {"backup"}, 5, "the Backups folder"},
        {"typed URLs", user, {"remove", "url"}, 0, ""},
        {"user's own", user, {"remove", "co"}, 0, ""},
    };
    for (const auto& row : rows) {
        World world(kRun);
        if (row.setup) row.setup(world);
        const std::string before = ExportRegFile(world.registry());
        auto r = RunCommand(world, row.args);
        EXPECT_EQ(r.code, row.code) << row.name << ": " << r.err;
        EXPECT_NE(r.err.find(row.err), std::string::npos) << row.name << ": " << r.err;
        if (r.code != 0 && r.code != 3) {
            EXPECT_EQ(ExportRegFile(world.registry()), before) << row.name;
        }
    }
}

// A Run value named with a TAB and a line break stays one line of its listing.
TEST(Cli, ControlCharactersAreEscapedInTheListing) {
    World world;
    world.machine.registry.setString(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                     "a\tb\r\nc", "C:\\x64\\tool.exe");
    auto r = RunCommand(world, {"scan", "sp"});
    EXPECT_NE(r.out.find("\nx\ta\\x09b\\x0D\\x0Ac\tRarely Used(Remove)\tC:\\x5Cx64\\tool.exe\tHKCU\\"), std::string::npos)
        << r.out;
    const std::pair<const char*, const char*> texts[] = {
        {"C:\\Windows\\x.exe", "C:\\Windows\\x.exe"}, {"\x7F\x01", "\\x7F\\x01"}, {"\\x4", "\\x4"}, {"\\xAB", "\\x5CxAB"}};
    for (const auto& [text, escaped] : texts) EXPECT_EQ(EscapeListText(text), escaped);
}

TEST(Cli, JsonIsOneDocumentInUtf8WithItsStatus) {
    World world(kRun);
    world.machine.registry.setString(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                     "Caf\xE9\t\"", "c.exe");
    auto r = RunCommand(world, {"--json", "scan", "sp"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "{\"status\":0,\"code\":\"sp\",\"list\":\"lvsp\",\"columns\":[\"Error Items\",\"Repair Report\","
                     "\"Detail Info\",\"Registry Location\"],\"findings\":[" +
                         std::string("{\"checked\":true,\"caption\":\"One\",\"subItems\":[\"Rarely Used(Remove)\",\"one.exe\","
                                     "\"HKCU\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\"]},") +
                         "{\"checked\":true,\"caption\":\"Two\",\"subItems\":[\"Rarely Used(Remove)\",\"two.exe\","
                         "\"HKCU\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\"]},"
                         "{\"checked\":true,\"caption\":\"Caf\xC3\xA9\\t\\\"\",\"subItems\":[\"Rarely Used(Remove)\",\"c.exe\","
                         "\"HKCU\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\"]}]}\n");
    EXPECT_EQ(RunCommand(world, {"--json", "frobnicate"}).out,
              "{\"status\":2,\"error\":\"unknown command 'frobnicate'\"}\n");
}

// A dry run decides and prints, and leaves the registry and every file byte for byte as they
// were: no backup, no removal, no listing recorded, no Run entry written, even where a
// removal does not ask whether it is one. It needs no administrator's token.
TEST(Cli, ADryRunChangesNothing) {
    World world(kRun + "\n[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n\"loadwithwin\"=\"1\"\n");
    world.touch(std::string(kStartupFolder) + "\\notes.lnk");
    world.touch("C:\\Windows\\memory.dmp");
    world.machine.shell.recycle("old.txt", 10);
    world.machine.account.isElevated = false;
    auto snapshot = [&] {
        std::string all = ExportRegFile(world.registry());
        for (const auto& path : world.machine.files.paths()) all += path + "=" + world.files().readFile(path).value_or("/") + "\n";
        return all + std::to_string(world.machine.shell.recycledItems());
    };
    const std::string before = snapshot();
    for (const auto& args : {std::vector<std::string>{"remove", "sp", "--dry-run"},
                             std::vector<std::string>{"repair", "--backup", "--dry-run"}}) {
        auto r = RunCommand(world, args);
        EXPECT_TRUE(r.code == 0 || r.code == 3) << r.err;
        EXPECT_NE(r.err.find("dry run, nothing was changed: "), std::string::npos) << r.err;
        EXPECT_EQ(snapshot(), before) << args[0];
    }
    EXPECT_TRUE(world.machine.shell.runs().empty());
    auto json = RunCommand(world, {"--json", "remove", "sp", "--dry-run"});
    EXPECT_NE(json.out.find("\"removal\":{\"removed\":"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"dryRun\":true"), std::string::npos) << json.out;
}

TEST(Cli, StartUpFailuresAreShownAndTheCommandGoesOn) {
    World world(kRun);
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n\"loadwithwin\"=\"1\"\n");
    world.machine.registry.deny(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    auto r = RunCommand(world, {"categories"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "Cannot write the Run entry KeltoraPro in HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run "
                     "for the setting loadwithwin: Access is denied.\n");
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
    // A backup that cannot be made is exit 4; the ignore file and the startbug move exit 1.
    const std::pair<std::vector<std::string>, int> rows[] = {
        {{"backup"}, 4}, {{"scan", "sp"}, 0}, {{"ignore", "sp", "0"}, 1}, {{"remove", "sp"}, 1}};
    for (const auto& [args, code] : rows) {
        auto r = RunCommand(world, args);
        EXPECT_EQ(r.code, code) << args[0];
        if (code != 0) {
            EXPECT_NE(r.err.find("ProgramFilesDir"), std::string::npos) << r.err;
        }
    }
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
               "CurrentVersion\\Explorer\\Shell Folders]\n\"Recent\"=\"C:\\\\Recent\"\n");
    world.machine.files.addFile("C:\\Secret\\keep.txt", 1);
    world.machine.files.addLink("C:\\Recent\\doc.lnk", "C:\\Secret\\keep.txt", false);
    // Left for safety: done as far as it could be, the finding still listed (exit 3), and said.
    auto r = RunCommand(world, {"remove", "pc"});
    EXPECT_EQ(r.code, 3);
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
