#include <gtest/gtest.h>

#include <map>

#include "RegistryTestSupport.h"

namespace keltora::testing {
namespace {

constexpr const char* kRecent = "C:\\Users\\pat\\Recent";
const std::string kRecentFolder = std::string(kRecent) + "\\";

std::string InRecent(const std::string& name) { return kRecentFolder + name; }

TEST(RecentDocuments, ListsEveryShortcutWithItsSize) {
    World world;
    auto& files = world.machine.files;
    files.addFile(InRecent("Report.doc.lnk"), 12);
    files.addFile(InRecent("Big.lnk"), 1536);
    files.addFile(InRecent("Huge.LNK"), 3ull << 30);
    files.addFile(InRecent("notes.txt"), 5);
    files.addFile(InRecent("a.lnk.bak"), 5);
    files.addDirectory(InRecent("Folder.lnk"));
    TForm1& form = world.start();
    form.invoke("PrivacyExecute");
    const auto& list = form.category("pc").list();
    ASSERT_EQ(list.size(), 3u);
    std::map<std::string, std::string> sizes;
    for (const auto& finding : list.findings()) {
        EXPECT_EQ(finding.subItem(1), "Remove");
        EXPECT_EQ(finding.subItem(2), "All items listed in Recent Documents");
        EXPECT_EQ(finding.subItem(3), kRecentFolder);
        sizes[finding.caption] = finding.subItem(4);
    }
    EXPECT_EQ(sizes, (std::map<std::string, std::string>{
                         {"Report.doc.lnk", "12 bytes"}, {"Big.lnk", "1.50 KB"}, {"Huge.LNK", "3.00 GB"}}));
    EXPECT_EQ(list.columns(), (std::vector<Column>{{"File Names", 180}, {"Repair Report", 100}, {"Detail Info", 220},
                                                   {"Path Location", 250}, {"Size", 100}}));
    EXPECT_EQ(form.lastCount, 3);
    // The same files in the same order the next time.
    const auto first = Captions(list);
    form.invoke("PrivacyExecute");
    EXPECT_EQ(Captions(form.category("pc").list()), first);
}

TEST(RecentDocuments, NoFolderValueListsNothingFromTheDrive) {
    const char* values[] = {"\"Recent\"=-\n", "\"Recent\"=\"\"\n"};
    for (const char* value : values) {
        World world(RegText("[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
                            "Folders]\n" + std::string(value)));
        world.touch("C:\\root.lnk");
        world.touch(InRecent("doc.lnk"));
        TForm1& form = world.start();
        form.invoke("RecentDocuments2Click");
        EXPECT_TRUE(form.category("pc").list().empty()) << value;
        EXPECT_EQ(form.Oberror.caption(), "No Errors Found");
    }
}

TEST(RecentDocuments, RemovalDeletesCheckedShortcutsOnly) {
    World world;
    for (const char* name : {"a.lnk", "b.lnk", "c.lnk", "locked.lnk", "vanished.lnk", "keep.txt"}) world.touch(InRecent(name));
    world.machine.files.lock(InRecent("locked.lnk"));
    TForm1& form = world.start();
    form.invoke("PrivacyExecute");
    auto& list = form.category("pc").list();
    ASSERT_EQ(list.size(), 5u);
    for (std::size_t row = 0; row < list.size(); ++row)
        if (list.at(row).caption == "b.lnk") list.setChecked(row, false);
    world.files().deleteFile(InRecent("vanished.lnk"));
    form.invoke("removepcExecute");
    // The unchecked one stays unchecked; the one still there after the attempt stays checked.
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"b.lnk", "locked.lnk"}));
    EXPECT_FALSE(list.at(0).checked);
    EXPECT_TRUE(list.at(1).checked);
    EXPECT_EQ(form.lastCount, 2);
    EXPECT_FALSE(world.files().exists(InRecent("a.lnk")));
    EXPECT_FALSE(world.files().exists(InRecent("c.lnk")));
    EXPECT_TRUE(world.files().exists(InRecent("keep.txt")));
}

TEST(RecentDocuments, RemovalTouchesOnlyTheFileAFindingNames) {
    World world;
    world.touch(InRecent("50% off.lnk"));
    world.touch(InRecent("a..b.lnk"));
    world.touch("C:\\Users\\pat\\other.lnk");
    TForm1& form = world.start();
    form.invoke("PrivacyExecute");
    auto& list = form.category("pc").list();
    ASSERT_EQ(list.size(), 2u);
    // A row edited to name something else is never acted on.
    list.setCaption(1, "..\\other.lnk");
    form.invoke("removepcExecute");
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"..\\other.lnk"}));
    EXPECT_TRUE(world.files().exists("C:\\Users\\pat\\other.lnk"));
}

}  // namespace
}  // namespace keltora::testing
