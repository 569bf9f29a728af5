#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "scan/IgnoreList.h"
#include "support/World.h"

namespace keltora::testing {
namespace {

const std::string kDatasp = std::string(kIgnoreFolder) + "\\Datasp.dat";

TEST(IgnoreLine, ReadsOldLinesAsBeforeAndEscapedOnesWhole) {
    struct Row {
        const char* line;
        const char* caption;
        const char* location;
    };
    const Row rows[] = {
        {"Updater=HKCU\\Run", "Updater", "HKCU\\Run"},
        {"NoEquals", "NoEquals", ""},
        {"Trailing=", "Trailing", ""},
        {"a=b=c", "a", "b"},                 // an old line cut at its second "="
        {"a%3Db=HKCU%3D=%", "a=b", "HKCU="},  // written by this program for captions with "="
        {"100%3D=x", "100%3D", "x"},          // unmarked lines are never unescaped
    };
    for (const auto& row : rows) {
        const IgnoreEntry entry = ParseIgnoreLine(row.line);
        EXPECT_EQ(entry.caption, row.caption) << row.line;
        EXPECT_EQ(entry.location, row.location) << row.line;
    }
}

TEST(IgnoreLine, EveryEntryRoundTrips) {
    const IgnoreEntry entries[] = {
        {"plain", "HKCU\\Software"}, {"a=b", "loc"}, {"x", "C:\\odd=folder"}, {"50%", "100%"},
        {"%3D=", "=%"}, {"", "empty caption"}, {"Evil\r\nInjected=HKCU\\Run", "loc\tx"}, {"a\x01\x7F", "\n"},
    };
    for (const auto& entry : entries) {
        const IgnoreEntry back = ParseIgnoreLine(FormatIgnoreLine(entry));
        EXPECT_EQ(back.caption, entry.caption);
        EXPECT_EQ(back.location, entry.location);
        EXPECT_EQ(FormatIgnoreLine(entry).find_first_of("\r\n"), std::string::npos) << entry.caption;
    }
    EXPECT_EQ(FormatIgnoreLine({"plain", "HKCU\\Software"}), "plain=HKCU\\Software");
}

TEST(IgnoreItems, SetsTheFocusedFindingAsideForThisAndLaterRuns) {
    World world("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                "CurrentVersion\\Run]\n\"One\"=\"1\"\n\"Two=2\"=\"2\"\n\"Three\"=\"3\"\n");
    TForm1& form = world.start();
    form.RunningWhileStartup1Click();
    auto& list = form.category("sp").list();
    list.select(1);
    form.OBsp2Click();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"One", "Three"}));
    EXPECT_EQ(Captions(form.ignoreList("sp")->view()), (std::vector<std::string>{"Two=2"}));
    // The count box and summary row wait for the next scan.
    EXPECT_EQ(form.Oberror.caption(), "3 Errors Found");

    form.OBsp4Click();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"One", "Three"}));

    TForm1& restarted = world.start();
    restarted.StartupExecute();
    EXPECT_EQ(Captions(restarted.category("sp").list()), (std::vector<std::string>{"One", "Three"}));
}

TEST(IgnoreItems, NothingSelectedDoesNothing) {
    World world("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                "CurrentVersion\\Run]\n\"One\"=\"1\"\n");
    TForm1& form = world.start();
    form.StartupExecute();
    form.OBsp2Click();
    EXPECT_EQ(form.category("sp").list().size(), 1u);
    EXPECT_FALSE(world.files().exists(kDatasp));
}

TEST(IgnoreItems, CreatesTheIgnoreFolderWhenMissing) {
    World world("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                "CurrentVersion\\Run]\n\"One\"=\"1\"\n");
    TForm1& form = world.start();
    EXPECT_TRUE(world.files().isDirectory(kIgnoreFolder));
    form.StartupExecute();
    form.category("sp").list().select(0);
    form.OBsp2Click();
    EXPECT_EQ(world.files().readFile(kDatasp), std::optional<std::string>("One=HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n"));
}

