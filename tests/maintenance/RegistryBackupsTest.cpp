#include <gtest/gtest.h>

#include <functional>

#include "maintenance/BackupFiles.h"
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
    // Never listed, and no stop to the listing: a name whose short 8.3 name matches *.reg, a
    // folder, a link, a device name.
    world.touch(std::string(kBackups) + "\\Backup_2-2-2_2-2-2026.regx");
    world.files().createDirectory(std::string(kBackups) + "\\Backup_4-4-4_4-4-2026.reg");
    world.touch(std::string(kBackups) + "\\Backup_3-3-3_3-3-2026.reg");
    world.machine.files.setAttributes(std::string(kBackups) + "\\Backup_3-3-3_3-3-2026.reg", kAttrReparsePoint);
    world.touch(std::string(kBackups) + "\\CON.reg");
    TForm1& form = world.start();
    form.invoke("CB1Categories1Items0Click");
    ASSERT_EQ(Captions(form.LVbackup),
              (std::vector<std::string>{"Backup_1-2-3_4-5-2026.reg", "Backup_9-5-3_7-1-2026.reg", "notes.reg"}));
    EXPECT_EQ(form.LVbackup.at(0).subItems, (std::vector<std::string>{"5/4/2026", "1:02:03 AM"}));
    EXPECT_TRUE(form.LVbackup.at(2).subItems.empty());
}

TEST(BackupFiles, NamesAndExportHeaders) {
    const std::pair<const char*, bool> names[] = {
        {"Backup_9-5-3_7-1-2026.reg", true}, {"notes.REG", true}, {"a.reg.", false}, {"a.reg ", false},
        {"..\\a.reg", false}, {"C:a.reg", false}, {"a/b.reg", false}, {"a?.reg", false}, {"a\tb.reg", false},
        {"nul.reg", false}, {"COM1.reg", false}, {"a.regx", false}, {".reg", true}, {"..", false}};
    for (const auto& [name, ok] : names) EXPECT_EQ(IsBackupFileName(name), ok) << name;
    const std::pair<std::string, bool> starts[] = {
        {"Windows Registry Editor Version 5.00\r\n\r\n[HKEY", true}, {"REGEDIT4\n", true}, {"REGEDIT4", true},
        {"\xEF\xBB\xBFREGEDIT4\r\n", true}, {std::string("\xFF\xFER\0E\0G\0E\0D\0I\0T\0" "4\0\r\0", 20), true},
        {std::string("\xFF\xFER\0E\0G\0E\0D\0I\0T\0" "5\0", 18), false}, {"REGEDIT4x", false},
        {"regedit4\r\n", false}, {"MZ\x90", false}, {"", false}};
    for (const auto& [start, ok] : starts) EXPECT_EQ(IsRegistryExport(start), ok) << start;
}

// Restore and delete act only on a regular file of the folder that the listing showed: a
// file that is no registry export is never imported, a link never followed (one listed as a
// file, as Wine lists a Unix link, included), a file that could not be deleted keeps its row.
// Each refusal is said with its reason.
TEST(RegistryBackups, RestoreAndDeleteRefuseWhatTheyMayNotActOn) {
    struct Row {
        const char* name;
        std::function<void(World&, const std::string&)> setup;
        bool restore;
        const char* message;
        std::size_t editorStarts = 0;  // tries to start the editor
    };
    const auto text = [](World& w, const std::string& path) { w.files().writeFile(path, "not an export"); };
    const auto link = [](World& w, const std::string& path) { w.machine.files.setAttributes(path, kAttrReparsePoint); };
    const auto held = [](World& w, const std::string& path) { w.machine.files.lock(path); };
    const auto wineLink = [](World& w, const std::string& path) {
        w.files().deleteFile(path);
        w.machine.files.addLink(path, "C:\\Elsewhere\\keep.reg", false);
    };
    const Row rows[] = {
        {"text", text, true, "is not a registry export; nothing was restored."},
        {"link", link, true, "is not a regular file"},
        {"link", link, false, "is not a regular file"},
        {"held", held, false, "could not be deleted: The process cannot access the file"},
        {"link listed as a file", wineLink, false, "is left as it is: it is a link"},
        {"elevation", [](World& w, const std::string&) { w.machine.shell.setStartError(740); }, true,
         "needs administrator rights", 1},
    };
    for (const auto& row : rows) {
        BackupWorld world;
        TForm1& form = world.start();
        ASSERT_TRUE(form.backupregExecute());
        const std::string path = std::string(kBackups) + "\\Backup_9-5-3_7-1-2026.reg";
        world.machine.files.addFile("C:\\Elsewhere\\keep.reg", 4, "kept");
        row.setup(world, path);
        const std::size_t runs = world.machine.shell.runs().size();
        form.LVbackup.select(0);
        row.restore ? form.OBrestorebackupClick() : form.OBdeletebackupClick();
        ASSERT_EQ(world.host.messages.size(), 1u) << row.name;
        EXPECT_NE(world.host.messages[0].find(row.message), std::string::npos) << world.host.messages[0];
        EXPECT_EQ(form.LVbackup.size(), 1u) << row.name;
        EXPECT_TRUE(world.files().exists(path)) << row.name;
        EXPECT_EQ(world.machine.shell.runs().size(), runs + row.editorStarts) << row.name;
        EXPECT_EQ(world.files().readFile("C:\\Elsewhere\\keep.reg"), "kept") << row.name;
    }
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
