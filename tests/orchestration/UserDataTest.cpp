#include <gtest/gtest.h>

#include <algorithm>

#include "orchestration/UserData.h"
#include "scanners/PrivacyMachine.h"
#include "support/World.h"

namespace keltora::testing {
namespace {

const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kTwoRunKeys = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"Mine\"=\"1\"\n\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"Ours\"=\"2\"\n";
const AccountId kAdmin{"S-1-5-21-1-500", "PC\\admin"};

struct LocationRow {
    const char* code;
    const char* location;
    bool user;
};

TEST(UserData, AFindingIsTheUsersByItsCategoryAndWhereItIs) {
    const LocationRow rows[] = {
        {"sp", "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", true},
        {"sp", "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", false},
        {"sp", "C:\\Users\\pat\\Start Menu\\Programs\\Startup", true},
        {"temp", "c:\\windows\\Temp\\", false},
        {"temp", "C:\\WindowsOld\\Temp\\", true},
        {"temp", "C:\\Users\\pat\\Local Settings\\Temp\\", true},
        {"fe", "HKCR", false},
        {"ue", "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\x", true},
        {"da", "HKCU\\SOFTWARE\\Vendor", true},
        {"clip", "", true},
        {"dump", "C:\\Users\\pat", false},
    };
    for (const auto& row : rows) {
        const Finding finding{"x", {"Remove", "", row.location}};
        EXPECT_EQ(IsUserData(row.code, finding, "C:\\Windows"), row.user) << row.code << " " << row.location;
    }
    EXPECT_TRUE(IsUserData("temp", Finding{"x", {"", "", "C:\\Windows\\Temp\\"}}, ""));
}

TEST(UserData, AnotherAccountsProcessRemovesOnlyTheMachinesDataAndSaysWhose) {
    World world(kTwoRunKeys);
    world.machine.account.process = kAdmin;
    world.touch(std::string(kStartupFolder) + "\\tool.lnk");
    TForm1& form = world.start();
    form.invoke("RunningWhileStartup1Click");
    form.invoke("OBsp3Click");

    EXPECT_FALSE(world.valueExists(kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Ours"));
    EXPECT_TRUE(world.valueExists(kHKeyCurrentUser, kRunKey, "Mine"));
    EXPECT_TRUE(world.files().exists(std::string(kStartupFolder) + "\\tool.lnk"));
    EXPECT_EQ(Captions(form.category("sp").list()), (std::vector<std::string>{"Mine", "tool.lnk"}));
    for (const auto& finding : form.category("sp").list().findings()) EXPECT_TRUE(finding.checked);
    EXPECT_EQ(form.lastRemoval.left, 2);
    ASSERT_EQ(world.host.messages.size(), 1u);
    for (const char* named : {"PC\\admin", "PC\\pat", "Running While Startup"})
        EXPECT_NE(world.host.messages[0].find(named), std::string::npos) << named;

    // The repair pass leaves the bin full and says so once for every category it held back.
    world.machine.shell.recycle("old.txt", 100);
    for (std::size_t row = 0; row < form.lvall.size(); ++row) form.lvall.setChecked(row, row == 1 || row == 11);
    form.invoke("OBall2Click");
    form.invoke("OBall4Click");
    EXPECT_EQ(form.lvall.at(11).subItem(1), "1");
    ASSERT_EQ(world.host.messages.size(), 2u);
    EXPECT_NE(world.host.messages[1].find("Running While Startup, Recycle Bin"), std::string::npos);
}

TEST(UserData, TheSignedInUsersOwnProcessOrOneThatCannotTellRemovesEverything) {
    struct Accounts {
        std::optional<AccountId> process;
        std::optional<AccountId> session;
    };
    const Accounts rows[] = {
        {AccountId{"S-1-5-21-1-1001", "PC\\pat"}, AccountId{"S-1-5-21-1-1001", "pat"}},
        {kAdmin, std::nullopt},
        {std::nullopt, AccountId{"S-1-5-21-1-1001", "PC\\pat"}},
    };
    for (const auto& row : rows) {
        World world(kTwoRunKeys);
        world.machine.account.process = row.process;
        world.machine.account.session = row.session;
        TForm1& form = world.start();
        form.invoke("RunningWhileStartup1Click");
        form.invoke("OBsp3Click");
        EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, kRunKey, "Mine"));
        EXPECT_TRUE(world.host.messages.empty());
    }
}

// The scheduled task starts the program elevated without a prompt, from any program of the user,
// which can also have set the Shell Folders values, TEMP and the automatic scan and repair. The
// full scan at start and the automatic repair then act on nothing outside the user's profile
// (what lies there stays, nothing is moved into startbug), say why, and still repair the rest.
TEST(UserData, AnElevatedStartWithHostileFoldersAndAutoRepairActsOnNothingOutsideTheProfile) {
    World world(kUserFolders);
    world.load("Windows Registry Editor Version 5.00\n\n"
               "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
               "\"Startup\"=\"C:\\\\Windows\\\\System32\"\n"
               "\"Recent\"=\"C:\\\\Users\\\\admin\\\\Recent\"\n"
               "\"Cookies\"=\"C:\\\\Program Files\\\\Vendor\"\n"
               "\"History\"=\"D:\\\\History\"\n"
               "\"Cache\"=\"C:\\\\Users\\\\pat\\\\..\\\\admin\"\n"
               "\"Local Settings\"=-\n\n"
               "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"Mine\"=\"gone.exe\"\n\n"
               "[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n\"autorepair\"=\"1\"\n\"autobackup\"=\"0\"\n");
    world.machine.files.temporaryPath = u"C:\\Windows\\System32\\config";
    const std::vector<std::string> outside = {
        "C:\\Windows\\System32\\service.dll",       "C:\\Users\\admin\\Recent\\plan.lnk",
        "C:\\Program Files\\Vendor\\x@google.txt", "D:\\History\\History.IE5\\day\\x.url",
        "C:\\Users\\admin\\Content.IE5\\AB\\x.gif", "C:\\Windows\\System32\\config\\SAM.tmp",
    };
    for (const auto& path : outside) world.machine.files.addFile(path, 1);
    ASSERT_TRUE(world.machine.account.isElevated);

    TForm1& form = world.start();
    ASSERT_TRUE(form.autoscanOnStart);
    form.invoke("OBall2Click");  // the scan at start, which repairs by itself

    EXPECT_EQ(form.statustext.caption(), "Status : Repair Complete");
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, kRunKey, "Mine"));
    for (const auto& path : outside) EXPECT_TRUE(world.files().exists(path)) << path;
    EXPECT_FALSE(world.files().exists(std::string(kStartbug) + "\\service.dll"));
    for (const char* value : {"\"Startup\"", "\"Recent\"", "\"Cookies\"", "\"History\"", "\"Cache\"", "(TMP, TEMP)"}) {
        const bool said = std::any_of(world.host.messages.begin(), world.host.messages.end(),
                                      [&](const std::string& text) { return text.find(value) != std::string::npos; });
        EXPECT_TRUE(said) << value;
    }
}

