#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "RegistryTestSupport.h"
#include "cli/Cli.h"
#include "platform/Registry2.h"
#include "scanners/registry/DeepAnalysis.h"

namespace keltora::testing {
namespace {

constexpr HKey HKLM = kHKeyLocalMachine;
constexpr HKey HKCU = kHKeyCurrentUser;

DeepAnalysis& Deep(TForm1& form) { return static_cast<DeepAnalysis&>(form.category("da")); }

// Findings as "caption | detail | location" lines, easy to compare whole.
std::vector<std::string> Lines(const ResultList& list) {
    std::vector<std::string> lines;
    for (const auto& f : list.findings()) lines.push_back(f.caption + " | " + f.subItem(2) + " | " + f.subItem(3));
    return lines;
}

// A machine whose base values all name folders that are there.
struct ReadyWorld : World {
    explicit ReadyWorld(const std::string& body) : World(RegText(body)) { AddBaseFolders(*this); }
};

TEST(DeepAnalysis, CandidatePathFollowsTheLevelTests) {
    struct Row {
        int level;
        HKey root;
        const char* data;
        std::optional<std::string> candidate;
    };
    const std::optional<std::string> none;
    const Row rows[] = {
        {1, HKLM, "C:\\Gone\\app.exe", "C:\\Gone\\app.exe"},
        {1, HKCU, "C:\\Gone\\app.exe,0", "C:\\Gone\\app.exe,0"},  // the first level never cuts
        {1, HKLM, "\"C:\\Gone\\app.exe\"", none},
        {1, HKLM, "c:\\Gone\\app.exe", none},  // the prefix test is case-sensitive
        {1, HKLM, "D:\\Gone\\app.exe", none},
        {2, HKLM, "file://C:\\Gone\\page.htm", "C:\\Gone\\page.htm"},
        {2, HKCU, "C:\\Gone\\app.exe,1", "C:\\Gone\\app.exe"},
        {2, HKCU, "x file://C:\\Gone", none},
        {3, HKLM, "\"C:\\Gone\\app.exe\",0", "C:\\Gone\\app.exe"},
        {3, HKLM, "@C:\\Gone\\res.dll,-101", "C:\\Gone\\res.dll"},
        {3, HKCU, "\"C:\\Gone\\app.exe\",0", none},
        {3, HKCU, "C:\\Gone\\a.exe,0", "C:\\Gone\\a.exe"},
        {4, HKLM, "C:\\Gone\\tool.exe -nodefault -nologo", "C:\\Gone\\tool.exe "},
        {4, HKCU, "$(BDS)\\lib;C:\\Gone\\lib", "C:\\Gone\\lib"},
        {4, HKLM, "C:\\Gone\\x.exe /s,1", "C:\\Gone\\x.exe "},
        {5, HKCU, "C:\\Gone\\Dir\\", "C:\\Gone\\Dir"},
        {5, HKCU, "C:\\Gone\\app.exe", "C:\\Gone\\app.exe"},
        {5, HKCU, "\"C:\\Gone\\vlc.exe\" --one-instance --playlist-enqueue \"%1\"", "C:\\Gone\\vlc.exe "},
        {5, HKCU, "\"C:\\Gone\\app.exe\" \"%1\" %*", "C:\\Gone\\app.exe "},
        {5, HKCU, "n;1;C:\\Gone\\x.exe;", "C:\\Gone\\x.exe"},
        {5, HKCU, "C:\\Gone\\a.exe,0/x", "C:\\Gone\\a.exe"},
        {5, HKLM, "C:\\Gone\\app.exe", none},  // the machine walk stops at the fourth level
        {6, HKCU, "C:\\Gone\\app.exe", none},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DeepAnalysis::CandidatePath(row.level, row.root, row.data, "C:\\"), row.candidate)
            << row.level << " " << row.data;
    EXPECT_EQ(DeepAnalysis::CandidatePath(1, HKLM, "C:\\Gone", ""), none);
}

// A value whose candidate path is missing is not reported while its data, read as a command
// line, names something that exists: (a) whole as a file or folder, (b) a part before a blank
// as a file.
TEST(DeepAnalysis, ACommandLineThatNamesAnExistingProgramIsNotMissing) {
    struct Row {
        HKey root;
        const char* key;  // below SOFTWARE; its depth is the level
        const char* data;
        const char* existing;  // a file, or a folder when it ends in '\\'
        bool reported;
    };
    const Row rows[] = {
        {HKLM, "L1", "C:\\Program Files\\App\\app.exe -silent", "C:\\Program Files\\App\\app.exe", false},
        {HKLM, "L1", "C:\\Program Files\\App\\app.exe -silent", "C:\\Program Files\\App\\", true},
        {HKLM, "L1", "C:\\App\\app.exe|0", "C:\\App\\app.exe", false},
        {HKLM, "L1", "C:\\App\\app.exe,1", "C:\\App\\app.exe", false},
        {HKLM, "L1", "C:\\App\\", "C:\\App\\", false},
        {HKLM, "L1", "C:\\App\\app.exe -x", "C:\\App\\app.exe\\", true},  // a part before a blank counts as a file only
        {HKLM, "L1", "C:\\App\\app.exe:x", "C:\\App\\app.exe", false},
        {HKLM, "L1", "C:\\Gone\\app.exe -x", "C:\\App\\app.exe", true},
        {HKLM, "A\\B\\C\\L4", "$(BDS)\\lib;C:\\Dir\\;$(BDSLIB)", "C:\\Dir\\", false},
        {HKCU, "A\\B\\C\\D\\L5", "\"C:\\App\\app.exe\" \"%1\"", "C:\\App\\app.exe", false},
        {HKCU, "A\\B\\C\\D\\L5", "\"C:\\Gone\\app.exe\" \"%1\"", "C:\\App\\app.exe", true},
        // Data below WOW6432Node names files as a 32-bit program does.
        {HKLM, "WOW6432Node\\L2", "C:\\Windows\\system32\\w.dll", "C:\\Windows\\SysWOW64\\w.dll", false},
        {HKLM, "WOW6432Node\\L2", "C:\\Windows\\System32\\w.exe -x", "C:\\Windows\\SysWOW64\\w.exe", false},
        {HKLM, "WOW6432Node\\L2", "C:\\Windows\\sysnative\\n.exe", "C:\\Windows\\System32\\n.exe", false},
        {HKLM, "WOW6432Node\\L2", "C:\\Windows\\system32\\w.dll", "C:\\Windows\\system32\\w.dll", true},
        {HKLM, "L1", "C:\\Windows\\system32\\w.dll", "C:\\Windows\\SysWOW64\\w.dll", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.data);
        ReadyWorld world("");
        const std::string key = std::string(row.root == HKLM ? "SOFTWARE\\" : "Software\\") + row.key;
        world.machine.registry.setString(row.root, key, "V", row.data);
        const std::string existing = row.existing;
        if (existing.back() == '\\') {
            world.files().createDirectories(existing.substr(0, existing.size() - 1));
        } else {
            world.touch(existing);
        }
        TForm1& form = world.start();
        form.invoke("DeepExecute");
        EXPECT_EQ(form.category("da").list().size(), row.reported ? 1u : 0u);
    }
}

// Data is read as Windows reads it: a string whole (without its NUL, of odd length), a list of
// strings string by string, REG_EXPAND_SZ with every variable of the environment in any case,
// and data of any other type never as a path.
TEST(DeepAnalysis, DataIsJudgedAsWindowsReadsIt) {
    using namespace std::string_literals;
    auto text = [](std::u16string value, std::size_t cut = 0) {
        std::vector<std::uint8_t> bytes = Utf16LeData(value);
        bytes.resize(bytes.size() - cut);
        return bytes;
    };
    struct Row {
        const char* what;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        std::vector<std::string> reported;
    };
    const Row rows[] = {
        {"no NUL, missing", kRegSz, text(u"C:\\Gone\\x.dll", 2), {"C:\\Gone\\x.dll"}},
        {"no NUL, there", kRegSz, text(u"C:\\App\\x.dll", 2), {}},
        {"odd length, there", kRegSz, text(u"C:\\App\\x.dll", 3), {}},
        {"a list, both there", kRegMultiSz, text(u"C:\\App\\x.dll\0C:\\App\\y.dll\0"s, 0), {}},
        {"a list, one there", kRegMultiSz, text(u"C:\\Gone\\a.dll\0C:\\App\\y.dll\0"s, 0), {}},
        {"a list, none there", kRegMultiSz, text(u"C:\\Gone\\a.dll\0C:\\Gone\\b.dll\0"s, 0), {"C:\\Gone\\a.dll"}},
        {"a list with a string that is no path", kRegMultiSz, text(u"C:\\Gone\\a.dll\0-quiet\0"s, 0), {}},
        {"binary data", kRegBinary, {'C', ':', '\\', 'G', 'o', 'n', 'e', 0}, {}},
        {"expanded, missing", kRegExpandSz, text(u"%SystemRoot%\\gone.dll"), {"C:\\Windows\\gone.dll"}},
        {"expanded in capitals, there", kRegExpandSz, text(u"%SYSTEMROOT%\\here.dll"), {}},
        {"expanded, another variable", kRegExpandSz, text(u"%systemdrive%\\Gone\\y.dll"), {"C:\\Gone\\y.dll"}},
        {"a variable without a value", kRegExpandSz, text(u"C:\\%KeltoraNoSuchVariable%\\z.dll"), {}},
        {"not expanded in REG_SZ", kRegSz, text(u"%SystemRoot%\\gone.dll"), {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ReadyWorld world("");
        world.machine.registry.setRawExact(HKLM, u"SOFTWARE\\L1", u"V", row.type, row.data);
        for (const char* file : {"C:\\App\\x.dll", "C:\\App\\y.dll", "C:\\Windows\\here.dll"}) world.touch(file);
        TForm1& form = world.start();
        form.invoke("DeepExecute");
        EXPECT_EQ(Captions(form.category("da").list()), row.reported);
    }
}

const std::string kTree = R"reg([HKEY_LOCAL_MACHINE\SOFTWARE\Alpha]
"App"="C:\\Gone\\app.exe,0"
@="C:\\Gone\\default.exe"
"Here"="C:\\Present"
"Other"="D:\\Gone\\x.exe"
"Number"=dword:00000001

[HKEY_LOCAL_MACHINE\SOFTWARE\Alpha\Two]
"Page"="file://C:\\Gone\\page.htm"

[HKEY_LOCAL_MACHINE\SOFTWARE\Alpha\Two\Three]
"Icon"="\"C:\\Gone\\icon.exe\",0"

[HKEY_LOCAL_MACHINE\SOFTWARE\Alpha\Two\Three\Four]
"Tool"="C:\\Gone\\tool.exe -nodefault -nologo"

[HKEY_LOCAL_MACHINE\SOFTWARE\Alpha\Two\Three\Four\Five]
"TooDeep"="C:\\Gone\\five.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\Beta]
"B"="C:\\Gone\\b.exe"

[HKEY_CURRENT_USER\Software\K1\K2\K3]
"Icon"="\"C:\\Gone\\icon.exe\",0"

[HKEY_CURRENT_USER\Software\K1\K2\K3\K4\K5]
"Dir"="C:\\Gone\\Dir\\"

[HKEY_CURRENT_USER\Software\K1\K2\K3\K4\K5\K6]
"TooDeep"="C:\\Gone\\six.exe"

[HKEY_CURRENT_USER\Software\K1\K2\K3\Uninstall]
"Own"="C:\\Gone\\own.exe"

[HKEY_CURRENT_USER\Software\K1\K2\K3\Uninstall\App]
"Dir"="C:\\Gone\\Exempt\\"

[HKEY_CURRENT_USER\Software\K1\K2\L3\uninstall\App]
"Dir"="C:\\Gone\\Lower\\"
)reg";

TEST(DeepAnalysis, WalksValuesFirstThenSubkeysDepthFirstToTheLevelsOfEachRoot) {
    ReadyWorld world(kTree);
    world.files().createDirectories("C:\\Present");
    TForm1& form = world.start();
    EXPECT_TRUE(form.invoke("DeepExecute"));
    const auto& list = form.category("da").list();
    EXPECT_EQ(Lines(list), (std::vector<std::string>{
                               "C:\\Gone\\app.exe,0 | App | HKLM\\SOFTWARE\\Alpha",
                               "C:\\Gone\\default.exe | (Default) | HKLM\\SOFTWARE\\Alpha",
                               "C:\\Gone\\page.htm | Page | HKLM\\SOFTWARE\\Alpha\\Two",
                               "C:\\Gone\\icon.exe | Icon | HKLM\\SOFTWARE\\Alpha\\Two\\Three",
                               "C:\\Gone\\tool.exe  | Tool | HKLM\\SOFTWARE\\Alpha\\Two\\Three\\Four",
                               "C:\\Gone\\b.exe | B | HKLM\\SOFTWARE\\Beta",
                               "C:\\Gone\\Dir | Dir | HKCU\\SOFTWARE\\K1\\K2\\K3\\K4\\K5",
                               "C:\\Gone\\own.exe | Own | HKCU\\SOFTWARE\\K1\\K2\\K3\\Uninstall",
                               "C:\\Gone\\Lower | Dir | HKCU\\SOFTWARE\\K1\\K2\\L3\\uninstall\\App",
                           }));
    EXPECT_EQ(list.at(0).subItem(1), "Missing Path(Removable)");
    EXPECT_TRUE(list.at(0).checked);
    EXPECT_EQ(list.columns(), (std::vector<Column>{{"Error Items", 200}, {"Repair Report", 200},
                                                   {"Detail Info", 150}, {"Registry Location", 250}}));
    EXPECT_EQ(form.lastCount, 9);
    EXPECT_EQ(world.machine.registry.openHandles(), 0u);
}

TEST(DeepAnalysis, SystemDrivePrefixIsTheDriveRootWhateverTheCase) {
    struct Row {
        const char* systemRoot;
        std::vector<std::string> gone;
    };
    const Row rows[] = {
        {"C:\\WINDOWS", {"C:\\Gone\\c.exe"}},
        {"C:\\Windows", {"C:\\Gone\\c.exe"}},
        {"C:\\windows", {"C:\\Gone\\c.exe"}},
        {"D:\\Windows", {"D:\\Gone\\d.exe"}},
        {"", {}},
    };
    for (const auto& row : rows) {
        std::string root = row.systemRoot;
        for (std::size_t at = root.find('\\'); at != std::string::npos; at = root.find('\\', at + 2)) root.insert(at, "\\");
        ReadyWorld world("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\n\"SystemRoot\"=\"" +
                                 root + "\"\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apps]\n\"C\"=\"C:\\\\Gone\\\\c.exe\"\n"
                                        "\"D\"=\"D:\\\\Gone\\\\d.exe\"\n");
        world.machine.files.addDirectory("D:\\Windows");
        TForm1& form = world.start();
        form.invoke("DeepExecute");
        EXPECT_EQ(Captions(form.category("da").list()), row.gone) << row.systemRoot;
    }
}

TEST(DeepAnalysis, LabelShowsEveryKeyWhileItRunsAndTheWindowKeepsItsMessages) {
    World world(RegText("[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B]\n\n[HKEY_CURRENT_USER\\Software\\C]\n"), false);
    TForm1& form = world.start();
    Deep(form).setKeyLabel(form.labeldeep);
    std::vector<std::string> shown;
    form.labeldeep.onChange = [&](Control& label) {
        if (label.visible() && !label.caption().empty() && (shown.empty() || shown.back() != label.caption()))
            shown.push_back(label.caption());
    };
    const int pumps = world.host.pumps;
    form.invoke("DeepExecute");
    // HKEY_CLASSES_ROOT is kept below the machine's SOFTWARE, so its key is walked too.
    EXPECT_EQ(shown, (std::vector<std::string>{"HKLM\\SOFTWARE\\A", "HKLM\\SOFTWARE\\A\\B", "HKLM\\SOFTWARE\\Classes",
                                               "HKCU\\SOFTWARE\\C"}));
    EXPECT_EQ(world.host.pumps - pumps, 4);
    EXPECT_FALSE(form.labeldeep.visible());
}

TEST(DeepAnalysis, PacesOnlyItsTwoRampsAndClimbsOncePerFirstLevelKey) {
    std::string keys;
    for (int i = 0; i < 55; ++i) keys += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\M" + std::to_string(i) + "]\n\"V\"=\"C:\\\\Gone\"\n\n";
    for (int i = 0; i < 25; ++i) keys += "[HKEY_CURRENT_USER\\Software\\U" + std::to_string(i) + "]\n\n";
    ReadyWorld world(keys);
    TForm1& form = world.start();
    BarRecorder bar(form.PB);
    const auto before = world.machine.clock.totalMs();
    form.invoke("DeepExecute");
    EXPECT_EQ(form.category("da").list().size(), 55u);
    EXPECT_EQ(world.machine.clock.totalMs() - before, (11u + 21u) * 30u);
    auto expected = Climb(1, 100);
    expected.push_back(0);
    EXPECT_EQ(bar.positions, expected);

    // With few first-level keys the bar jumps to 80 for the closing run.
    ReadyWorld few("");
    TForm1& quick = few.start();
    BarRecorder jump(quick.PB);
    quick.invoke("DeepExecute");
    ASSERT_GE(jump.positions.size(), 23u);
    EXPECT_LT(jump.positions[jump.positions.size() - 23], 80);
    EXPECT_EQ(std::vector<int>(jump.positions.end() - 22, jump.positions.end() - 1), Climb(80, 100));
}

TEST(DeepAnalysis, ReadsEachKeyOnceAndEachValueWithItsName) {
    std::string tree;
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
            for (int c = 0; c < 3; ++c)
                tree += "[HKEY_CURRENT_USER\\Software\\A" + std::to_string(a) + "\\B" + std::to_string(b) + "\\C" +
                        std::to_string(c) + "]\n\"V1\"=\"C:\\\\x\"\n\"V2\"=\"y\"\n\"V3\"=dword:00000003\n\n";
    ReadyWorld world(tree);
    CountedForm counted(world);
    auto& reg = world.machine.registry;
    // Every key the two walks visit, with its values and the subkeys listed below it.
    std::size_t keys = 0, values = 0, subkeys = 0;
    std::function<void(HKey, const std::string&, int, int)> visit = [&](HKey root, const std::string& path, int level,
                                                                         int depth) {
        const auto names = reg.subKeyNames(root, path);
        if (level > 0) {
            ++keys;
            values += reg.valueNames(root, path).size();
        }
        if (level == depth) return;
        subkeys += names.size();
        for (const auto& name : names) visit(root, path + "\\" + name, level + 1, depth);
    };
    visit(HKLM, "SOFTWARE", 0, 4);
    visit(HKCU, "Software", 0, 5);
    const std::size_t before = counted.registry.calls;
    counted.form.invoke("DeepExecute");
    // Open, info and close per key (none holds a value name long enough to be a link's), one read
    // per value, one per subkey name; two roots to open by their own paths.
    EXPECT_LE(counted.registry.calls - before, 3 * keys + values + subkeys + 2 * 6);
    EXPECT_EQ(counted.form.category("da").list().size(), 27u);
    EXPECT_EQ(reg.openHandles(), 0u);
}

TEST(DeepAnalysis, RemovalDeletesNamedValuesAndEmptiesTheUnnamedOne) {
    ReadyWorld world(R"reg([HKEY_LOCAL_MACHINE\SOFTWARE\App]
@="C:\\Gone\\default.exe"
"Gone"="C:\\Gone\\a.exe"
"Kept"="C:\\Gone\\b.exe"
"Sibling"="not a path"

[HKEY_CURRENT_USER\Software\App\Ro]
"Stuck"="C:\\Gone\\s.exe"

[HKEY_CURRENT_USER\Software\App\Sub]
"User"="C:\\Gone\\u.exe"
"Vanished"="C:\\Gone\\v.exe"
)reg");
    TForm1& form = world.start();
    form.invoke("DeepExecute");
    auto& list = form.category("da").list();
    ASSERT_EQ(list.size(), 6u);
    list.setChecked(2, false);  // Kept
    auto& reg = world.machine.registry;
    reg.deny(HKCU, "Software\\App\\Ro", kKeySetValue);
    world.load(RegText("[HKEY_CURRENT_USER\\Software\\App\\Sub]\n\"Vanished\"=-\n"));
    form.invoke("removedaExecute");
    // Kept stays unchecked; Stuck, in a key that does not open for writing, stays checked.
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"C:\\Gone\\b.exe | Kept | HKLM\\SOFTWARE\\App",
                                                     "C:\\Gone\\s.exe | Stuck | HKCU\\SOFTWARE\\App\\Ro"}));
    EXPECT_FALSE(list.at(0).checked);
    EXPECT_TRUE(list.at(1).checked);
    EXPECT_EQ(form.lastCount, 2);
    EXPECT_EQ(reg.stringValue(HKLM, "SOFTWARE\\App", ""), std::optional<std::string>(""));
    EXPECT_FALSE(reg.valueExists(HKLM, "SOFTWARE\\App", "Gone"));
    EXPECT_TRUE(reg.valueExists(HKLM, "SOFTWARE\\App", "Kept"));
    EXPECT_TRUE(reg.valueExists(HKLM, "SOFTWARE\\App", "Sibling"));
    EXPECT_FALSE(reg.valueExists(HKCU, "Software\\App\\Sub", "User"));
    EXPECT_EQ(reg.openHandles(), 0u);
}