TEST(IgnoreListLoad, LoadsEveryLineWhateverEmptyLinesStandBetween) {
    World world;
    std::string text;
    for (int i = 0; i < 60; ++i) text += "entry" + std::to_string(i) + "=loc\r\n";
    text += "\r\nafterBlank=loc\r\n\r\n";
    world.touch(kDatasp, text);
    TForm1& form = world.start();
    const auto& view = form.ignoreList("sp")->view();
    ASSERT_EQ(view.size(), 61u);
    EXPECT_EQ(view.at(59).caption, "entry59");
    EXPECT_TRUE(form.ignoreList("sp")->contains("afterBlank"));
    EXPECT_FALSE(form.ignoreList("sp")->contains("Entry55"));
}

// A name with CR LF inside is one entry, after a restart too, and hides nothing else; a file
// that lacks its last line end still takes new entries on lines of their own.
TEST(IgnoreItems, AHostileNameIsOneEntryAndAppendingStartsALine) {
    World world("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                "CurrentVersion\\Run]\n\"Updater\"=\"1\"\n");
    world.machine.registry.setString(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                     "x\r\nUpdater=HKCU", "2");
    world.touch(kDatasp, "Old=loc");
    TForm1& form = world.start();
    form.StartupExecute();
    form.category("sp").list().select(1);
    form.OBsp2Click();
    TForm1& restarted = world.start();
    EXPECT_EQ(Captions(restarted.ignoreList("sp")->view()), (std::vector<std::string>{"Old", "x\r\nUpdater=HKCU"}));
    restarted.StartupExecute();
    EXPECT_EQ(Captions(restarted.category("sp").list()), std::vector<std::string>{"Updater"});
}

// An ignore file that is a link (listed as a link, or as a file as Wine lists a Unix link), or
// one in an ignore folder that is a link, is never written through: what it leads to stays as it
// was, and the command says why.
TEST(IgnoreItems, AnIgnoreFileReachedThroughALinkIsLeftAsItIs) {
    const std::string elsewhere = "C:\\Elsewhere";
    const std::function<void(MemoryFileSystem&)> links[] = {
        [&](MemoryFileSystem& fs) { fs.addLink(kDatasp, elsewhere + "\\Datasp.dat"); },
        [&](MemoryFileSystem& fs) { fs.addLink(kDatasp, elsewhere + "\\Datasp.dat", false); },
        [&](MemoryFileSystem& fs) { fs.addLink(kIgnoreFolder, elsewhere); },
    };
    for (std::size_t i = 0; i < std::size(links); ++i) {
        World world("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                    "CurrentVersion\\Run]\n\"One\"=\"1\"\n");
        world.touch(elsewhere + "\\Datasp.dat", "mine");
        links[i](world.machine.files);
        TForm1& form = world.start();
        form.StartupExecute();
        form.category("sp").list().select(0);
        // The error ends the command and is shown, as a failed write of an ignore file is.
        try {
            form.OBsp2Click();
            ADD_FAILURE() << i << ": nothing was said";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find("is a link"), std::string::npos) << error.what();
        }
        EXPECT_EQ(world.files().readFile(elsewhere + "\\Datasp.dat"), std::optional<std::string>("mine")) << i;
    }
}

TEST(IgnoreListLoad, BinaryOrOddFilesLoadWhatTheyCan) {
    World world;
    world.touch(std::string(kIgnoreFolder) + "\\Dataue.dat", std::string("ok=1\nbin\0ary=2\n\xff\xfe=3", 19));
    world.touch(std::string(kIgnoreFolder) + "\\Datafe.dat", "");
    TForm1& form = world.start();
    EXPECT_EQ(form.ignoreList("ue")->view().size(), 3u);
    EXPECT_TRUE(form.ignoreList("ue")->contains("ok"));
    EXPECT_TRUE(form.ignoreList("fe")->view().empty());
}

}  // namespace
}  // namespace keltora::testing
