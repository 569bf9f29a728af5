#include <gtest/gtest.h>

#include "scanners/PrivacyMachine.h"

namespace keltora::testing {
namespace {

const std::string kWindowsTemp = kWindows + "Temp\\";

class TempScan : public ::testing::Test {
protected:
    TempScan() : world(kUserFolders) {}
    std::vector<std::string> scan(const char* action, const char* code) {
        Invoke(world.start(), action);
        return Paths(world.form->category(code).list());
    }
    void file(const std::string& path) { world.machine.files.addFile(path, 100); }
    World world;
};

TEST_F(TempScan, TmpFilesDirectlyInBothTempFoldersWindowsFirst) {
    file(kUserTemp + "user.tmp");
    file(kWindowsTemp + "B.TMP");
    file(kWindowsTemp + "a.tmp.bak");
    file(kWindowsTemp + "a.tmp");
    file(kWindowsTemp + "Sub\\deep.tmp");
    EXPECT_EQ(scan("temp_filesExecute", "temp"),
              (std::vector<std::string>{kWindowsTemp + "a.tmp", kWindowsTemp + "B.TMP", kUserTemp + "user.tmp"}));
    const auto& list = world.form->category("temp").list();
    EXPECT_EQ(list.columns()[2].caption, "Detail info");
    EXPECT_EQ(list.at(0).subItems,
              (std::vector<std::string>{"Remove", "All items listed in History Folder", kWindowsTemp, "100 bytes"}));
}

// A "Local Settings" that names the Windows folder makes the user's Temp the machine's: it is
// passed over and said, and the Windows folder's Temp is listed once, from the machine's value.
TEST_F(TempScan, ALocalSettingsValueNamingTheWindowsFolderIsPassedOverAndSaid) {
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
               "CurrentVersion\\Explorer\\Shell Folders]\n\"Local Settings\"=\"C:\\\\Windows\"\n");
    file(kWindowsTemp + "x.tmp");
    EXPECT_EQ(scan("temp_filesExecute", "temp"), (std::vector<std::string>{kWindowsTemp + "x.tmp"}));
    ASSERT_EQ(world.host.messages.size(), 1u);
    EXPECT_NE(world.host.messages[0].find("\"Local Settings\""), std::string::npos) << world.host.messages[0];
}

struct MissingValueRow {
    const char* load;  // what the registry lacks
    const char* action;
    const char* code;
};

TEST_F(TempScan, AnUnreadableFolderValueListsNothingOnTheDrive) {
    const std::string noSystemRoot = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\"
                                     "Windows NT\\CurrentVersion]\n\"SystemRoot\"=-\n";
    const MissingValueRow rows[] = {
        {"Local Settings", "temp_filesExecute", "temp"},
        {"Cache", "tempieExecute", "tempie"},
    };
    for (const auto& row : rows) {
        World bare(kUserFolders);
        bare.load(noSystemRoot);
        bare.load(WithoutShellFolder(row.load));
        bare.machine.files.addFile("C:\\Temp\\stray.tmp", 1);
        bare.machine.files.addFile("C:\\Content.IE5\\stray.gif", 1);
        Invoke(bare.start(), row.action);
        EXPECT_TRUE(bare.form->category(row.code).list().empty()) << row.code;
    }
}

// Where the "Local Settings" value is missing (every Windows since Vista), the temporary folder
// the system reports (from the user's TMP and TEMP) is scanned instead, under the same folder
// rule as every other folder and the profile rule of every per-user folder.
TEST_F(TempScan, TheSystemsTemporaryFolderWhereLocalSettingsIsMissing) {
    struct Row {
        bool localSettings;
        std::u16string reported;
        bool listed;
    };
    const Row rows[] = {
        {false, u"C:\\Users\\pat\\AppData\\Local\\Temp\\", true},
        {false, u"C:/Users/pat/AppData/Local/Temp", true},
        {false, u"", false},
        {false, u"Temp", false},
        {false, u"C:\\", false},
        {false, u"C:\\Temp", false},  // the user's TEMP, outside the profile: passed over and said
        {true, u"C:\\Users\\pat\\AppData\\Local\\Temp\\", false},
    };
    for (const auto& row : rows) {
        World bare(kUserFolders);
        if (!row.localSettings) bare.load(WithoutShellFolder("Local Settings"));
        bare.machine.files.temporaryPath = row.reported;
        bare.machine.files.addFile("C:\\Users\\pat\\AppData\\Local\\Temp\\user.tmp", 1);
        bare.machine.files.addFile("C:\\Temp\\stray.tmp", 1);
        bare.machine.files.addFile("C:\\stray.tmp", 1);
        Invoke(bare.start(), "temp_filesExecute");
        EXPECT_EQ(Paths(bare.form->category("temp").list()),
                  row.listed ? std::vector<std::string>{"C:\\Users\\pat\\AppData\\Local\\Temp\\user.tmp"}
                             : std::vector<std::string>{});
    }
}

TEST_F(TempScan, CacheStoreWalkKeepsDesktopIniAndDropsIndexFiles) {
    file(kCacheStore + "index.dat");
    file(kCacheStore + "desktop.ini");
    file(kCacheStore + "NOEXT");
    file(kCacheStore + "AB12CD34\\index.dat");
    file(kCacheStore + "AB12CD34\\desktop.ini");
    file(kCacheStore + "AB12CD34\\logo[1].gif");
    file(kCacheStore + "AB12CD34\\noext");
    EXPECT_EQ(scan("tempieExecute", "tempie"),
              (std::vector<std::string>{kCacheStore + "AB12CD34\\desktop.ini", kCacheStore + "AB12CD34\\logo[1].gif",
                                        kCacheStore + "desktop.ini"}));
    const auto& list = world.form->category("tempie").list();
    EXPECT_EQ(list.columns()[1].caption, "Removal Suggestion");
    EXPECT_EQ(list.columns()[3].caption, "Error Location");
    Invoke(*world.form, "removetempieExecute");
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(world.files().exists(kCacheStore + "index.dat"));
    EXPECT_FALSE(world.files().exists(kCacheStore + "AB12CD34\\logo[1].gif"));
}

}  // namespace
}  // namespace keltora::testing