TEST(DeepAnalysis, AValueReallyNamedDefaultIsRemovedAsItself) {
    ReadyWorld world(R"reg([HKEY_LOCAL_MACHINE\SOFTWARE\One]
@="C:\\Present\\ok.exe"
"(Default)"="C:\\Gone\\named.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\Both]
@="C:\\Gone\\unnamed.exe"
"(Default)"="C:\\Gone\\named.exe"
)reg");
    world.touch("C:\\Present\\ok.exe");
    TForm1& form = world.start();
    form.invoke("DeepExecute");
    ASSERT_EQ(Lines(form.category("da").list()),
              (std::vector<std::string>{"C:\\Gone\\unnamed.exe | (Default) | HKLM\\SOFTWARE\\Both",
                                        "C:\\Gone\\named.exe | (Default) | HKLM\\SOFTWARE\\Both",
                                        "C:\\Gone\\named.exe | (Default) | HKLM\\SOFTWARE\\One"}));
    form.invoke("removedaExecute");
    EXPECT_TRUE(form.category("da").list().empty());
    auto& reg = world.machine.registry;
    EXPECT_EQ(reg.stringValue(HKLM, "SOFTWARE\\One", ""), std::optional<std::string>("C:\\Present\\ok.exe"));
    EXPECT_FALSE(reg.valueExists(HKLM, "SOFTWARE\\One", "(Default)"));
    EXPECT_EQ(reg.stringValue(HKLM, "SOFTWARE\\Both", ""), std::optional<std::string>(""));
    EXPECT_FALSE(reg.valueExists(HKLM, "SOFTWARE\\Both", "(Default)"));
}

