#include <gtest/gtest.h>

#include "support/FakeRegistryEditor.h"

namespace keltora::testing {
namespace {

const std::string kClutter = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\"
                             "Windows\\CurrentVersion\\Run]\n\"One\"=\"1\"\n\"Two\"=\"2\"\n";

std::vector<std::string> Counts(const TForm1& form) {
    std::vector<std::string> counts;
    for (const auto& row : form.lvall.findings()) counts.push_back(row.subItem(1));
    return counts;
}

struct SummaryWorld : World {
    explicit SummaryWorld(const std::string& settings = "") : World(kClutter) {
        if (!settings.empty()) load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n" + settings);
        InstallRegistryEditor(*this, behaviour);
    }
    EditorBehaviour behaviour = EditorBehaviour::Works;
};

TEST(FullScan, ScansCheckedRowsInOrderAndShowsBothTotals) {
    SummaryWorld world("\"autorepair\"=\"0\"\n");
    world.machine.shell.recycle("old.txt", 100);
    TForm1& form = world.start();
    std::vector<std::string> statuses;
    form.statustext.onChange = [&](Control& c) { statuses.push_back(c.caption()); };
    form.invoke("OBall2Click");

    EXPECT_EQ(form.lvall.at(1).subItem(1), "2");
    EXPECT_EQ(form.lvall.at(0).subItem(1), "");
    EXPECT_EQ(form.lvall.at(20).subItem(1), "0");  // unchecked at start
    EXPECT_TRUE(form.category("sp").scannedOnce);
    EXPECT_FALSE(form.category("da").scannedOnce);
    ASSERT_GE(statuses.size(), 3u);
    EXPECT_EQ(statuses[0], "Status : Scanning Startup Programs");
    EXPECT_EQ(statuses[1], "Status : Scanned Startup Programs");
    EXPECT_EQ(statuses.back(), "Status : Complete Scan Your PC");
    const Totals sums = form.totals();
    EXPECT_EQ(form.Oberror.caption(), std::to_string(sums.errors) + " Errors found");
    EXPECT_TRUE(form.Timer1.running());
    EXPECT_EQ(form.obpriv.caption(), sums.privacy > 0 ? std::to_string(sums.privacy) + " Privacy Threats found"
                                                      : "No Privacy Threats found");
    EXPECT_EQ(world.read(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"), "1");
}

TEST(FullScan, UncheckedRowsKeepZeroAndAnEmptyScanSaysNoErrors) {
    World world;
    TForm1& form = world.start();
    for (std::size_t row = 0; row < form.lvall.size(); ++row) form.lvall.setChecked(row, row == 1);
    form.invoke("OBall2Click");
    const auto counts = Counts(form);
    EXPECT_EQ(std::count(counts.begin() + 1, counts.end(), "0"), 27);
    EXPECT_EQ(form.Oberror.caption(), "No Errors found");
    EXPECT_EQ(form.obpriv.caption(), "No Privacy Threats found");
    EXPECT_FALSE(form.Timer1.running());
    EXPECT_FALSE(form.Timer3.running());
}

TEST(Repair, AutoRepairBacksUpFirstThenRemovesWhatStaysChecked) {
    SummaryWorld world("\"autorepair\"=\"1\"\n\"autobackup\"=\"1\"\n");
    TForm1& form = world.start();
    ASSERT_TRUE(form.lvall.at(0).checked);
    form.invoke("OBall2Click");
    EXPECT_EQ(form.statustext.caption(), "Status : Repair Complete");
    ASSERT_EQ(form.LVbackup.size(), 1u);
    EXPECT_EQ(world.machine.shell.runs().front().parameters.rfind("/e ", 0), 0u);
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"));
    EXPECT_EQ(form.lvall.at(1).subItem(1), "0");
    EXPECT_FALSE(world.host.quitted);
}

TEST(Repair, AFailedBackupRemovesNothing) {
    SummaryWorld world("\"autorepair\"=\"1\"\n\"autobackup\"=\"1\"\n\"autoclose\"=\"1\"\n");
    world.behaviour = EditorBehaviour::WritesNothing;
    TForm1& form = world.start();
    form.invoke("OBall2Click");
    EXPECT_TRUE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"));
    EXPECT_EQ(form.lvall.at(1).subItem(1), "2");
    EXPECT_TRUE(form.LVbackup.empty());
    EXPECT_EQ(world.host.messages.size(), 1u);
    EXPECT_FALSE(world.host.quitted);
}

TEST(Repair, DoesNothingWithoutCountsAndKeepsRowsWithoutRemoval) {
    SummaryWorld world("\"autoclose\"=\"1\"\n");
    TForm1& form = world.start();
    form.lvall.setChecked(0, true);
    form.invoke("OBall4Click");
    EXPECT_TRUE(world.machine.shell.runs().empty());
    EXPECT_EQ(form.statustext.caption(), "Status : Ready");
    EXPECT_FALSE(world.host.quitted);

    form.setSummaryCount(7, 4);  // virtual components: no removal action
    form.lvall.setChecked(0, false);
    form.invoke("OBall4Click");
    EXPECT_EQ(form.lvall.at(7).subItem(1), "4");
    EXPECT_EQ(form.Oberror.caption(), "4 Errors Found");
    EXPECT_TRUE(world.host.quitted);
}

TEST(Repair, UncheckedFindingsStayAndAreCounted) {
    SummaryWorld world("\"autorepair\"=\"0\"\n");
    TForm1& form = world.start();
    form.invoke("OBall2Click");
    form.category("sp").list().setChecked(0, false);
    form.invoke("OBall4Click");
    EXPECT_EQ(Captions(form.category("sp").list()), std::vector<std::string>{"One"});
    EXPECT_EQ(form.lvall.at(1).subItem(1), "1");
}

TEST(BackToMainMenu, RecomputesTotalsAndFollowsAutobackup) {
    SummaryWorld world("\"autobackup\"=\"0\"\n");
    TForm1& form = world.start();
    form.invoke("RunningWhileStartup1Click");
    form.lvall.setChecked(0, true);
    form.invoke("OBscanpcClick");
    EXPECT_FALSE(form.lvall.at(0).checked);
    EXPECT_EQ(form.Oberror.caption(), "2 Errors Found");
    EXPECT_TRUE(form.lvall.visible());
}

TEST(SummarySelectAll, TogglesEveryRowIncludingTheBackup) {
    World world;
    TForm1& form = world.start();
    form.invoke("OBall1Click");
    for (const auto& row : form.lvall.findings()) EXPECT_FALSE(row.checked);
    EXPECT_EQ(form.OBall[0].caption(), "Select All");
    form.invoke("OBall1Click");
    for (const auto& row : form.lvall.findings()) EXPECT_TRUE(row.checked);
}

}  // namespace
}  // namespace keltora::testing
