#include <gtest/gtest.h>

#include "RegistryTestSupport.h"

namespace keltora::testing {
namespace {

const std::string kRunKeys = R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"Updater"="C:\\Updater\\update.exe /silent"
"KeltoraPro"="C:\\Program Files\\Keltora Professional\\autostart.exe"
"Messenger"="msgr.exe"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\RunOnce]
"KeltoraPro"="once.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run]
"Tray"="C:\\tray.exe"
)";

constexpr const char* kHkcuRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(StartupPrograms, ListsRunKeysThenStartupFolderWithoutOwnEntry) {
    World world(kRunKeys);
    world.touch(std::string(kStartupFolder) + "\\notes.lnk");
    world.touch(std::string(kStartupFolder) + "\\desktop.ini");
    world.files().createDirectory(std::string(kStartupFolder) + "\\Tools");
    TForm1& form = world.start();
    form.StartupExecute();

    const auto& list = form.category("sp").list();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"Updater", "Messenger", "KeltoraPro", "Tray", "notes.lnk", "Tools"}));
    const Finding& updater = list.at(0);
    EXPECT_TRUE(updater.checked);
    EXPECT_EQ(updater.subItems, (std::vector<std::string>{"Rarely Used(Remove)", "C:\\Updater\\update.exe /silent",
                                                          "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"}));
    EXPECT_EQ(list.at(2).subItem(3), "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    EXPECT_EQ(list.at(3).subItem(3), "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(list.at(4).subItems, (std::vector<std::string>{"Rarely Used(Remove)", "notes.lnk", kStartupFolder}));
    EXPECT_EQ(form.lastCount, 6);
    ASSERT_EQ(list.columns().size(), 4u);
    EXPECT_EQ(list.columns()[3].caption, "Registry Location");
}

TEST(StartupPrograms, PacesEveryStepAndFinding) {
    World world(kRunKeys);
    TForm1& form = world.start();
    const auto before = world.machine.clock.totalMs();
    form.StartupExecute();
    // Ramps 0-30, 30-60, 60-80, 80-90, 90-100 are 105 steps; four findings pause once each.
    EXPECT_EQ(world.machine.clock.totalMs() - before, (105u + 4u) * 30u);
    EXPECT_EQ(form.PB.position(), 0);
}

TEST(StartupPrograms, CommandLineOf256CharactersHasEmptyDetail) {
    const std::string long255(255, 'a'), long256(256, 'b');
    World world("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" + std::string(kHkcuRun) +
                "]\n\"Fits\"=\"" + long255 + "\"\n\"TooLong\"=\"" + long256 + "\"\n");
    TForm1& form = world.start();
    form.StartupExecute();
    const auto& list = form.category("sp").list();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(0).subItem(2), long255);
    EXPECT_EQ(list.at(1).subItem(2), "");
}

TEST(StartupPrograms, MissingStartupFolderValueListsNothingFromTheDrive) {
    World world("Windows Registry Editor Version 5.00\n\n"
                "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
                "\"Startup\"=-\n");
    world.touch("C:\\autoexec.bat");
    TForm1& form = world.start();
    form.StartupExecute();
    EXPECT_TRUE(form.category("sp").list().empty());
}

TEST(StartupPrograms, RemovalDeletesCheckedValuesMovesFilesAndKeepsUncheckedInOrder) {
    World world(kRunKeys);
    world.touch(std::string(kStartupFolder) + "\\notes.lnk", "shortcut");
    TForm1& form = world.start();
    form.StartupExecute();
    auto& list = form.category("sp").list();
    list.setChecked(1, false);  // Messenger
    list.setChecked(3, false);  // Tray
    form.removespExecute();

    EXPECT_EQ(Captions(list), (std::vector<std::string>{"Messenger", "Tray"}));
    EXPECT_FALSE(list.at(0).checked);
    EXPECT_FALSE(list.at(1).checked);
    EXPECT_EQ(form.lastCount, 2);
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, kHkcuRun, "Updater"));
    EXPECT_TRUE(world.valueExists(kHKeyCurrentUser, kHkcuRun, "Messenger"));
    EXPECT_TRUE(world.valueExists(kHKeyCurrentUser, kHkcuRun, "KeltoraPro"));
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "KeltoraPro"));
    EXPECT_FALSE(world.files().exists(std::string(kStartupFolder) + "\\notes.lnk"));
    EXPECT_EQ(world.files().readFile(std::string(kStartbug) + "\\notes.lnk"), std::optional<std::string>("shortcut"));
    // The removal itself leaves the summary list alone.
    EXPECT_EQ(form.lvall.at(1).subItem(1), "0");
}

TEST(StartupPrograms, FindingStaysWhenWhatItNamesIsStillThere) {
    World world;
    world.touch(std::string(kStartupFolder) + "\\notes.lnk", "new");
    world.touch(std::string(kStartbug) + "\\notes.lnk", "moved earlier");
    world.touch(std::string(kStartupFolder) + "\\locked.lnk");
    world.machine.files.lock(std::string(kStartupFolder) + "\\locked.lnk");
    TForm1& form = world.start();
    form.StartupExecute();
    form.removespExecute();
    const auto& list = form.category("sp").list();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"locked.lnk", "notes.lnk"}));
    EXPECT_TRUE(list.at(0).checked);
    EXPECT_EQ(form.lastCount, 2);
    EXPECT_EQ(world.files().readFile(std::string(kStartbug) + "\\notes.lnk"), std::optional<std::string>("moved earlier"));
}

