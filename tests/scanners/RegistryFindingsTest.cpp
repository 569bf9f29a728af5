// What every registry category owes the user, one test per class of fault with a row per list a
// removal acts on: names the ANSI calls cannot carry are acted on exactly, a finding whose reason
// changed since the scan is left alone, and a user who may only read sees every finding.
#include <gtest/gtest.h>

#include <functional>

#include "RegistryTestSupport.h"

namespace keltora::testing {
namespace {

constexpr HKey HKLM = kHKeyLocalMachine;
constexpr HKey HKCU = kHKeyCurrentUser;
constexpr HKey HKCR = kHKeyClassesRoot;

const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kTyped = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::string kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::u16string W(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

struct Category {
    const char* code;
    const char* scan;
    const char* remove;
};
constexpr Category kStartup{"sp", "StartupExecute", "removespExecute"};
constexpr Category kUrls{"url", "type_urlExecute", "removeurlExecute"};
constexpr Category kRunBox{"run", "runExecute", "removerunExecute"};
constexpr Category kUninstallEntries{"ue", "UninstallExecute", "removeueExecute"};
constexpr Category kExtensions{"fe", "FileExtExecute", "removefeExecute"};
constexpr Category kClasses{"ax", "ActiveXExecute", "removeaxExecute"};
constexpr Category kDeep{"da", "DeepExecute", "removedaExecute"};

// A class whose server file is missing, under an exact key name.
void AddClass(MemoryRegistry& reg, const std::u16string& clsid, const std::string& server) {
    reg.setStringExact(HKCR, u"CLSID\\" + clsid + u"\\InprocServer32", u"", W(server));
}

// An item whose name the code page maps onto the name of another item that is there too: each is
// listed under the same caption, and removing the first (it carries its exact identity) leaves
// the second, whatever list it is in.
TEST(RegistryFindings, ANameOutsideTheCodePageNeverCostsTheItemItReadsAs) {
    const std::u16string chinese = u"\u4E2D\u6587", fullWidth = u"\uFF35\uFF50\uFF44\uFF41\uFF54\uFF45\uFF52";
    struct Row {
        std::function<void(MemoryRegistry&)> setup;
        std::function<bool(MemoryRegistry&)> wideThere, otherThere;
    };
    auto value = [](HKey root, std::string path, std::u16string wide, std::string ansi) {
        return Row{[=](MemoryRegistry& m) {
                       m.setStringExact(root, W(path), wide, u"C:\\wide.exe");
                       m.setString(root, path, ansi, "C:\\other.exe");
                   },
                   [=](MemoryRegistry& m) { return m.valueExact(root, W(path), wide).has_value(); },
                   [=](MemoryRegistry& m) { return m.valueExists(root, path, ansi); }};
    };
    std::vector<Row> rows = {
        value(HKCU, kRun, chinese, "??"),         value(HKCU, kRunOnce, fullWidth, "Updater"),
        value(HKLM, kRun, chinese, "??"),         value(HKCU, kTyped, chinese, "??"),
        value(HKCU, kRunMru, fullWidth, "Updater"),
        {[&](MemoryRegistry& m) {
             m.addKey(HKLM, kUninstall + "\\??");
             m.setRawExact(HKLM, W(kUninstall) + u"\\" + chinese, u"Size", kRegDword, {1, 0, 0, 0});
         },
         [&](MemoryRegistry& m) { return m.existsExact(HKLM, W(kUninstall) + u"\\" + chinese); },
         [&](MemoryRegistry& m) { return m.exists(HKLM, kUninstall + "\\??"); }},
        {[](MemoryRegistry& m) {
             m.addKey(HKCR, ".Xyz");
             m.setRawExact(HKCR, u".\uFF38\uFF59\uFF5A", u"Size", kRegDword, {1, 0, 0, 0});
         },
         [](MemoryRegistry& m) { return m.existsExact(HKCR, u".\uFF38\uFF59\uFF5A"); },
         [](MemoryRegistry& m) { return m.exists(HKCR, ".Xyz"); }},
        {[&](MemoryRegistry& m) {
             AddClass(m, u"{" + chinese + u"}", "C:\\gone.dll");
             AddClass(m, u"{??}", "C:\\gone.dll");
         },
         [&](MemoryRegistry& m) { return m.existsExact(HKCR, u"CLSID\\{" + chinese + u"}"); },
         [](MemoryRegistry& m) { return m.exists(HKCR, "CLSID\\{??}"); }},
        value(HKLM, "SOFTWARE\\App", chinese, "??"),
        {[&](MemoryRegistry& m) {
             m.setStringExact(HKCU, u"Software\\" + chinese, u"V", u"C:\\Gone\\a.exe");
             m.setString(HKCU, "Software\\??", "V", "C:\\Gone\\b.exe");
         },
         [&](MemoryRegistry& m) { return m.valueExact(HKCU, u"Software\\" + chinese, u"V").has_value(); },
         [](MemoryRegistry& m) { return m.valueExists(HKCU, "Software\\??", "V"); }},
    };
    const Category categories[] = {kStartup, kStartup, kStartup,   kUrls, kRunBox,
                                   kUninstallEntries, kExtensions, kClasses, kDeep, kDeep};
    ASSERT_EQ(std::size(categories), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Category& category = categories[i];
        SCOPED_TRACE(std::string(category.code) + " row " + std::to_string(i));
        World world;
        AddBaseFolders(world);
        rows[i].setup(world.machine.registry);
        TForm1& form = world.start();
        form.invoke(category.scan);
        auto& list = form.category(category.code).list();
        ASSERT_EQ(2u, list.size());
        for (std::size_t row = 0; row < list.size(); ++row) {
            const Finding& finding = list.at(row);
            list.setChecked(row, !finding.exactName.empty() || !finding.exactLocation.empty());
        }
        ASSERT_EQ(1, list.at(0).checked + list.at(1).checked) << "one of the two carries its exact identity";
        form.invoke(category.remove);
        EXPECT_EQ(1u, list.size());
        EXPECT_EQ(1, form.lastRemoval.removed);
        EXPECT_FALSE(rows[i].wideThere(world.machine.registry));
        EXPECT_TRUE(rows[i].otherThere(world.machine.registry));
    }
}

// The same item in every key a category lists, in both registry views and in both hives: each
// finding names the key it came from, and removing one touches that key and no other.
TEST(RegistryFindings, EachFindingNamesItsOwnKeyAndItsRemovalActsThereOnly) {
    struct Place {
        HKey root;
        std::string key;    // the key that holds the item, or the item itself
        std::string value;  // the item, when it is a value
        std::string location;
    };
    struct Row {
        Category category;
        std::string item;  // .reg lines of the item in a key
        std::vector<Place> places;
    };
    const std::string run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string run32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string uninstall32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    const std::string userUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    const Row rows[] = {
        {kStartup, "\"App\"=\"C:\\\\app.exe\"\n",
         {{HKLM, run, "App", "HKLM\\" + run}, {HKLM, run32, "App", "HKLM\\" + run32}}},
        {kUninstallEntries, "",
         {{HKLM, kUninstall + "\\App", "", "HKLM\\" + kUninstall + "\\App"},
          {HKLM, uninstall32 + "\\App", "", "HKLM\\" + uninstall32 + "\\App"},
          {HKCU, userUninstall + "\\App", "", "HKCU\\" + userUninstall + "\\App"}}},
        {kExtensions, "",
         {{HKLM, "SOFTWARE\\Classes\\.abc", "", "HKLM\\SOFTWARE\\Classes"},
          {HKCU, "Software\\Classes\\.abc", "", "HKCU\\Software\\Classes"}}},
        {kClasses, "",
         {{HKLM, "SOFTWARE\\Classes\\CLSID\\{1}", "", "HKLM\\SOFTWARE\\Classes\\CLSID"},
          {HKLM, "SOFTWARE\\Classes\\WOW6432Node\\CLSID\\{1}", "", "HKLM\\SOFTWARE\\Classes\\WOW6432Node\\CLSID"},
          {HKCU, "Software\\Classes\\CLSID\\{1}", "", "HKCU\\Software\\Classes\\CLSID"},
          {HKCU, "Software\\Classes\\WOW6432Node\\CLSID\\{1}", "", "HKCU\\Software\\Classes\\WOW6432Node\\CLSID"}}},
    };
    auto there = [](MemoryRegistry& m, const Place& place) {
        return place.value.empty() ? m.exists(place.root, place.key) : m.valueExists(place.root, place.key, place.value);
    };
    for (const auto& row : rows) {
        for (std::size_t removed = 0; removed < row.places.size(); ++removed) {
            SCOPED_TRACE(std::string(row.category.code) + " place " + std::to_string(removed));
            World world;
            for (const auto& place : row.places) {
                const std::string root = place.root == HKLM ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
                world.load(RegText("[" + root + place.key + "]\n" + row.item));
                if (row.category.code == std::string("ax"))
                    world.load(RegText("[" + root + place.key + "\\InprocServer32]\n@=\"C:\\\\gone.dll\"\n"));
            }
            TForm1& form = world.start();
            form.invoke(row.category.scan);
            auto& list = form.category(row.category.code).list();
            ASSERT_EQ(row.places.size(), list.size());
            for (std::size_t i = 0; i < list.size(); ++i) {
                EXPECT_EQ(row.places[i].location, list.at(i).subItem(3));
                list.setChecked(i, i == removed);
            }
            form.invoke(row.category.remove);
            EXPECT_EQ(1, form.lastRemoval.removed);
            for (std::size_t i = 0; i < row.places.size(); ++i)
                EXPECT_EQ(i != removed, there(world.machine.registry, row.places[i])) << row.places[i].location;
        }
    }
}

// The reason a finding was listed for no longer holds at fix time: nothing is changed, and the
// finding leaves the list counted apart from the removed ones.
TEST(RegistryFindings, AFindingWhoseReasonChangedIsNotRemoved) {
    struct Row {
        Category category;
        std::string reg;
        std::function<void(World&)> change;
        std::function<bool(MemoryRegistry&)> stillThere;
    };
    const Row rows[] = {
        {kStartup, "[HKEY_CURRENT_USER\\" + kRun + "]\n\"App\"=\"C:\\\\old.exe\"\n",
         [](World& w) { w.machine.registry.setString(HKCU, kRun, "App", "C:\\new.exe"); },
         [](MemoryRegistry& m) { return m.valueExists(HKCU, kRun, "App"); }},
        {kUrls, "[HKEY_CURRENT_USER\\" + kTyped + "]\n\"url1\"=\"http://a\"\n",
         [](World& w) { w.machine.registry.setString(HKCU, kTyped, "url1", "http://b"); },
         [](MemoryRegistry& m) { return m.valueExists(HKCU, kTyped, "url1"); }},
        {kUninstallEntries, "[HKEY_LOCAL_MACHINE\\" + kUninstall + "\\App]\n",
         [](World& w) { w.machine.registry.setString(HKLM, kUninstall + "\\App", "DisplayName", "App"); },
         [](MemoryRegistry& m) { return m.exists(HKLM, kUninstall + "\\App"); }},
        {kExtensions, "[HKEY_CLASSES_ROOT\\.abc]\n",
         [](World& w) { w.machine.registry.setString(HKCR, ".abc\\OpenWithProgids", "abcfile", ""); },
         [](MemoryRegistry& m) { return m.exists(HKCR, ".abc"); }},
        {kClasses, "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32]\n@=\"C:\\\\Apps\\\\a.dll\"\n",
         [](World& w) { w.touch("C:\\Apps\\a.dll"); }, [](MemoryRegistry& m) { return m.exists(HKCR, "CLSID\\{1}"); }},
        {kClasses, "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32]\n@=\"C:\\\\Apps\\\\a.dll\"\n",
         [](World& w) { w.machine.registry.setString(HKCR, "CLSID\\{1}\\InprocServer32", "", "C:\\Apps\\b.dll"); },
         [](MemoryRegistry& m) { return m.exists(HKCR, "CLSID\\{1}"); }},
        {kDeep, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\App]\n\"Path\"=\"C:\\\\Gone\\\\a.exe\"\n",
         [](World& w) { w.touch("C:\\Gone\\a.exe"); },
         [](MemoryRegistry& m) { return m.valueExists(HKLM, "SOFTWARE\\App", "Path"); }},
        {kDeep, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\App]\n@=\"C:\\\\Gone\\\\a.exe\"\n",
         [](World& w) { w.machine.registry.setString(HKLM, "SOFTWARE\\App", "", "C:\\Gone\\b.exe"); },
         [](MemoryRegistry& m) { return m.stringValue(HKLM, "SOFTWARE\\App", "") == "C:\\Gone\\b.exe"; }},
        // Data of 32-bit programs is judged again as they read it: their system32 is SysWOW64.
        {kDeep, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\App]\n\"Dll\"=\"C:\\\\Windows\\\\system32\\\\w.dll\"\n",
         [](World& w) { w.touch("C:\\Windows\\SysWOW64\\w.dll"); },
         [](MemoryRegistry& m) { return m.valueExists(HKLM, "SOFTWARE\\WOW6432Node\\App", "Dll"); }},
        {kClasses,
         "[HKEY_CLASSES_ROOT\\WOW6432Node\\CLSID\\{1}\\InprocServer32]\n@=\"C:\\\\Windows\\\\system32\\\\w.dll\"\n",
         [](World& w) { w.touch("C:\\Windows\\SysWOW64\\w.dll"); },
         [](MemoryRegistry& m) { return m.exists(HKCR, "WOW6432Node\\CLSID\\{1}"); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.category.code);
        World world(RegText(row.reg));
        AddBaseFolders(world);
        TForm1& form = world.start();
        form.invoke(row.category.scan);
        ASSERT_EQ(1u, form.category(row.category.code).list().size());
        row.change(world);
        form.invoke(row.category.remove);
        EXPECT_TRUE(form.category(row.category.code).list().empty());
        EXPECT_EQ((RemovalTally{0, 0, 1, 0}), form.lastRemoval);
        EXPECT_TRUE(row.stillThere(world.machine.registry));
    }
}

const std::string kLinkSaid =
    "A checked registry item was left as it is: a registry link stands on the way to its key, so the key reached is "
    "not the one the finding names: ";

// A registry link put at some level of a finding's path after the scan leads to another key, even
// one in HKLM, that holds the same item: nothing is changed there or anywhere, the finding stays
// listed, and the command says why.
TEST(RegistryFindings, ALinkAtAnyLevelOfItsPathNeverLeadsARemovalElsewhere) {
    struct Row {
        Category category;
        HKey root;
        std::string item;  // the key that holds the item (its own .reg section)
        std::string lines;  // the item's .reg lines
        std::string linked;  // the key of the item's path a link takes the place of
        std::function<bool(MemoryRegistry&)> decoyKept;  // the same item where the link leads
    };
    const std::string explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    const std::string userUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    auto value = [](std::string key, std::string name) {
        return [=](MemoryRegistry& m) { return m.valueExists(HKLM, key, name); };
    };
    auto key = [](std::string path) { return [=](MemoryRegistry& m) { return m.exists(HKLM, path); }; };
    const Row rows[] = {
        {kStartup, HKCU, kRun, "\"App\"=\"C:\\\\app.exe\"\n", "Software\\Microsoft\\Windows\\CurrentVersion",
         value("Decoy\\Run", "App")},
        {kStartup, HKCU, kRun, "\"App\"=\"C:\\\\app.exe\"\n", kRun, value("Decoy", "App")},
        {kStartup, HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "\"App\"=\"C:\\\\app.exe\"\n",
         "SOFTWARE\\Microsoft", value("Decoy\\Windows\\CurrentVersion\\Run", "App")},
        {kUrls, HKCU, kTyped, "\"url1\"=\"http://a\"\n", "Software\\Microsoft", value("Decoy\\Internet Explorer\\TypedURLs", "url1")},
        {kRunBox, HKCU, kRunMru, "\"a\"=\"notepad\\\\1\"\n", explorer, value("Decoy\\RunMRU", "a")},
        {kUninstallEntries, HKLM, kUninstall + "\\App", "", kUninstall, key("Decoy\\App")},
        {kUninstallEntries, HKCU, userUninstall + "\\App", "", "Software\\Microsoft\\Windows",
         key("Decoy\\CurrentVersion\\Uninstall\\App")},
        {kExtensions, HKCU, "Software\\Classes\\.abc", "", "Software\\Classes", key("Decoy\\.abc")},
        {kClasses, HKLM, "SOFTWARE\\Classes\\CLSID\\{1}\\InprocServer32", "@=\"C:\\\\gone.dll\"\n",
         "SOFTWARE\\Classes\\CLSID", key("Decoy\\{1}\\InprocServer32")},
        {kDeep, HKCU, "Software\\App\\Sub", "\"Path\"=\"C:\\\\Gone\\\\a.exe\"\n", "Software\\App",
         value("Decoy\\Sub", "Path")},
        {kDeep, HKLM, "SOFTWARE\\App", "@=\"C:\\\\Gone\\\\a.exe\"\n", "SOFTWARE\\App", value("Decoy", "")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.category.code) + " " + row.linked);
        const std::string root = row.root == HKLM ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
        World world(RegText("[" + root + row.item + "]\n" + row.lines + "\n[HKEY_LOCAL_MACHINE\\Decoy" +
                            row.item.substr(row.linked.size()) + "]\n" + row.lines));
        AddBaseFolders(world);
        TForm1& form = world.start();
        form.invoke(row.category.scan);
        auto& list = form.category(row.category.code).list();
        ASSERT_EQ(1u, list.size());
        auto& registry = world.machine.registry;
        registry.removeKey(row.root, row.linked);
        registry.addLink(row.root, W(row.linked), HKLM, u"Decoy");
        form.invoke(row.category.remove);
        EXPECT_EQ(1u, list.size());
        EXPECT_EQ((RemovalTally{0, 0, 0, 1}), form.lastRemoval);
        EXPECT_TRUE(row.decoyKept(registry));
        EXPECT_EQ(1u, world.host.messages.size());
        for (const auto& said : world.host.messages) EXPECT_TRUE(said.starts_with(kLinkSaid)) << said;
    }
}

