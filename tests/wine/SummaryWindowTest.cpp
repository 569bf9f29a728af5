// The summary, backup and optimizer pages of the real window under Wine: their buttons pressed
// as a user presses them, against the prefix's registry and its registry editor.
#include <gtest/gtest.h>

#include "wine/WindowFixture.h"

namespace keltora::wine {
namespace {

constexpr const char* kProbe = "KeltoraWindowRepairProbe";

class SummaryWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings({{"autoscan", "0"}, {"trayminimize", "0"}, {"autorepair", "0"}, {"autobackup", "0"}});
    }
    void TearDown() override {
        DeleteValue(kRunKey, kProbe);
        ResetSettings();
    }
};

TEST_F(SummaryWindowTest, ScanYourPcNowThenRepairThenBackToMainMenu) {
    WriteValue(kRunKey, kProbe, "C:\\nowhere\\probe.exe");
    WindowUnderTest w;
    for (std::size_t row = 0; row < w.form().lvall.size(); ++row) w.form().lvall.setChecked(row, row == 1);

    w.click("OBall2");
    EXPECT_EQ(w.text("statustext"), "Status : Complete Scan Your PC");
    const int found = std::stoi(w.cell("lvall", 1, 1));
    ASSERT_GE(found, 1);
    EXPECT_EQ(w.text("Oberror"), std::to_string(found) + " Errors found");
    EXPECT_EQ(w.text("obpriv"), "No Privacy Threats found");

    // Only the probe stays checked: the repair removes it and nothing else of the prefix.
    auto& list = w.form().category("sp").list();
    for (std::size_t row = 0; row < list.size(); ++row) list.setChecked(row, list.at(row).caption == kProbe);
    w.click("OBall4");
    EXPECT_EQ(w.text("statustext"), "Status : Repair Complete");
    EXPECT_EQ(ReadValue(kRunKey, kProbe), "");
    EXPECT_EQ(w.cell("lvall", 1, 1), std::to_string(found - 1));

    w.click("CB1Item4");  // another page first
    w.click("OBscanpc");
    EXPECT_TRUE(w.visible("lvall"));
    EXPECT_EQ(w.text("Oberror"), found - 1 > 0 ? std::to_string(found - 1) + " Errors Found" : "No Errors Found");
}

// The repair's journal on the Undo Repairs page: "Undo Selected" brings the probe back and marks
// the journal, "Delete Selected" removes it.
TEST_F(SummaryWindowTest, RepairThenUndoSelectedOnTheUndoPage) {
    WriteValue(kRunKey, kProbe, "C:\\nowhere\\probe.exe");
    WindowUnderTest w;
    for (std::size_t row = 0; row < w.form().lvall.size(); ++row) w.form().lvall.setChecked(row, row == 1);
    w.click("OBall2");
    auto& list = w.form().category("sp").list();
    for (std::size_t row = 0; row < list.size(); ++row) list.setChecked(row, list.at(row).caption == kProbe);
    w.click("OBall4");
    ASSERT_EQ(ReadValue(kRunKey, kProbe), "");

    w.clickSideBar(4);
    ASSERT_TRUE(w.visible("LVundo"));
    EXPECT_EQ(w.text("OBundo"), "Undo Selected");
    EXPECT_EQ(w.text("OBdeleteundo"), "Delete Selected");
    ASSERT_GE(w.rows("LVundo"), 1);
    EXPECT_EQ(w.cell("LVundo", 0, 3), "Repair Errors Now !");
    EXPECT_EQ(w.cell("LVundo", 0, 4), "1");
    const std::string name = w.cell("LVundo", 0, 0);
    w.form().LVundo.select(0);
    w.click("OBundo");
    EXPECT_EQ(ReadValue(kRunKey, kProbe), "C:\\nowhere\\probe.exe");
    ASSERT_EQ(w.messages, std::vector<std::string>{"Undo of " + name + ": 1 change restored."});
    EXPECT_EQ(w.cell("LVundo", 0, 5), "Undone");

    w.form().LVundo.select(0);
    w.click("OBdeleteundo");
    for (int row = 0; row < w.rows("LVundo"); ++row) EXPECT_NE(w.cell("LVundo", row, 0), name);
}

// The console test of the backups restores for real; here the restore button is pressed
// without a selection.
TEST_F(SummaryWindowTest, CreateAndDeleteABackupThroughTheirButtons) {
    WindowUnderTest w;
    w.clickSideBar(3);
    const int before = w.rows("LVbackup");
    w.click("OBbackup");
    ASSERT_EQ(w.rows("LVbackup"), before + 1) << (w.messages.empty() ? "" : w.messages.front());
    const std::string name = w.cell("LVbackup", before, 0);
    EXPECT_EQ(name.rfind("Backup_", 0), 0u);

    w.click("OBrestorebackup");
    w.click("OBdeletebackup");
    EXPECT_EQ(w.messages, (std::vector<std::string>{"Please select backup file", "Please select backup file"}));

    w.form().LVbackup.select(before);
    w.click("OBdeletebackup");
    EXPECT_EQ(w.rows("LVbackup"), before);
    w.clickSideBar(3);
    for (int row = 0; row < w.rows("LVbackup"); ++row) EXPECT_NE(w.cell("LVbackup", row, 0), name);
}

TEST_F(SummaryWindowTest, OptimizeNowWalksBothHivesAndShowsTheFinalTexts) {
    WindowUnderTest w;
    w.clickSideBar(2);
    w.click("OBoptimize");
    EXPECT_EQ(w.text("Hivetext"), "Optimize Complete: Two Hives Completed");
    EXPECT_EQ(w.text("labelvalues"), "Scan Complete...");
    EXPECT_EQ(w.text("statustext"), "  Status : Optimizing System Complete");
}

}  // namespace
}  // namespace keltora::wine
