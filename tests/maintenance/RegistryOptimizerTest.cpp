#include <gtest/gtest.h>

#include "platform/memory/RegFile.h"
#include "support/World.h"

namespace keltora::testing {
namespace {

const std::string kTrees = R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\A]
"single"="1"

[HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\A\B\C\D]
"deep"="4"

[HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\A\B\C\D\E]
"tooDeep"="5"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\M\N\O\P]
"notRead"="x"
)";

TEST(Optimizer, WalksBothHivesToFourLevelsAndChangesNothing) {
    World world(kTrees);
    TForm1& form = world.start();
    const std::string before = ExportRegFile(world.registry());
    std::vector<std::string> nodes, values, hives;
    form.labelnode.onChange = [&](Control& c) { nodes.push_back(c.caption()); };
    form.labelvalues.onChange = [&](Control& c) { values.push_back(c.caption()); };
    form.Hivetext.onChange = [&](Control& c) { hives.push_back(c.caption()); };
    std::vector<std::string> pumpedAt;  // the window handles its messages along the walk
    world.host.onPump = [&] { pumpedAt.push_back(form.labelnode.caption()); };
    form.invoke("OBoptimizeClick");

    EXPECT_EQ(ExportRegFile(world.registry()), before);
    EXPECT_EQ(hives, (std::vector<std::string>{"Current Hives: 1 of 2 - HKEY_CURRENT_USER",
                                               "Current Hives: 2 of 2 - HKEY_LOCAL_MACHINE",
                                               "Optimize Complete: Two Hives Completed"}));
    EXPECT_NE(std::find(nodes.begin(), nodes.end(), "HKCU\\SOFTWARE\\Microsoft\\Windows\\A\\B\\C\\D"), nodes.end());
    EXPECT_EQ(std::find(nodes.begin(), nodes.end(), "HKCU\\SOFTWARE\\Microsoft\\Windows\\A\\B\\C\\D\\E"), nodes.end());
    EXPECT_NE(std::find(nodes.begin(), nodes.end(), "HKLM\\SOFTWARE\\Microsoft\\Windows\\M\\N\\O\\P"), nodes.end());
    // Full depth reads the fourth level's values in the user's hive; the machine's is not opened there.
    EXPECT_NE(std::find(values.begin(), values.end(), "deep"), values.end());
    EXPECT_EQ(std::find(values.begin(), values.end(), "tooDeep"), values.end());
    EXPECT_EQ(std::find(values.begin(), values.end(), "notRead"), values.end());
    EXPECT_EQ(form.labelvalues.caption(), "Scan Complete...");
    EXPECT_EQ(form.labelnode.caption(), "");
    EXPECT_EQ(form.PBHive.position(), 10);
    EXPECT_EQ(form.PBNodes.maximum(), 10);
    EXPECT_FALSE(form.labeldeep.visible());
    EXPECT_EQ(form.statustext.caption(), "  Status : Optimizing System Complete");
    EXPECT_NE(std::find(pumpedAt.begin(), pumpedAt.end(), "HKCU\\SOFTWARE\\Microsoft\\Windows\\A\\B"),
              pumpedAt.end());
}

TEST(Optimizer, OnVistaOnlyTheUsersHiveIsWalked) {
    World world(kTrees + "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\n"
                         "\"ProductName\"=\"Windows Vista (TM) Ultimate\"\n");
    TForm1& form = world.start();
    std::vector<std::string> hives;
    form.Hivetext.onChange = [&](Control& c) { hives.push_back(c.caption()); };
    int singleValueMax = -1;
    form.PBNodes.onChange = [&](Control& c) {
        if (form.labelvalues.caption() == "single") singleValueMax = static_cast<ProgressBar&>(c).maximum();
    };
    form.optimizeExecute();
    EXPECT_EQ(hives, (std::vector<std::string>{"Current Hives: 1 of 2 - HKEY_CURRENT_USER",
                                               "Optimize Complete: Two Hives Completed"}));
    EXPECT_EQ(singleValueMax, 0);
}

}  // namespace
}  // namespace keltora::testing
