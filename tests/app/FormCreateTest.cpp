#include <gtest/gtest.h>

#include "support/World.h"

namespace keltora::testing {
namespace {

TEST(FormCreate, ComputesPathsCreatesFoldersAndBuildsTheSummaryList) {
    World world;
    TForm1& form = world.start();
    EXPECT_EQ(form.paths.programFiles, "C:\\Program Files");
    EXPECT_EQ(form.paths.systemDrive, "C:\\");
    EXPECT_TRUE(world.files().isDirectory("C:\\Program Files\\Keltora Professional\\Backups"));
    EXPECT_TRUE(world.files().isDirectory(kStartbug));
    EXPECT_TRUE(world.files().isDirectory(kIgnoreFolder));
    EXPECT_EQ(form.statustext.caption(), "Status : Ready");

    ASSERT_EQ(form.lvall.size(), 21u);
    EXPECT_EQ(form.lvall.columns()[1].caption, "Number of Errors");
    EXPECT_TRUE(form.lvall.columns()[1].centred);
    EXPECT_EQ(form.lvall.at(0).caption, "Create Registry Backup");
    EXPECT_EQ(form.lvall.at(0).subItems, std::vector<std::string>{""});
    EXPECT_FALSE(form.lvall.at(0).checked);  // autobackup missing
    EXPECT_EQ(form.lvall.at(8).caption, "Type URLs");
    EXPECT_EQ(form.lvall.at(10).subItems, (std::vector<std::string>{"0", "Privacy Threats"}));
    EXPECT_TRUE(form.lvall.at(19).checked);
    EXPECT_FALSE(form.lvall.at(20).checked);
    EXPECT_TRUE(form.lvall.visible());
    EXPECT_TRUE(form.autoscanOnStart);
}

TEST(FormCreate, SystemDriveIsTheDriveRootWhateverTheCase) {
    for (const char* root : {"C:\\WINDOWS", "C:\\Windows", "C:\\windows", "D:\\WinNT"}) {
        World world("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\"
                    "CurrentVersion]\n\"SystemRoot\"=\"" + std::string(root).replace(2, 1, "\\\\") + "\"\n");
        EXPECT_EQ(world.start().paths.systemDrive, std::string(1, root[0]) + ":\\") << root;
    }
    EXPECT_EQ(SystemDrivePrefix(""), "");
}

}  // namespace
}  // namespace keltora::testing
