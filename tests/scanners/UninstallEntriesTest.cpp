#include <gtest/gtest.h>

#include "RegistryTestSupport.h"

namespace keltora::testing {
namespace {

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kKey = std::string("[HKEY_LOCAL_MACHINE\\") + kUninstall;
const std::string kLocation = std::string("HKLM\\") + kUninstall + "\\";

std::string Entry(const std::string& name, const std::string& values = "") {
    return kKey + "\\" + name + "]\n" + values + "\n";
}

std::vector<std::string> Scan(World& world) {
    TForm1& form = world.start();
    EXPECT_TRUE(form.invoke("UninstallExecute"));
    return Captions(form.category("ue").list());
}

TEST(UninstallEntries, ReportsSubkeysWithoutAnyRegistrationValue) {
    struct Row {
        const char* values;
        bool reported;
    };
    const Row rows[] = {
        {"", true},
        {"@=\"only the default\"\n", true},
        {"\"Publisher\"=\"Acme\"\n\"DisplayVersion\"=\"1.0\"\n", true},
        {"\"DisplayName\"=\"Acme\"\n", false},
        {"\"InstallSource\"=\"C:\\\\setup\"\n", false},
        {"\"UninstallString\"=\"\"\n", false},                 // an empty value counts
        {"\"UninstallString\"=dword:00000001\n", false},       // of any type
        {"\"displayname\"=\"names have no case\"\n", false},  // the registry finds it whatever its case
    };
    for (const auto& row : rows) {
        World world(RegText(Entry("App", row.values)));
        EXPECT_EQ(Scan(world).size(), row.reported ? 1u : 0u) << row.values;
    }
}

TEST(UninstallEntries, FindingColumnsAndOrder) {
    World world(RegText(Entry("Zeta") + Entry("Alpha") + Entry("Listed", "\"DisplayName\"=\"x\"\n") + Entry("Mid")));
    TForm1& form = world.start();
    form.invoke("UninstallExecute");
    const auto& list = form.category("ue").list();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"Alpha", "Mid", "Zeta"}));
    EXPECT_EQ(list.at(0).subItems,
              (std::vector<std::string>{"Missing Uninstall Key(Removable)", "Alpha", kLocation + "Alpha"}));
    EXPECT_TRUE(list.at(0).checked);
    EXPECT_EQ(list.columns(), (std::vector<Column>{{"Error Items", 180}, {"Repair Report", 210},
                                                   {"Detail Info", 210}, {"Registry Location", 220}}));
    EXPECT_EQ(form.lastCount, 3);
}

TEST(UninstallEntries, IgnoreListHidesOnlyTheExactName) {
    World world(RegText(Entry("Tool") + Entry("ToolKit") + Entry("Other")));
    world.touch(std::string(kIgnoreFolder) + "\\Dataue.dat", "Tool=x\r\nother=y\r\n");
    EXPECT_EQ(Scan(world), (std::vector<std::string>{"Other", "ToolKit"}));
}

TEST(UninstallEntries, RemovalDeletesCheckedSubtreesAndKeepsTheRestInOrder) {
    World world(RegText(Entry("A") + Entry("A\\Deep\\Deeper", "\"DisplayName\"=\"inner\"\n") + Entry("B") +
                        Entry("C") + Entry("Kept", "\"DisplayName\"=\"kept\"\n")));
    TForm1& form = world.start();
    form.invoke("UninstallExecute");
    auto& list = form.category("ue").list();
    ASSERT_EQ(Captions(list), (std::vector<std::string>{"A", "B", "C"}));
    list.setChecked(1, false);
    form.invoke("removeueExecute");
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"B"}));
    EXPECT_FALSE(list.at(0).checked);
    EXPECT_EQ(form.lastCount, 1);
    auto& reg = world.machine.registry;
    EXPECT_FALSE(reg.exists(kHKeyLocalMachine, std::string(kUninstall) + "\\A"));
    EXPECT_FALSE(reg.exists(kHKeyLocalMachine, std::string(kUninstall) + "\\C"));
    EXPECT_TRUE(reg.exists(kHKeyLocalMachine, std::string(kUninstall) + "\\B"));
    EXPECT_TRUE(reg.exists(kHKeyLocalMachine, std::string(kUninstall) + "\\Kept"));
    EXPECT_EQ(reg.openHandles(), 0u);
    // A removal paces 0 to 30 and 30 to 100.
    const auto before = world.machine.clock.totalMs();
    form.invoke("removeueExecute");
    EXPECT_EQ(world.machine.clock.totalMs() - before, 102u * 30u);
}

TEST(UninstallEntries, FaultRows) {
    World world(RegText(Entry("Locked") + Entry("Hidden") + Entry("Gone") + Entry("Fine")));
    auto& reg = world.machine.registry;
    reg.deny(kHKeyLocalMachine, std::string(kUninstall) + "\\Hidden");
    TForm1& form = world.start();
    form.invoke("UninstallExecute");
    auto& list = form.category("ue").list();
    // A subkey that cannot be opened is not reported.
    ASSERT_EQ(Captions(list), (std::vector<std::string>{"Fine", "Gone", "Locked"}));
    // One that cannot be deleted stays, checked and counted; one deleted meanwhile just leaves.
    reg.deny(kHKeyLocalMachine, std::string(kUninstall) + "\\Locked", kDeleteAccess);
    reg.removeKey(kHKeyLocalMachine, std::string(kUninstall) + "\\Gone");
    form.invoke("removeueExecute");
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"Locked"}));
    EXPECT_TRUE(list.at(0).checked);
    EXPECT_EQ(form.lastCount, 1);

    World closed(RegText(Entry("App")));
    closed.machine.registry.deny(kHKeyLocalMachine, kUninstall);
    EXPECT_TRUE(Scan(closed).empty());
}

TEST(UninstallEntries, NamesAreDataOnly) {
    const std::string longName(255, 'n');
    const std::vector<std::string> names = {"..", "%TEMP%", "Say \"hi\"", "a=b", longName};
    std::string text;
    for (const auto& name : names) text += Entry(name);
    World world(RegText(text + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Sibling]\n"));
    TForm1& form = world.start();
    form.invoke("UninstallExecute");
    auto& list = form.category("ue").list();
    ASSERT_EQ(list.size(), names.size());
    for (const auto& finding : list.findings()) EXPECT_EQ(finding.subItem(3), kLocation + finding.caption);
    form.invoke("removeueExecute");
    EXPECT_TRUE(list.empty());
    auto& reg = world.machine.registry;
    EXPECT_TRUE(reg.subKeyNames(kHKeyLocalMachine, kUninstall).empty());
    EXPECT_TRUE(reg.exists(kHKeyLocalMachine, kUninstall));
    EXPECT_TRUE(reg.exists(kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Sibling"));
}

}  // namespace
}  // namespace keltora::testing