TEST(StartupPrograms, RunValueNamedLikeAPathNeverTouchesFiles) {
    World world("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" + std::string(kHkcuRun) +
                "]\n\"..\\\\..\\\\x.txt\"=\"x\"\n\"a=b\"=\"y\"\n");
    world.touch("C:\\Users\\x.txt", "keep");
    world.touch("C:\\Users\\pat\\Start Menu\\x.txt", "keep too");
    TForm1& form = world.start();
    form.StartupExecute();
    const auto& list = form.category("sp").list();
    ASSERT_EQ(Captions(list), (std::vector<std::string>{"..\\..\\x.txt", "a=b"}));
    EXPECT_EQ(list.at(1).subItem(2), "y");
    form.removespExecute();
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, kHkcuRun, "..\\..\\x.txt"));
    EXPECT_EQ(world.files().readFile("C:\\Users\\x.txt"), std::optional<std::string>("keep"));
    EXPECT_EQ(world.files().readFile("C:\\Users\\pat\\Start Menu\\x.txt"), std::optional<std::string>("keep too"));
    EXPECT_FALSE(world.files().exists(std::string(kStartbug) + "\\x.txt"));
}

// Task Manager keeps, per item, a binary record in the StartupApproved key of its source: an odd
// first byte means disabled. Such an item is listed unchecked, and its record goes with it.
TEST(StartupPrograms, AnItemDisabledInTaskManagerIsListedUncheckedAndItsRecordGoesWithIt) {
    const std::string approved = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
    World world(RegText("[HKEY_CURRENT_USER\\" + std::string(kHkcuRun) + "]\n\"On\"=\"a\"\n\"Off\"=\"b\"\n"
                        "\"Odd\"=\"c\"\n\"None\"=\"d\"\n\n"
                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
                        "\"Off32\"=\"e\"\n\"Elsewhere\"=\"f\"\n\n"
                        "[HKEY_CURRENT_USER\\" + approved + "Run]\n\"On\"=hex:02,00,00,00,00,00,00,00,00,00,00,00\n"
                        "\"Off\"=hex:03,00,00,00,d4,0d,43,8d,c8,3b,d9,01\n\"Odd\"=dword:00000003\n"
                        "\"Elsewhere\"=hex:03\n\"notes.lnk\"=hex:03\n\n"
                        "[HKEY_LOCAL_MACHINE\\" + approved + "Run32]\n\"Off32\"=hex:07,00,00,00\n\n"
                        "[HKEY_CURRENT_USER\\" + approved + "StartupFolder]\n\"notes.lnk\"=hex:07,00,00,00\n"));
    world.touch(std::string(kStartupFolder) + "\\notes.lnk");
    TForm1& form = world.start();
    form.StartupExecute();
    auto& list = form.category("sp").list();
    ASSERT_EQ(Captions(list), (std::vector<std::string>{"On", "Off", "Odd", "None", "Off32", "Elsewhere", "notes.lnk"}));
    std::vector<bool> checked;
    for (const auto& finding : list.findings()) checked.push_back(finding.checked);
    EXPECT_EQ(checked, (std::vector<bool>{true, false, true, true, false, true, false}));

    for (std::size_t row = 0; row < list.size(); ++row) list.setChecked(row, row != 0);
    form.removespExecute();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"On"}));
    auto& reg = world.machine.registry;
    // Each record is its source's own: the others name other items that are not touched.
    EXPECT_EQ(reg.valueNames(kHKeyCurrentUser, approved + "Run"),
              (std::vector<std::string>{"On", "Elsewhere", "notes.lnk"}));
    EXPECT_TRUE(reg.valueNames(kHKeyLocalMachine, approved + "Run32").empty());
    EXPECT_TRUE(reg.valueNames(kHKeyCurrentUser, approved + "StartupFolder").empty());
}

// Task Manager's records are read and removed only where their own key really is: a StartupApproved
// key that is a link to another key (in HKLM, say) is neither read nor changed.
TEST(StartupPrograms, ARecordReachedThroughALinkIsNeitherReadNorRemoved) {
    World world(RegText("[HKEY_CURRENT_USER\\" + std::string(kHkcuRun) + "]\n\"App\"=\"a\"\n\n"
                        "[HKEY_LOCAL_MACHINE\\Decoy\\Run]\n\"App\"=hex:03,00,00,00\n"));
    world.machine.registry.addLink(kHKeyCurrentUser,
                                   u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved",
                                   kHKeyLocalMachine, u"Decoy");
    TForm1& form = world.start();
    form.StartupExecute();
    auto& list = form.category("sp").list();
    ASSERT_EQ(Captions(list), std::vector<std::string>{"App"});
    EXPECT_TRUE(list.at(0).checked);
    form.removespExecute();
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(world.machine.registry.valueExists(kHKeyCurrentUser, kHkcuRun, "App"));
    EXPECT_TRUE(world.machine.registry.valueExists(kHKeyLocalMachine, "Decoy\\Run", "App"));
}

TEST(StartupPrograms, FindingAlreadyGoneLeavesTheList) {
    World world(kRunKeys);
    TForm1& form = world.start();
    form.StartupExecute();
    world.load("Windows Registry Editor Version 5.00\n\n[-HKEY_CURRENT_USER\\" + std::string(kHkcuRun) + "]\n");
    form.removespExecute();
    EXPECT_EQ(Captions(form.category("sp").list()), (std::vector<std::string>{}));
}

}  // namespace
}  // namespace keltora::testing
