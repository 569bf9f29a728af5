#include <gtest/gtest.h>

#include <utility>

#include "support/World.h"

namespace keltora::testing {
namespace {

const std::string kTwoRunValues = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\"
                                  "Windows\\CurrentVersion\\Run]\n\"One\"=\"1\"\n\"Two\"=\"2\"\n";

TEST(PageVisit, ScansOnceShowsCountAndWritesSummaryRow) {
    World world(kTwoRunValues);
    TForm1& form = world.start();
    form.RunningWhileStartup1Click();
    EXPECT_EQ(form.statustext.caption(), "Status : Scanned Startup Programs");
    EXPECT_EQ(form.Oberror.caption(), "2 Errors Found");
    EXPECT_EQ(form.Oberror.colour(), Colour::Red);
    EXPECT_TRUE(form.Oberror.visible());
    EXPECT_TRUE(form.Timer1.running());
    EXPECT_EQ(form.lvall.at(1).subItem(1), "2");
    EXPECT_TRUE(form.category("sp").list().visible());
    for (auto& button : form.category("sp").buttons) EXPECT_TRUE(button->visible()) << button->name();
    EXPECT_FALSE(form.lvall.visible());
    EXPECT_GE(world.host.pumps, 1);

    // A second visit shows the same findings without scanning.
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
               "CurrentVersion\\Run]\n\"Three\"=\"3\"\n");
    const auto paused = world.machine.clock.totalMs();
    form.RunningWhileStartup1Click();
    EXPECT_EQ(world.machine.clock.totalMs(), paused);
    EXPECT_EQ(form.category("sp").list().size(), 2u);
    form.OBsp4Click();
    EXPECT_EQ(form.category("sp").list().size(), 3u);
    EXPECT_EQ(form.lvall.at(1).subItem(1), "3");
}

TEST(PageVisit, NoFindingsAndOneFinding) {
    World empty;
    TForm1& form = empty.start();
    form.RunningWhileStartup1Click();
    EXPECT_EQ(form.Oberror.caption(), "No Errors Found");
    EXPECT_EQ(form.Oberror.colour(), Colour::Black);
    EXPECT_FALSE(form.Timer1.running());
    EXPECT_EQ(form.lvall.at(1).subItem(1), "0");

    World one("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
              "CurrentVersion\\Run]\n\"Only\"=\"1\"\n");
    one.start().RunningWhileStartup1Click();
    EXPECT_EQ(one.form->Oberror.caption(), "1 Errors Found");
}

TEST(PageVisit, TimerBlinksBetweenRedAndSilver) {
    World world(kTwoRunValues);
    TForm1& form = world.start();
    form.RunningWhileStartup1Click();
    form.Timer1Timer();
    EXPECT_EQ(form.Oberror.colour(), Colour::Silver);
    form.Timer1Timer();
    EXPECT_EQ(form.Oberror.colour(), Colour::Red);
}

TEST(SelectAll, TogglesCheckBoxesAndSurvivesRefresh) {
    World world(kTwoRunValues);
    TForm1& form = world.start();
    form.RunningWhileStartup1Click();
    Button& button = *form.category("sp").buttons[0];
    EXPECT_EQ(button.caption(), "Unselect All");
    form.OBsp1Click();
    EXPECT_EQ(button.caption(), "Select All");
    for (const auto& f : form.category("sp").list().findings()) EXPECT_FALSE(f.checked);
    form.OBsp4Click();
    for (const auto& f : form.category("sp").list().findings()) EXPECT_TRUE(f.checked);
    EXPECT_EQ(button.caption(), "Select All");
    form.OBsp1Click();
    EXPECT_EQ(button.caption(), "Unselect All");
}

TEST(RemoveCheckedItems, ReportsWhatIsLeftInCountBoxAndRow1) {
    World world(kTwoRunValues);
    TForm1& form = world.start();
    form.RunningWhileStartup1Click();
    form.category("sp").list().setChecked(0, false);
    form.OBsp3Click();
    EXPECT_EQ(form.statustext.caption(), "Status : Repaired Startup Programs");
    EXPECT_EQ(form.Oberror.caption(), "1 Errors Found");
    EXPECT_EQ(form.lvall.at(1).subItem(1), "1");
    form.category("sp").list().setChecked(0, true);
    form.OBsp3Click();
    EXPECT_EQ(form.Oberror.caption(), "No Errors Found");
    EXPECT_FALSE(form.Timer1.running());
}

TEST(HiddenLV, HidesEveryPageAndStopsTheBlink) {
    World world(kTwoRunValues);
    TForm1& form = world.start();
    form.RunningWhileStartup1Click();
    form.HiddenLV();
    for (const auto& c : form.categories()) {
        EXPECT_FALSE(c->list().visible()) << c->code();
        for (const auto& button : c->buttons) {
            if (button) {
                EXPECT_FALSE(button->visible()) << button->name();
            }
        }
    }
    EXPECT_FALSE(form.Oberror.visible());
    EXPECT_FALSE(form.obpriv.visible());
    EXPECT_FALSE(form.OBhelp.visible());
    EXPECT_FALSE(form.lvall.visible());
    EXPECT_FALSE(form.Timer1.running());
}

// The window draws nothing while a scan sleeps: every sleep is announced first, so what waits
// to be drawn (the newest findings) is on screen during it. A scan without pauses announces none.
TEST(PageVisit, EverySleepOfAScanIsAnnouncedToTheHostFirst) {
    for (const double pace : {1.0, 0.0}) {
        World world(kTwoRunValues);
        TForm1& form = world.start(pace);
        world.machine.clock.reset();
        world.host.pausesAhead = 0;
        std::vector<std::pair<int, std::size_t>> seen;  // announcements and rows at each sleep
        world.machine.clock.onSleep = [&](std::uint32_t) {
            seen.emplace_back(world.host.pausesAhead, form.category("sp").list().size());
        };
        form.RunningWhileStartup1Click();
        ASSERT_EQ(seen.size(), world.machine.clock.pauses()) << pace;
        for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].first, static_cast<int>(i + 1)) << pace;
        if (pace == 0.0) EXPECT_EQ(world.host.pausesAhead, 0);
        else EXPECT_GT(world.host.pausesAhead, 2);
    }
}

