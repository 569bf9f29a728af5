// Explorer History (mru) on the memory backend: every value of its lists read whole and shown as
// it is, registry links never followed, the removal journaled so that undo brings it all back.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/Cli.h"
#include "maintenance/JournalEntry.h"
#include "scanners/PrivacyMachine.h"
#include "scanners/RegistryTestSupport.h"

namespace keltora::testing {
namespace {

constexpr HKey HKCU = kHKeyCurrentUser;
const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const std::string kRecent = kExplorer + "\\RecentDocs";
const std::string kOpenSave = kExplorer + "\\ComDlg32\\OpenSavePidlMRU";
const std::string kTyped = kExplorer + "\\TypedPaths";
const std::string kSearches = kExplorer + "\\WordWheelQuery";

// An entry of a list of names: the name in UTF-16 with its NUL, then what Explorer keeps after it.
std::vector<std::uint8_t> named(const std::u16string& name, std::size_t tail = 6) {
    std::vector<std::uint8_t> bytes = Utf16LeData(name);
    for (std::size_t i = 0; i < tail; ++i) bytes.push_back(static_cast<std::uint8_t>(0x14 + i));
    return bytes;
}

const std::vector<std::uint8_t> kOrder{1, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};

struct HistoryWorld : World {
    HistoryWorld() {
        auto& reg = machine.registry;
        reg.setBinary(HKCU, kRecent, "MRUListEx", kOrder);
        reg.setBinary(HKCU, kRecent, "0", named(u"report.docx"));
        reg.setBinary(HKCU, kRecent, "1", named(u"notes.txt"));
        reg.setBinary(HKCU, kRecent + "\\.txt", "MRUListEx", {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
        reg.setBinary(HKCU, kRecent + "\\.txt", "0", named(u"notes.txt"));
        reg.setDword(HKCU, kRecent + "\\.txt", "odd", 7);
        reg.setBinary(HKCU, kOpenSave + "\\*", "0", std::vector<std::uint8_t>(70000, 0x31));
        reg.setString(HKCU, kTyped, "url1", "C:\\" + std::string(300, 'd'));
        reg.setBinary(HKCU, kSearches, "0", named(u"tax return"));
        reg.setBinary(HKCU, kSearches, "1", {0x41, 0x00, 0x42});
    }
    TForm1& scanned() {
        TForm1& started = start();
        Invoke(started, "mruExecute");
        return started;
    }
    const ResultList& list() { return form->category("mru").list(); }
    int cli(const std::vector<std::string>& args, std::string* err = nullptr) {
        std::ostringstream out, errors;
        ConsoleHost console(errors, "C:\\Program Files\\Keltora Professional\\");
        const int code = RunCli(args, platform(), console, out, errors);
        if (err) *err = errors.str();
        lastOut = out.str();
        return code;
    }
    std::string lastOut;
};

TEST(ExplorerHistory, EveryValueIsListedWholeAsItIsEachOrderValueLastInItsList) {
    HistoryWorld world;
    world.scanned();
    const auto& list = world.list();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"0", "1", "MRUListEx", "0", "odd", "MRUListEx", "0", "url1",
                                                        "0", "1"}));
    std::vector<std::string> details, locations;
    for (const auto& finding : list.findings()) {
        EXPECT_EQ(finding.subItem(1), "Privacy Threat(Remove)");
        details.push_back(finding.subItem(2));
        locations.push_back(finding.subItem(3));
    }
    EXPECT_EQ(details, (std::vector<std::string>{"report.docx", "notes.txt", "Order of the list", "notes.txt",
                                                 "REG_DWORD data, 4 bytes", "Order of the list",
                                                 "REG_BINARY data, 70000 bytes", "C:\\" + std::string(300, 'd'),
                                                 "tax return", "REG_BINARY data, 3 bytes"}));
    EXPECT_EQ(locations[0], "HKCU\\" + kRecent);
    EXPECT_EQ(locations[3], "HKCU\\" + kRecent + "\\.txt");
    EXPECT_EQ(locations[6], "HKCU\\" + kOpenSave + "\\*");
    EXPECT_EQ(list.columns()[3], (Column{"Registry Location", 250}));
}

// A list key that is a registry link, and a key on the way that is one, are never read or acted in.
TEST(ExplorerHistory, RegistryLinksAreNeverFollowed) {
    HistoryWorld world;
    auto& reg = world.machine.registry;
    reg.setString(HKCU, "Software\\Elsewhere", "keep", "me");
    reg.addLink(HKCU, Utf8ToUtf16(kRecent + "\\.lnk"), HKCU, u"Software\\Elsewhere");
    reg.removeKey(HKCU, kSearches);
    reg.addLink(HKCU, Utf8ToUtf16(kSearches), HKCU, u"Software\\Elsewhere");
    world.scanned();
    for (const auto& finding : world.list().findings()) EXPECT_NE(finding.caption, "keep");
    world.form->invoke("removemruExecute");
    EXPECT_TRUE(reg.valueExists(HKCU, "Software\\Elsewhere", "keep"));
    EXPECT_TRUE(world.list().empty());
}

// A key on the way to a list made a link after the scan, even to a key that holds the same
// entries, never leads the removal there: nothing is deleted and the findings stay.
TEST(ExplorerHistory, ALinkOnTheWayMadeAfterTheScanStopsTheRemoval) {
    HistoryWorld world;
    world.scanned();
    auto& reg = world.machine.registry;
    const std::string elsewhere = "Software\\Elsewhere\\OpenSavePidlMRU\\*";
    reg.setBinary(HKCU, elsewhere, "0", std::vector<std::uint8_t>(70000, 0x31));
    reg.removeKey(HKCU, kExplorer + "\\ComDlg32");
    reg.addLink(HKCU, Utf8ToUtf16(kExplorer + "\\ComDlg32"), HKCU, u"Software\\Elsewhere");
    world.form->invoke("removemruExecute");
    EXPECT_TRUE(reg.valueExists(HKCU, elsewhere, "0"));
    const auto& left = world.list().findings();
    EXPECT_EQ(std::count_if(left.begin(), left.end(),
                            [](const Finding& f) { return f.subItem(3) == "HKCU\\" + kOpenSave + "\\*"; }),
              1);
    EXPECT_EQ(world.form->lastRemoval.left, 1);
}

TEST(ExplorerHistory, AnEntryThatChangedSinceTheScanIsLeftAlone) {
    HistoryWorld world;
    world.scanned();
    world.machine.registry.setBinary(HKCU, kRecent, "0", named(u"other.docx"));
    world.form->invoke("removemruExecute");
    EXPECT_TRUE(world.machine.registry.valueExists(HKCU, kRecent, "0"));
    EXPECT_FALSE(world.machine.registry.valueExists(HKCU, kRecent, "1"));
    EXPECT_EQ(world.form->lastRemoval.noLongerFindings, 1);
}

TEST(ExplorerHistory, AnIgnoredValueIsSkippedInItsListOnly) {
    HistoryWorld world;
    world.scanned();
    world.form->category("mru").list().select(0);
    Invoke(*world.form, "obmru2Click");
    Invoke(*world.form, "mruExecute");
    EXPECT_EQ(world.list().size(), 9u);
    EXPECT_EQ(world.list().at(0).caption, "1");
    EXPECT_EQ(world.list().at(2).caption, "0");  // the "0" of RecentDocs\.txt
}

TEST(ExplorerHistory, ExactNamesAreRemovedAsTheyAre) {
    HistoryWorld world;
    const std::u16string recent = Utf8ToUtf16(kRecent);
    world.machine.registry.setRawExact(HKCU, recent + u"\\.\u6587\u6863", u"\u6587", kRegBinary, named(u"\u6587.txt"));
    world.machine.registry.setBinary(HKCU, kRecent + "\\.??", "?", named(u"plain.txt"));
    world.scanned();
    for (std::size_t row = 0; row < world.list().size(); ++row)
        world.form->category("mru").list().setChecked(row, !world.list().at(row).exactName.empty());
    world.form->invoke("removemruExecute");
    EXPECT_FALSE(world.machine.registry.valueExact(HKCU, recent + u"\\.\u6587\u6863", u"\u6587"));
    EXPECT_TRUE(world.machine.registry.valueExists(HKCU, kRecent + "\\.??", "?"));
}

// What the removal takes is journaled first; undo brings every value back byte for byte.
TEST(ExplorerHistory, UndoBringsEveryValueBackExactly) {
    HistoryWorld world;
    AddBaseFolders(world);
    std::vector<CapturedKey> before;
    CaptureKeyTree(world.registry(), HKCU, Utf8ToUtf16(kExplorer), before);
    std::string err;
    ASSERT_EQ(world.cli({"remove", "mru"}, &err), 0) << err;
    EXPECT_FALSE(world.machine.registry.valueExists(HKCU, kRecent, "0"));
    ASSERT_EQ(world.cli({"undo"}), 0);
    const std::string journal = world.lastOut.substr(0, world.lastOut.find('\t'));
    EXPECT_NE(world.lastOut.find("keltora-cli remove mru"), std::string::npos) << world.lastOut;
    ASSERT_EQ(world.cli({"undo", journal}, &err), 0) << err;
    std::vector<CapturedKey> after;
    CaptureKeyTree(world.registry(), HKCU, Utf8ToUtf16(kExplorer), after);
    EXPECT_EQ(after.size(), before.size());
    for (const auto& key : before) {
        const auto same = std::find_if(after.begin(), after.end(), [&](const CapturedKey& k) { return k.path == key.path; });
        ASSERT_NE(same, after.end());
        // A value comes back at the end of its key's list; each with its type and bytes.
        auto sorted = [](std::vector<CapturedValue> values) {
            std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
            return values;
        };
        EXPECT_EQ(sorted(same->values), sorted(key.values));
    }
}

}  // namespace
}  // namespace keltora::testing