// A scan never walks into a registry link nor lists what it reaches through one, at any level of
// the keys it reads; a plain key that merely holds a value like a link's is read as any other.
TEST(RegistryFindings, AScanListsNothingReachedThroughALink) {
    struct Row {
        Category category;
        std::string decoy;  // .reg lines of HKLM\Decoy, what the link leads to
        HKey root;
        std::string link;  // the key that is a link to HKLM\Decoy
        std::size_t listed;  // findings of the scan (the ones not reached through the link)
    };
    const std::string gone = "\"Path\"=\"C:\\\\Gone\\\\a.exe\"\n";
    const Row rows[] = {
        {kStartup, "\"App\"=\"x\"\n", HKCU, kRun, 0},
        {kStartup, "[HKEY_LOCAL_MACHINE\\Decoy\\Run]\n\"App\"=\"x\"\n", HKCU,
         "Software\\Microsoft\\Windows\\CurrentVersion", 0},
        {kUrls, "\"url1\"=\"http://a\"\n", HKCU, kTyped, 0},
        {kRunBox, "\"a\"=\"b\"\n", HKCU, kRunMru, 0},
        {kUninstallEntries, "\"Size\"=dword:00000001\n", HKLM, kUninstall + "\\App", 0},
        {kExtensions, "", HKCU, "Software\\Classes\\.abc", 0},
        {kClasses, "[HKEY_LOCAL_MACHINE\\Decoy\\InprocServer32]\n@=\"C:\\\\gone.dll\"\n", HKLM,
         "SOFTWARE\\Classes\\CLSID\\{1}", 0},
        {kClasses, "@=\"C:\\\\gone.dll\"\n", HKLM, "SOFTWARE\\Classes\\CLSID\\{2}\\InprocServer32", 0},
        {kDeep, gone, HKCU, "Software\\Linked", 0},
        {kDeep, "[HKEY_LOCAL_MACHINE\\Decoy\\Sub]\n" + gone, HKLM, "SOFTWARE\\App\\Linked", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.category.code) + " " + row.link);
        World world(RegText("[HKEY_LOCAL_MACHINE\\Decoy]\n" + row.decoy));
        AddBaseFolders(world);
        auto& registry = world.machine.registry;
        registry.addLink(row.root, W(row.link), HKLM, u"Decoy");
        // A look-alike beside it: an ordinary key with a value named and typed as a link's.
        registry.setRawExact(HKCU, u"Software\\LookAlike", kSymbolicLinkValue, kRegLink,
                             {'\\', 0, 'R', 0, 'e', 0, 'g', 0});
        TForm1& form = world.start();
        form.invoke(row.category.scan);
        EXPECT_EQ(row.listed, form.category(row.category.code).list().size());
    }
}

