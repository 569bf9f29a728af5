#include <gtest/gtest.h>

#include "orchestration/UserData.h"
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

}  // namespace
}  // namespace keltora::testing
