#include <gtest/gtest.h>

#include "maintenance/BackupName.h"
#include "support/FakeRegistryEditor.h"

namespace keltora::testing {
namespace {

constexpr const char* kBackups = "C:\\Program Files\\Keltora Professional\\Backups";

TEST(BackupName, WritesAndReadsTheTimeWithoutLeadingZeros) {
    EXPECT_EQ(BackupFileName({2026, 1, 7, 9, 5, 3}), "Backup_9-5-3_7-1-2026.reg");
    EXPECT_EQ(BackupFileName({2026, 12, 31, 23, 59, 0}), "Backup_23-59-0_31-12-2026.reg");
    struct Row {
        const char* name;
        const char* date;
        const char* time;
    };
    const Row rows[] = {
        {"Backup_9-5-3_7-1-2026.reg", "1/7/2026", "9:05:03 AM"},
        {"Backup_23-59-0_31-12-2026.reg", "12/31/2026", "11:59:00 PM"},
        {"Backup_0-0-0_29-2-2024.reg", "2/29/2024", "12:00:00 AM"},
        {"notes.reg", nullptr, nullptr},
        {"Backup_9-5-3_30-2-2026.reg", nullptr, nullptr},  // no such day
        {"Backup_25-5-3_7-1-2026.reg", "1/7/2026", nullptr},
        {"Backup_x-5-3_7-1-2026.reg", "1/7/2026", nullptr},
        {"Backup_9-5-3_7-1.reg", nullptr, nullptr},
    };
    for (const auto& row : rows) {
        const auto parts = ParseBackupFileName(row.name);
        EXPECT_EQ(parts.date, row.date ? std::optional<std::string>(row.date) : std::nullopt) << row.name;
        EXPECT_EQ(parts.time, row.time ? std::optional<std::string>(row.time) : std::nullopt) << row.name;
    }
}

struct BackupWorld : World {
    BackupWorld() : World("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Demo]\n\"v\"=\"1\"\n") {
        InstallRegistryEditor(*this, behaviour);
        machine.clock.setNow({2026, 1, 7, 9, 5, 3});
        machine.clock.setAdvancing(true);
    }
    EditorBehaviour behaviour = EditorBehaviour::Works;
};

TEST(RegistryBackups, ABackupIsARealExportWithItsRow) {
    BackupWorld world;
    TForm1& form = world.start();
    ASSERT_TRUE(form.backupregExecute());
    ASSERT_EQ(form.LVbackup.size(), 1u);
    EXPECT_EQ(form.LVbackup.at(0).caption, "Backup_9-5-3_7-1-2026.reg");
    EXPECT_EQ(form.LVbackup.at(0).subItems, (std::vector<std::string>{"1/7/2026", "9:05:03 AM"}));
    const auto text = world.files().readFile(std::string(kBackups) + "\\Backup_9-5-3_7-1-2026.reg");
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("[HKEY_CURRENT_USER\\Software\\Demo]"), std::string::npos);
    EXPECT_EQ(world.machine.shell.runs().back().parameters,
              "/e \"" + std::string(kBackups) + "\\Backup_9-5-3_7-1-2026.reg\"");
    EXPECT_EQ(form.PB.position(), 0);
}

TEST(RegistryBackups, TwoBackupsInOneSecondGetTwoNames) {
    BackupWorld world;
    world.machine.clock.setAdvancing(false);
    TForm1& form = world.start();
    ASSERT_TRUE(form.backupregExecute());
    world.machine.clock.setAdvancing(true);
    world.machine.clock.setNow({2026, 1, 7, 9, 5, 3});
    ASSERT_TRUE(form.backupregExecute());
    ASSERT_EQ(form.LVbackup.size(), 2u);
    EXPECT_EQ(form.LVbackup.at(1).caption, "Backup_9-5-4_7-1-2026.reg");
}

TEST(RegistryBackups, AFailedExportIsReportedAndAddsNoRow) {
    for (auto behaviour : {EditorBehaviour::WritesNothing, EditorBehaviour::Fails, EditorBehaviour::NeverEnds}) {
        BackupWorld world;
        world.behaviour = behaviour;
        TForm1& form = world.start();
        EXPECT_FALSE(form.backupregExecute());
        EXPECT_TRUE(form.LVbackup.empty());
        ASSERT_EQ(world.host.messages.size(), 1u);
        EXPECT_EQ(world.host.messages[0].rfind("The registry backup was not made", 0), 0u) << world.host.messages[0];
    }
}

TEST(RegistryBackups, ThePageListsBackupsUntilANameDoesNotParse) {
    BackupWorld world;
    world.touch(std::string(kBackups) + "\\Backup_1-2-3_4-5-2026.reg");
    world.touch(std::string(kBackups) + "\\Backup_9-5-3_7-1-2026.reg");
    world.touch(std::string(kBackups) + "\\notes.reg");
    world.touch(std::string(kBackups) + "\\zzz_Backup_1-1-1_1-1-2026.reg");
    world.touch(std::string(kBackups) + "\\readme.txt");
    TForm1& form = world.start();
    form.invoke("CB1Categories1Items0Click");
    ASSERT_EQ(Captions(form.LVbackup),
              (std::vector<std::string>{"Backup_1-2-3_4-5-2026.reg", "Backup_9-5-3_7-1-2026.reg", "notes.reg"}));
    EXPECT_EQ(form.LVbackup.at(0).subItems, (std::vector<std::string>{"5/4/2026", "1:02:03 AM"}));
    EXPECT_TRUE(form.LVbackup.at(2).subItems.empty());
}

TEST(RegistryBackups, RestoreImportsTheSelectedFileAndPutsTheWindowBackOnTop) {
    BackupWorld world;
    TForm1& form = world.start();
    ASSERT_TRUE(form.backupregExecute());
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Demo]\n\"v\"=\"changed\"\n");
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n\"alwaysontop\"=\"1\"\n");
    form.options.at(Setting::AlwaysOnTop)->setChecked(false);
    form.LVbackup.select(0);
    form.OBrestorebackupClick();
    EXPECT_TRUE(world.host.messages.empty()) << world.host.messages.front();
    EXPECT_EQ(world.read(kHKeyCurrentUser, "Software\\Demo", "v"), "1");
    EXPECT_TRUE(world.host.topmost);
    EXPECT_TRUE(form.options.at(Setting::AlwaysOnTop)->checked());
}

TEST(RegistryBackups, RestoreAndDeleteNeedASelectionAndRestoreReportsFailure) {
    BackupWorld world;
    TForm1& form = world.start();
    ASSERT_TRUE(form.backupregExecute());
    world.host.topmost = true;
    form.OBrestorebackupClick();
    form.OBdeletebackupClick();
    EXPECT_EQ(world.host.messages, (std::vector<std::string>{"Please select backup file", "Please select backup file"}));
    EXPECT_TRUE(world.host.topmost);
    EXPECT_EQ(form.LVbackup.size(), 1u);

    world.behaviour = EditorBehaviour::Fails;
    form.LVbackup.select(0);
    form.OBrestorebackupClick();
    ASSERT_EQ(world.host.messages.size(), 3u);
    EXPECT_NE(world.host.messages[2].find("could not restore"), std::string::npos);

    form.OBdeletebackupClick();
    EXPECT_TRUE(form.LVbackup.empty());
    EXPECT_FALSE(world.files().exists(std::string(kBackups) + "\\Backup_9-5-3_7-1-2026.reg"));
}

}  // namespace
}  // namespace keltora::testing