// A user who may only read the keys sees every finding the scan would show an administrator; a
// removal the registry refuses leaves the finding listed and counted as left.
TEST(RegistryFindings, ReadAccessIsEnoughToListAndARefusedRemovalStaysListed) {
    const std::uint32_t readOnly = kKeySetValue | kKeyCreateSubKey | kDeleteAccess;
    struct Row {
        Category category;
        std::string reg;
        HKey root;
        std::vector<std::string> readOnlyKeys;
    };
    const Row rows[] = {
        {kStartup, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"App\"=\"x\"\n", HKLM,
         {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"}},
        {kUninstallEntries, "[HKEY_LOCAL_MACHINE\\" + kUninstall + "\\App\\Sub]\n", HKLM,
         {kUninstall, kUninstall + "\\App", kUninstall + "\\App\\Sub"}},
        {kExtensions, "[HKEY_CLASSES_ROOT\\.abc]\n", HKCR, {"", ".abc"}},
        {kClasses, "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32]\n@=\"C:\\\\gone.dll\"\n", HKCR,
         {"CLSID", "CLSID\\{1}", "CLSID\\{1}\\InprocServer32"}},
        {kDeep, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\App\\Sub]\n\"Path\"=\"C:\\\\Gone\\\\a.exe\"\n", HKLM,
         {"SOFTWARE", "SOFTWARE\\App", "SOFTWARE\\App\\Sub"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.category.code);
        World world(RegText(row.reg));
        AddBaseFolders(world);
        for (const auto& key : row.readOnlyKeys) world.machine.registry.deny(row.root, key, readOnly);
        TForm1& form = world.start();
        form.invoke(row.category.scan);
        const auto found = Captions(form.category(row.category.code).list());
        ASSERT_EQ(1u, found.size());
        form.invoke(row.category.remove);
        EXPECT_EQ(found, Captions(form.category(row.category.code).list()));
        EXPECT_EQ((RemovalTally{0, 0, 0, 1}), form.lastRemoval);
    }
}

// Only "not found" makes a path missing: one the system will not tell about (access denied, a
// drive not ready) may be there, and no finding says otherwise.
TEST(RegistryFindings, APathTheSystemWillNotTellAboutIsNeverCalledMissing) {
    struct Row {
        Category category;
        std::string reg;
    };
    const Row rows[] = {
        {kDeep, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\App]\n\"Path\"=\"C:\\\\Secret\\\\app.exe\"\n"},
        {kClasses, "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32]\n@=\"C:\\\\Secret\\\\a.dll\"\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.category.code);
        World world(RegText(row.reg));
        AddBaseFolders(world);
        TForm1& form = world.start();
        form.invoke(row.category.scan);
        ASSERT_EQ(1u, form.category(row.category.code).list().size());
        world.machine.files.denyProbes("C:\\Secret");
        form.invoke(row.category.remove);
        EXPECT_EQ((RemovalTally{0, 0, 1, 0}), form.lastRemoval);
        form.invoke(row.category.scan);
        EXPECT_TRUE(form.category(row.category.code).list().empty());
    }
}

}  // namespace
}  // namespace keltora::testing
