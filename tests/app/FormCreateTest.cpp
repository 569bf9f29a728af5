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

    ASSERT_EQ(form.lvall.size(), 28u);
    EXPECT_EQ(form.lvall.columns()[1].caption, "Number of Errors");
    EXPECT_TRUE(form.lvall.columns()[1].centred);
    EXPECT_EQ(form.lvall.at(0).caption, "Create Registry Backup");
    EXPECT_EQ(form.lvall.at(0).subItems, std::vector<std::string>{""});
    EXPECT_FALSE(form.lvall.at(0).checked);  // autobackup missing
    EXPECT_EQ(form.lvall.at(8).caption, "Type URLs");
    EXPECT_EQ(form.lvall.at(10).subItems, (std::vector<std::string>{"0", "Privacy Threats"}));
    EXPECT_TRUE(form.lvall.at(19).checked);
    EXPECT_FALSE(form.lvall.at(20).checked);
    // The places of today's Windows follow in their own group, checked.
    EXPECT_EQ(form.lvall.at(21).caption, "User Temporary Files");
    EXPECT_EQ(form.lvall.at(27).subItems, (std::vector<std::string>{"0", "Windows 10 and 11"}));
    EXPECT_TRUE(form.lvall.at(27).checked);
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

// Without a usable program-files folder nothing is created or written anywhere; what needs the
// folder says which setting is missing, and everything else works.
TEST(FormCreate, AnUnusableProgramFilesFolderCreatesNothingAndIsNamed) {
    for (const char* value : {"", "rel", "C:", "C:\\", "C:\\Windows\\..", "%ProgramFiles%"}) {
        SCOPED_TRACE(value);
        std::string escaped;
        for (const char* c = value; *c; ++c) escaped += *c == '\\' ? std::string("\\\\") : std::string(1, *c);
        World world("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                    "CurrentVersion]\n\"ProgramFilesDir\"=\"" + escaped + "\"\n");
        world.touch(std::string(kStartupFolder) + "\\run.lnk");
        world.touch("C:\\Windows\\Temp\\x.tmp");
        const auto before = world.machine.files.paths();
        TForm1& form = world.start();
        EXPECT_EQ(world.machine.files.paths(), before);
        EXPECT_EQ(form.paths.programFiles, "");
        EXPECT_FALSE(form.backupregExecute());
        form.StartupExecute();
        form.removespExecute();
        EXPECT_EQ(Captions(form.category("sp").list()), std::vector<std::string>{"run.lnk"});
        form.category("sp").list().select(0);
        EXPECT_THROW(form.OBsp2Click(), EMissingSetting);
        form.invoke("temp_filesExecute");
        form.invoke("removetempExecute");
        EXPECT_EQ(world.machine.files.paths().size(), before.size() - 1);  // only the temporary file went
        ASSERT_EQ(world.host.messages.size(), 2u);
        for (const auto& message : world.host.messages) EXPECT_NE(message.find("ProgramFilesDir"), std::string::npos);
    }
}

}  // namespace
}  // namespace keltora::testing