// A removal takes its own look at each per-user file's folder: a finding whose folder the rule
// refuses at the moment of the fix (here the profile Windows records changed after the scan) stays
// listed and checked, its file stays, and the user is told once.
TEST(UserData, ARemovalLeavesAPerUserFileWhoseFolderTheProfileRuleRefusesNow) {
    World world(kUserFolders);
    world.touch(kCookies + "x@google.txt");
    TForm1& form = world.start();
    form.invoke("Cookies1Click");
    ASSERT_EQ(form.category("co").list().size(), 1u);
    world.machine.account.profile = u"C:\\Users\\someone";
    form.invoke("OBco3Click");
    EXPECT_TRUE(world.files().exists(kCookies + "x@google.txt"));
    ASSERT_EQ(form.category("co").list().size(), 1u);
    EXPECT_TRUE(form.category("co").list().at(0).checked);
    EXPECT_EQ(form.lastRemoval.left, 1);
    ASSERT_EQ(world.host.messages.size(), 1u);
    EXPECT_NE(world.host.messages[0].find("C:\\Users\\pat\\Cookies"), std::string::npos) << world.host.messages[0];
    EXPECT_NE(world.host.messages[0].find("not inside the profile folder C:\\Users\\someone"), std::string::npos);
}

}  // namespace
}  // namespace keltora::testing