TEST(DeepAnalysis, NamesAreDataOnly) {
    const std::string longName(255, 'v');
    ReadyWorld world("[HKEY_LOCAL_MACHINE\\SOFTWARE\\MyHKLMTool]\n"
                             "\"a\\\\b\"=\"C:\\\\Gone\\\\1\"\n\"..\"=\"C:\\\\Gone\\\\2\"\n\"%PATH%\"=\"C:\\\\Gone\\\\3\"\n"
                             "\"say \\\"x\\\"\"=\"C:\\\\Gone\\\\4\"\n\"" + longName + "\"=\"C:\\\\Gone\\\\5\"\n"
                             "\"Keep\"=\"text\"\n\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\MyTool]\n\"..\"=\"C:\\\\Gone\\\\6\"\n\n"
                             "[HKEY_CURRENT_USER\\HKLM\\SOFTWARE\\MyHKLMTool]\n\"..\"=\"C:\\\\Gone\\\\7\"\n");
    TForm1& form = world.start();
    form.invoke("DeepExecute");
    auto& list = form.category("da").list();
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list.at(0).subItem(2), "a\\b");
    EXPECT_EQ(list.at(4).subItem(2), longName);
    list.setChecked(5, false);  // MyTool
    form.invoke("removedaExecute");
    ASSERT_EQ(Captions(list), (std::vector<std::string>{"C:\\Gone\\6"}));
    auto& reg = world.machine.registry;
    EXPECT_EQ(reg.valueNames(HKLM, "SOFTWARE\\MyHKLMTool"), (std::vector<std::string>{"Keep"}));
    EXPECT_TRUE(reg.valueExists(HKLM, "SOFTWARE\\MyTool", ".."));
    EXPECT_TRUE(reg.valueExists(HKCU, "HKLM\\SOFTWARE\\MyHKLMTool", ".."));
}

