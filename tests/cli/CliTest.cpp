#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/ListPrinter.h"
#include "platform/memory/RegFile.h"
#include "scanners/browsers/BrowserMachine.h"
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

// A usage error says what is wrong on one line, without the whole usage after it, and names a
// category by its code and page, never by the window's internal name of its list.
TEST(Cli, UsageErrorsExitTwoWithOneLine) {
    World world(kRun);
    ASSERT_EQ(RunCommand(world, {"scan", "sp"}).code, 0);
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"frobnicate"}, "unknown command 'frobnicate'"}, {{"scan"}, ""}, {{"scan", "xx"}, "unknown category 'xx'"},
        {{"remove", "sp", "--uncheck", "7"}, "keltora-cli: row 7 is not in sp (Running While Startup, 2 findings)\n"},
        {{"remove", "sp", "--uncheck", "a"}, ""}, {{"ignore", "sp", "9"}, "row 9 is not in sp (Running While Startup"},
        {{"ignore", "bin", "0"}, ""}, {{"--pace", "fast", "scan", "sp"}, ""}, {{"--pace", "nan", "scan", "sp"}, ""},
        {{"--pace", "inf", "scan", "sp"}, ""}, {{"--pace", "-1", "scan", "sp"}, ""}, {{"--pace", "1e999", "scan", "sp"}, ""},
        {{"--pace", "", "scan", "sp"}, ""}, {{"scan", "sp", "--pace"}, "--pace needs a value"},
        {{"scan", "sp", "--dry-run"}, "scan does not take --dry-run"}, {{"ignore", "sp", "0", "--dry-run"}, ""},
        {{"--json"}, "no command"}, {{"--frob", "scan", "sp"}, "unknown option '--frob'"},
        {{"remove"}, "keltora-cli: usage: remove CODE [--uncheck ROWS] [--dry-run]\n"},
        {{"restore"}, "keltora-cli: usage: restore NAME\n"},
    };
    for (const auto& [args, said] : bad) {
        auto r = RunCommand(world, args);
        EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
        for (const auto& info : kCategories) EXPECT_EQ(r.err.find(info.listName), std::string::npos) << r.err;
    }
}