// While a long command lets the window handle messages, what cannot conflict with it runs (a
// click is never swallowed), and the controls of what would conflict show disabled until it
// ends. A page shown meanwhile keeps its place: the command's count box does not cover it.
TEST(Commands, WhatCannotConflictRunsAndTheRestShowsDisabledUntilTheEnd) {
    struct Row {
        const char* running;
        std::vector<std::pair<const char*, bool>> probes;  // handler, whether it may run meanwhile
    };
    const Row rows[] = {
        {"RunningWhileStartup1Click",
         {{"OBsp4Click", false}, {"OBall2Click", false}, {"OBbackupClick", false}, {"History1Click", false},
          {"CBontopClick", true}, {"OBscanpcClick", true}, {"CB1Categories1Items0Click", true},
          {"Minimize1Click", true}, {"CB1Categories1Items1Click", true}}},
        {"OBdeletebackupClick",
         {{"OBsp4Click", false}, {"CB1Categories1Items0Click", false}, {"CB1Categories1Items1Click", true}}},
    };
    for (const Row& row : rows) {
        World world(kTwoRunValues);
        TForm1& form = world.start();
        world.touch("C:\\Program Files\\Keltora Professional\\Backups\\Backup_1-2-3_4-5-2026.reg");
        form.invoke("CB1Categories1Items0Click");
        form.LVbackup.select(0);
        const Button& refresh = *form.category("sp").buttons[3];
        std::vector<std::string> wrong;
        bool heldDuring = false, probed = false;
        world.host.onPump = [&] {
            if (std::exchange(probed, true)) return;
            heldDuring = !form.OBall[1].enabled() && !refresh.enabled() && form.sideBar[5]->enabled();  // About
            for (const auto& [handler, mayRun] : row.probes)
                if (form.mayRun(handler) != mayRun || form.invoke(handler) != mayRun) wrong.emplace_back(handler);
        };
        ASSERT_TRUE(form.invoke(row.running)) << row.running;
        EXPECT_TRUE(heldDuring) << row.running;
        EXPECT_EQ(wrong, std::vector<std::string>{}) << row.running;
        EXPECT_TRUE(form.Panelabout.visible()) << row.running;
        EXPECT_FALSE(form.Oberror.visible()) << row.running;
        EXPECT_TRUE(form.OBall[1].enabled() && refresh.enabled()) << row.running;
        EXPECT_FALSE(form.OBall[2].enabled()) << "Detail Items waits for a selected row";
        EXPECT_TRUE(form.OBhis[1].enabled()) << "a button without a command is never held";
        EXPECT_FALSE(form.busy());
    }
    EXPECT_FALSE(World().start().invoke("NoSuchHandler"));
}

}  // namespace
}  // namespace keltora::testing