// A write that fails ends the removal with its error: what was removed is gone from the list,
// the finding that failed and those after it stay.
TEST(DeepAnalysis, FailedWriteEndsTheRemovalWithTheListTrue) {
    const std::string tree = R"reg([HKEY_LOCAL_MACHINE\SOFTWARE\A]
"First"="C:\\Gone\\1.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\B]
@="C:\\Gone\\2.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\C]
"Third"="C:\\Gone\\3.exe"
)reg";
    ReadyWorld world(tree);
    CountedForm counted(world);
    TForm1& form = counted.form;
    form.invoke("ProgressiveClick");
    counted.registry.refuseWrites = [] { return true; };
    EXPECT_THROW(form.invoke("OBda3Click"), ERegistryException);
    EXPECT_EQ(Captions(form.category("da").list()), (std::vector<std::string>{"C:\\Gone\\2.exe", "C:\\Gone\\3.exe"}));
    EXPECT_EQ(form.lastCount, 2);
    auto& reg = world.machine.registry;
    EXPECT_FALSE(reg.valueExists(HKLM, "SOFTWARE\\A", "First"));
    EXPECT_TRUE(reg.valueExists(HKLM, "SOFTWARE\\C", "Third"));
    EXPECT_EQ(reg.openHandles(), 0u);

    // The console shows the error's text and ends with status 1.
    std::ostringstream out, err;
    ConsoleHost host(err, "C:\\Program Files\\Keltora Professional\\");
    EXPECT_EQ(RunCli({"remove", "da"}, counted.platform, host, out, err), 1);
    EXPECT_EQ(err.str(), "Failed to set data for ''\n");
}

}  // namespace
}  // namespace keltora::testing