// --help, -h, help and /? print the usage on stdout: every command, every option, every category
// of the table with its page and group. --version the product and version. Nothing at all: the
// usage on stderr, exit 2.
TEST(Cli, HelpVersionAndTheBareCommandLine) {
    World world;
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"help"}, {"/?"}, {"scan", "--help"}}) {
        auto r = RunCommand(world, args);
        EXPECT_EQ(r.code, 0) << args[0];
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.find("usage: keltora-cli "), 0u) << r.out;
        for (const auto& command : Commands()) EXPECT_NE(r.out.find("\n  " + std::string(command.name)), std::string::npos);
        for (const auto& option : kOptions) EXPECT_NE(r.out.find("\n  " + std::string(option.name)), std::string::npos);
        for (const auto& info : kCategories) {
            const auto at = r.out.find("\n  " + std::string(info.code) + " ");
            ASSERT_NE(at, std::string::npos) << info.code;
            const std::string line = r.out.substr(at + 1, r.out.find('\n', at + 1) - at - 1);
            EXPECT_NE(line.find(" " + std::string(info.menuItem) + " "), std::string::npos) << line;
            EXPECT_TRUE(line.ends_with(" " + std::string(info.group))) << line;
        }
    }
    auto version = RunCommand(world, {"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "Keltora Professional 3.55 (keltora-cli)\n");
    auto bare = RunCommand(world, {});
    EXPECT_EQ(bare.code, 2);
    EXPECT_EQ(bare.out, "");
    EXPECT_EQ(bare.err, RunCommand(world, {"--help"}).out);
}

// Category codes in any case, options before or after the command: the same command line.
TEST(Cli, CodesInAnyCaseAndOptionsAnywhere) {
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> same = {
        {{"scan", "SP"}, {"scan", "sp"}},
        {{"scan", "Sp", "CO"}, {"scan", "sp", "co"}},
        {{"scan", "sp", "--json"}, {"--json", "scan", "sp"}},
        {{"remove", "sp", "--dry-run", "--json"}, {"--json", "--dry-run", "remove", "SP"}},
        {{"scan", "sp", "--pace", "0"}, {"--pace", "0", "scan", "sp"}},
    };
    for (const auto& [given, plain] : same) {
        World a(kRun), b(kRun);
        auto r = RunCommand(a, given), expected = RunCommand(b, plain);
        EXPECT_EQ(r.code, 0) << ::testing::PrintToString(given) << r.err;
        EXPECT_EQ(r.out, expected.out) << ::testing::PrintToString(given);
        EXPECT_EQ(r.err, expected.err) << ::testing::PrintToString(given);
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
        {"a listed file replaced", [&](World& w) {
             w.touch(std::string(kStartupFolder) + "\\notes.lnk");
             listed(w);
             w.files().deleteFile(std::string(kStartupFolder) + "\\notes.lnk");
             w.touch(std::string(kStartupFolder) + "\\notes.lnk");
         },
         {"remove", "sp", "--uncheck", "0"}, 1, "have changed since they were listed"},
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
    // A document that stopped always holds the reason in its messages.
    EXPECT_EQ(RunCommand(world, {"--json", "scan", "xx"}).out,
              "{\"status\":2,\"error\":\"unknown category 'xx' (keltora-cli --help lists them)\",\"messages\":"
              "[\"unknown category 'xx' (keltora-cli --help lists them)\"]}\n");
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

// The dry run's preview: every finding of the category marked "would remove" or "would stay"
// with why, then the counts; in JSON "wouldRemove" and "wouldStay" per category.
TEST(Cli, ADryRunListsWhatItWouldRemoveAndWhatWouldStay) {
    const std::string run = "\tHKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    World world(kRun);
    world.touch(std::string(kStartupFolder) + "\\notes.lnk");
    world.touch(std::string(kStartbug) + "\\notes.lnk");
    ASSERT_EQ(RunCommand(world, {"scan", "sp"}).code, 0);
    auto text = RunCommand(world, {"remove", "sp", "--uncheck", "1", "--dry-run"});
    EXPECT_EQ(text.code, 3) << text.err;
    EXPECT_EQ(text.out, "would remove\tsp\tOne" + run + "\n" + "would stay\tsp\tTwo" + run + "\tunchecked\n" +
                            "would stay\tsp\tnotes.lnk\t" + kStartupFolder +
                            "\tthe folder it was to be moved into already holds a file of that name\n"
                            "sp: 1 would be removed, 2 would stay\n");
    EXPECT_EQ(text.err, "dry run, nothing was changed: 1 would be removed, 0 are gone already, 0 are no longer "
                        "findings, 1 would stay listed\n");
    auto json = RunCommand(world, {"remove", "sp", "--json", "--dry-run"});
    EXPECT_NE(json.out.find("\"wouldRemove\":[{\"caption\":\"One\",\"location\":\"HKCU\\\\Software\\\\Microsoft"),
              std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"wouldStay\":[{\"caption\":\"notes.lnk\",\"location\":"), std::string::npos) << json.out;
    // The Recycle Bin, emptied as a whole, would go whole.
    world.machine.shell.recycle("old.txt", 10);
    auto repair = RunCommand(world, {"repair", "--rows", "1,11", "--dry-run"});
    EXPECT_NE(repair.out.find("would remove\tsp\tTwo" + run + "\n"), std::string::npos) << repair.out;
    EXPECT_NE(repair.out.find("\nsp: 2 would be removed, 1 would stay\nwould remove\tbin\t1 files in Recycle Bin\t\n"
                              "bin: 1 would be removed, 0 would stay\nall: 3 would be removed, 1 would stay\n"),
              std::string::npos) << repair.out;
    EXPECT_NE(repair.err.find(": 3 would be removed, 0 are gone already, 0 are no longer findings, 1 would stay listed"),
              std::string::npos) << repair.err;
    auto repairJson = RunCommand(world, {"--json", "repair", "--rows", "1", "--dry-run"});
    EXPECT_NE(repairJson.out.find("\"code\":\"sp\",\"list\":\"lvsp\""), std::string::npos) << repairJson.out;
    EXPECT_NE(repairJson.out.find("\"wouldStay\":[{\"caption\":\"notes.lnk\""), std::string::npos) << repairJson.out;
}

// A finding that stands for many objects (a browser's cache, its history) is followed in the dry
// run by each of them: its files, the rows of each table, as the removal would take them. While
// the browser runs (its lock held), each would stay, and says so as the real removal would; a
// lock file the browser left behind when it ended holds nothing back.
TEST(Cli, ADryRunOfABrowserListsTheFilesAndRowsItWouldTake) {
    World world;
    MakeEdgeProfile(world.machine.files);
    const std::string lockFile = kEdgeData + "\\lockfile";
    world.machine.files.addFile(lockFile, 0);
    const auto before = world.machine.files.readFile(kEdgeHistory);
    auto text = RunCommand(world, {"--dry-run", "remove", "edge"});
    EXPECT_EQ(text.code, 0) << text.err;
    const std::string profile = kEdgeProfile + "\\";
    for (const std::string& line :
         {"would remove\tedge\tCache\t" + profile + "\nwould take\tedge\t" + profile + "Cache\\Cache_Data\\f_000001\n",
          "would remove\tedge\tBrowsing history\t" + profile + "\nwould take\tedge\t3 rows of visits\n"
          "would take\tedge\t3 rows of keyword_search_terms\nwould take\tedge\t3 rows of segment_usage\n"
          "would take\tedge\t3 rows of segments\nwould take\tedge\t3 rows of urls\n",
          "would remove\tedge\tCookies: tracker.example\t" + profile + "\nwould take\tedge\t2 rows of cookies\n"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << text.out;
    EXPECT_EQ(world.machine.files.readFile(kEdgeHistory), before);
    auto json = RunCommand(world, {"--json", "--dry-run", "remove", "edge"});
    EXPECT_NE(json.out.find("\"caption\":\"Cookies: ads.example\",\"location\":\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"takes\":[\"1 row of cookies\"]"), std::string::npos) << json.out;
    world.machine.files.lock(lockFile);
    text = RunCommand(world, {"--dry-run", "remove", "edge"});
    EXPECT_EQ(text.code, 3) << text.err;
    EXPECT_NE(text.out.find("would stay\tedge\tCache\t" + profile + "\tClose Microsoft Edge to clean\n"),
              std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("\tunchecked\n"), std::string::npos) << text.out;
    json = RunCommand(world, {"--json", "--dry-run", "remove", "edge"});
    EXPECT_NE(json.out.find("\"why\":\"Close Microsoft Edge to clean\""), std::string::npos) << json.out;
    EXPECT_EQ(json.out.find("\"why\":\"unchecked\""), std::string::npos) << json.out;
}

// A real removal says on stderr what it did, and names the undo journal that keeps what left the
// registry; one that changed no registry value names none.
TEST(Cli, ARemovalSaysWhatItDidAndItsUndoJournal) {
    World world(kRun);
    auto r = RunCommand(world, {"remove", "sp"});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string listing = RunCommand(world, {"undo"}).out;
    const std::string name = listing.substr(0, listing.find('\t'));
    EXPECT_EQ(r.err, "2 removed, 0 were gone meanwhile, 0 were no longer findings, 0 could not be removed and stay "
                     "listed; the undo journal " + name + " keeps what left the registry (keltora-cli undo " +
                         name.substr(0, name.size() - 4) + " restores it)\n");
    auto json = RunCommand(world, {"--json", "remove", "sp"});
    EXPECT_EQ(json.err, "");
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
               "CurrentVersion\\Explorer\\Shell Folders]\n\"Cookies\"=\"C:\\\\Users\\\\pat\\\\Cookies\"\n");
    world.touch("C:\\Users\\pat\\Cookies\\pat@doubleclick[1].txt");
    auto cookies = RunCommand(world, {"remove", "co"});
    EXPECT_EQ(cookies.err, "1 removed, 0 were gone meanwhile, 0 were no longer findings, 0 could not be removed and "
                           "stay listed\n");
}

// On a console a command that runs for more than a second shows what it does and how far on one
// line of stderr, rewritten as it goes and cleared at the end; stdout is the same. Redirected,
// with --json, or quick: no progress at all.
TEST(Cli, ProgressOnlyOnAConsoleAndOnlyForLongWork) {
    struct Row {
        bool console;
        std::int64_t msPerLook;  // how far the clock moves each time progress looks at it
        std::vector<std::string> args;
        const char* shown;  // the start of the line shown; null: nothing
    };
    const Row rows[] = {
        {true, 300, {"fullscan", "--rows", "1"}, "\rScanning Startup Programs "},
        {true, 300, {"scan", "sp"}, "\rScanning Running While Startup "},
        {true, 300, {"repair", "--rows", "1"}, "\rRepairing Startup Programs "},
        {true, 300, {"--json", "fullscan", "--rows", "1"}, nullptr},
        {false, 300, {"fullscan", "--rows", "1"}, nullptr},
        {true, 0, {"fullscan", "--rows", "1"}, nullptr},
    };
    for (const auto& row : rows) {
        World world(kRun), plain(kRun);
        std::ostringstream out, err;
        ConsoleHost host(err, "C:\\Program Files\\Keltora Professional\\");
        host.errorIsConsole = row.console;
        std::int64_t now = 0;
        host.progressClock = [&] { return now += row.msPerLook; };
        RunCli(row.args, world.platform(), host, out, err);
        const auto redirected = RunCommand(plain, row.args);
        EXPECT_EQ(out.str(), redirected.out) << row.args[0];
        const std::string said = err.str();
        if (!row.shown) {
            EXPECT_EQ(said, redirected.err) << row.args[0];
            continue;
        }
        EXPECT_NE(said.find(row.shown), std::string::npos) << said;
        EXPECT_NE(said.find("%"), std::string::npos) << said;
        // Cleared: what is left on the screen is what a redirected run says.
        const auto cleared = said.rfind('\r');
        EXPECT_EQ(said.substr(cleared + 1), redirected.err.substr(redirected.err.size() - (said.size() - cleared - 1)))
            << said;
        EXPECT_EQ(said.substr(said.rfind('\r', cleared - 1) + 1, cleared - said.rfind('\r', cleared - 1) - 1)
                      .find_first_not_of(' '),
                  std::string::npos) << said;
    }
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
    world.machine.files.addFile("C:\\Secret\\keep.txt", 1);
    world.machine.files.addLink("C:\\Users\\pat\\Recent\\doc.lnk", "C:\\Secret\\keep.txt", false);
    // Left for safety: done as far as it could be, the finding still listed (exit 3), and said.
    auto r = RunCommand(world, {"remove", "pc"});
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("C:\\Users\\pat\\Recent\\doc.lnk"), std::string::npos) << r.err;
    EXPECT_TRUE(world.files().exists("C:\\Secret\\keep.txt"));
}

// undo NAME takes the journal's name with or without .reg; a name that is not there is 1 (the
// command line was right). An undo that leaves something prints its document, "complete": false
// and the reasons among the messages, with status 1.
TEST(Cli, UndoByNameAndAPartialUndoInJson) {
    World world(kRun);
    ASSERT_EQ(RunCommand(world, {"remove", "sp"}).code, 0);
    const std::string listing = RunCommand(world, {"undo"}).out;
    const std::string name = listing.substr(0, listing.find('\t'));
    ASSERT_TRUE(name.ends_with(".reg")) << listing;
    auto missing = RunCommand(world, {"--json", "undo", "Undo_1-2-3_4-5-2000"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.out.find("\"messages\":[\"no undo journal named 'Undo_1-2-3_4-5-2000'"), std::string::npos)
        << missing.out;
    world.machine.registry.setString(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One", "new.exe");
    auto partial = RunCommand(world, {"--json", "undo", name.substr(0, name.size() - 4)});
    EXPECT_EQ(partial.code, 1) << partial.err;
    EXPECT_EQ(partial.out.find("{\"status\":1,\"undone\":\"" + name + "\",\"complete\":false,\"summary\":"), 0u)
        << partial.out;
    EXPECT_NE(partial.out.find("\"messages\":[\"Left: "), std::string::npos) << partial.out;
    EXPECT_EQ(world.read(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Two"), "two.exe");
}

// The places of today's Windows: a file in use stays (exit 3, said on stderr), a dry run leaves
// files and folders as they are, and a place not looked at is said beside the list.
TEST(Cli, PlacesSayWhatStaysAndWhatWasNotLookedAt) {
    World world;
    const std::string temp = "C:\\Users\\pat\\AppData\\Local\\Temp\\";
    world.machine.files.temporaryPath = u"C:\\Users\\pat\\AppData\\Local\\Temp";
    for (const char* name : {"Sub\\a.log", "held.log"}) world.machine.files.addFile(temp + name, 3);
    world.machine.files.lock(temp + "held.log");
    auto dry = RunCommand(world, {"remove", "utemp", "--dry-run"});
    EXPECT_EQ(dry.code, 3) << dry.err;
    EXPECT_TRUE(world.files().exists(temp + "Sub\\a.log"));
    auto r = RunCommand(world, {"remove", "utemp"});
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_NE(r.err.find("in use by another program and stays listed: " + temp + "held.log"), std::string::npos) << r.err;
    EXPECT_FALSE(world.files().exists(temp + "Sub"));
    world.machine.shell.setKnownFolder(KnownFolder::LocalAppData, u"C:\\");
    auto json = RunCommand(world, {"--json", "scan", "cdump"});
    EXPECT_EQ(json.code, 0);
    EXPECT_NE(json.out.find("\"notLookedAt\":\"Not looked at: Local AppData\\\\CrashDumps: \\\"C:\\\\\\\" is a drive root.\""),
              std::string::npos) << json.out;
    EXPECT_NE(json.err.find("cdump: Not looked at:"), std::string::npos) << json.err;
}

TEST(Cli, CategoriesPrintsTheTable) {
    World world;
    auto r = RunCommand(world, {"categories"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 31);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "sp\tlvsp\t1\tRunning While Startup\tRegistry");
    EXPECT_NE(r.out.find("da\tLV2\t20\tProgressive Registry Analysis\tRegistry\n"), std::string::npos);
    EXPECT_NE(r.out.find("utemp\tlvutemp\t21\tUser Temporary Files\tWindows 10 and 11\n"), std::string::npos);
    EXPECT_NE(r.out.find("mru\tlvmru\t27\tExplorer History\tWindows 10 and 11\n"), std::string::npos);
    EXPECT_NE(r.out.find("firefox\tlvfirefox\t31\tMozilla Firefox\tWindows 10 and 11\n"), std::string::npos);
}

}  // namespace
}  // namespace keltora::testing
