#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "support/World.h"

namespace keltora::testing {
namespace {

// Every control a page may show, with the panel it sits in (shown only when its panel is).
std::map<const Control*, const Control*> PageControls(TForm1& form) {
    std::map<const Control*, const Control*> all;
    for (const auto& c : form.categories()) {
        all[&c->list()] = nullptr;
        if (c->note) all[c->note.get()] = nullptr;
        for (const auto& button : c->buttons)
            if (button) all[button.get()] = nullptr;
    }
    for (const auto& tab : kIgnoredTabs) all[&form.ignoreList(tab.code)->view()] = nullptr;
    for (const auto& button : form.obremoveignored) all[button.get()] = nullptr;
    for (auto* group : {&form.OBall, &form.OBhis})
        for (auto& button : *group) all[&button] = nullptr;
    for (auto& button : form.OBbackups) all[&button] = nullptr;
    for (auto& button : form.OBundos) all[&button] = nullptr;
    for (const Control* c : std::initializer_list<const Control*>{
             &form.lvall, &form.LVbackup, &form.LVundo, &form.pcignored, &form.Panelabout, &form.OBoptimize, &form.OBhomepage,
             &form.OBproupdate, &form.paneloption, &form.Oberror, &form.obpriv, &form.OBhelp})
        all[c] = nullptr;
    all[&form.Panel3] = &form.Panelabout;
    all[&form.Panel4] = &form.Panelabout;
    return all;
}

std::set<std::string> Shown(TForm1& form) {
    std::set<std::string> shown;
    for (const auto& [control, panel] : PageControls(form))
        if (control->visible() && (panel == nullptr || panel->visible())) shown.insert(control->name());
    return shown;
}

struct Page {
    const char* handler;
    std::set<std::string> shown;
};

const Page kPages[] = {
    {"OBscanpcClick", {"lvall", "OBall1", "OBall2", "OBall3", "OBall4", "OBhelp", "Oberror", "obpriv"}},
    {"CB1Categories1Items0Click", {"LVbackup", "OBbackup", "OBrestorebackup", "OBdeletebackup"}},
    {"CB1Categories1Items1Click", {"Panelabout", "Panel3", "OBhomepage", "OBproupdate"}},
    {"CB1Categories1Items2Click", {"paneloption"}},
    {"CB1Categories1Items3Click", {"Panelabout", "Panel4", "OBoptimize", "OBhelp"}},
    {"CB1Categories1Items4Click", {"pcignored", "lvignoredsp", "obremoveignoredsp"}},
    {"CB1Categories1Items5Click", {"LVundo", "OBundo", "OBdeleteundo"}},
    {"tsignoredaxShow", {"pcignored", "lvignoredax", "obremoveignoredax"}},
    {"tsignoreddaShow", {"pcignored", "lvignoredda"}},
    {"RunningWhileStartup1Click", {"lvsp", "OBsp1", "OBsp2", "OBsp3", "OBsp4", "OBhelp", "Oberror"}},
    {"History1Click", {"lvhis", "OBhis1", "OBhis2", "OBhis3", "OBhis4", "OBhelp", "Oberror"}},
    {"Clipboard1Click", {"lvclip", "labelclip", "OBhis1", "OBhis2", "OBhis3", "OBhis4", "OBhelp", "Oberror"}},
};

TEST(Navigation, StartShowsTheSummaryPageAlone) {
    World world;
    // "Back to Main Menu" adds the two count boxes with their totals; the start shows neither.
    EXPECT_EQ(Shown(world.start()), (std::set<std::string>{"OBall1", "OBall2", "OBall3", "OBall4", "OBhelp", "lvall"}));
}

TEST(Navigation, EachPageShowsExactlyItsControlsWhicheverPageWasBefore) {
    World world;
    TForm1& form = world.start();
    for (const auto& before : kPages) {
        for (const auto& page : kPages) {
            ASSERT_TRUE(form.invoke(before.handler)) << before.handler;
            ASSERT_TRUE(form.invoke(page.handler)) << page.handler;
            EXPECT_EQ(Shown(form), page.shown) << before.handler << " then " << page.handler;
        }
    }
}

TEST(Navigation, HiddenLVHidesEveryPageControlAndStopsTheBlink) {
    World world(
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
        "CurrentVersion\\Run]\n\"One\"=\"1\"\n");
    TForm1& form = world.start();
    for (const auto& page : kPages) {
        form.invoke(page.handler);
        form.HiddenLV();
        EXPECT_EQ(Shown(form), std::set<std::string>{}) << page.handler;
        EXPECT_FALSE(form.Timer1.running());
    }
}

TEST(Navigation, TheDesignShowsTheOptionBoxesButPlaySoundsInsideTheirPanel) {
    World world;
    TForm1& form = world.start();
    form.invoke("CB1Categories1Items2Click");
    for (const auto& [setting, box] : form.options)
        EXPECT_EQ(box->visible(), setting != Setting::PlaySounds) << box->name();
    EXPECT_EQ(form.GroupBox1.caption(), "Advanced Settings");
    EXPECT_EQ(form.GroupBox2.caption(), "Display Settings");
}

TEST(Navigation, OptimizerAndAboutShareThePanelWithOnePartEach) {
    World world;
    TForm1& form = world.start();
    form.invoke("CB1Categories1Items3Click");
    EXPECT_TRUE(form.Panel4.visible());
    EXPECT_FALSE(form.Panel3.visible());
    form.invoke("CB1Categories1Items1Click");
    EXPECT_TRUE(form.Panel3.visible());
    EXPECT_FALSE(form.Panel4.visible());
}

TEST(Navigation, SharedSelectAllShowsTheFlagOfTheCategoryOnThePage) {
    World world;
    TForm1& form = world.start();
    Button& shared = form.OBhis[0];
    form.invoke("History1Click");
    EXPECT_EQ(shared.caption(), "Unselect All");
    form.invoke("OBhis1Click");
    EXPECT_EQ(shared.caption(), "Select All");
    form.invoke("emporaryFiles1Click");
    EXPECT_EQ(shared.caption(), "Unselect All");
    form.invoke("History1Click");
    EXPECT_EQ(shared.caption(), "Select All");
    // Fonts and help files (page types above 10) leave the caption as it stands.
    form.invoke("H1Click");
    EXPECT_EQ(shared.caption(), "Select All");
    EXPECT_EQ(form.pageType, 12);
}

TEST(Navigation, BackupPageStartsFromAnEmptyList) {
    World world;
    TForm1& form = world.start();
    form.LVbackup.add(Finding{"Backup_1-2-3_4-5-2026.reg", {"", ""}, false});
    form.invoke("CB1Categories1Items0Click");
    EXPECT_TRUE(form.LVbackup.empty());
    EXPECT_EQ(form.LVbackup.columns().size(), 3u);
}

TEST(Navigation, DetailItemsIsEnabledOnceARowOfTheSummaryIsSelected) {
    World world;
    TForm1& form = world.start();
    EXPECT_FALSE(form.OBall[2].enabled());
    form.invoke("lvallSelectItem");
    EXPECT_FALSE(form.OBall[2].enabled());
    form.lvall.select(3);
    form.invoke("lvallSelectItem");
    EXPECT_TRUE(form.OBall[2].enabled());
}

// "Detail Items" opens the page of the selected summary row; F5 is the Refresh of the page shown.
TEST(Navigation, DetailItemsOpensTheRowsPageAndF5RefreshesThePageShown) {
    World world;
    TForm1& form = world.start();
    const std::pair<int, const char*> rows[] = {{0, "LVbackup"}, {1, "lvsp"}, {12, "lvdel"}, {20, "LV2"}};
    for (const auto& [row, list] : rows) {
        form.invoke("OBscanpcClick");
        form.lvall.select(row);
        ASSERT_TRUE(form.invoke("OBall3Click"));
        EXPECT_EQ(Shown(form).count(list), 1u) << row;
    }
    const std::pair<const char*, const char*> pages[] = {{"RunningWhileStartup1Click", "OBsp4Click"},
                                                         {"ProgressiveClick", "OBda4Click"},
                                                         {"History1Click", "OBhis4Click"},
                                                         {"CB1Categories1Items1Click", ""},
                                                         {"OBscanpcClick", ""}};
    for (const auto& [page, refresh] : pages) {
        form.invoke(page);
        EXPECT_EQ(form.refreshHandler(), refresh) << page;
    }
}

TEST(Menus, ScanMenusListTheirCategoriesAndEveryEntryVisitsItsPage) {
    World world;
    TForm1& form = world.start();
    const auto registry = ScanMenu(Menu::Registry), privacy = ScanMenu(Menu::Privacy);
    ASSERT_EQ(registry.size(), 10u);
    // The ten classic entries, a separator, the seven places of today's Windows.
    ASSERT_EQ(privacy.size(), 18u);
    EXPECT_EQ(registry.front().caption, "Running While Startup");
    EXPECT_EQ(registry.back().caption, "Progressive Analysis");
    EXPECT_EQ(privacy.front().caption, "Recent Documents");
    EXPECT_EQ(privacy[10].caption, "");
    EXPECT_EQ(privacy[11].caption, "User Temporary Files");
    EXPECT_EQ(privacy.back().caption, "Explorer History");
    for (const auto* menu : {&registry, &privacy}) {
        for (const auto& entry : *menu) {
            if (entry.caption.empty()) continue;
            const CategoryInfo* info = nullptr;
            for (const auto& row : kCategories)
                if (row.menuHandler == entry.handler) info = &row;
            ASSERT_NE(info, nullptr) << entry.handler;
            EXPECT_EQ(info->menu == Menu::Registry, menu == &registry) << entry.caption;
            ASSERT_TRUE(form.invoke(entry.handler)) << entry.handler;
            EXPECT_TRUE(form.category(info->code).list().visible()) << entry.handler;
            EXPECT_EQ(form.statustext.caption(), info->scannedText) << entry.handler;
        }
    }
}

TEST(Menus, SideBarScanButtonsOpenTheirMenus) {
    World world;
    TForm1& form = world.start();
    EXPECT_TRUE(form.invoke(kSideBar[0].handler));
    EXPECT_TRUE(form.invoke(kSideBar[1].handler));
    EXPECT_EQ(world.host.menus, (std::vector<std::string>{"pabregistry", "pabprivacy"}));
}

TEST(Menus, OpenBesideTheSideBarAndFurtherRightWhenMaximized) {
    EXPECT_EQ(ScanMenuPosition(Menu::Registry, 100, 50, false), (ScreenPoint{755, 264}));
    EXPECT_EQ(ScanMenuPosition(Menu::Privacy, 100, 50, false), (ScreenPoint{755, 292}));
    EXPECT_EQ(ScanMenuPosition(Menu::Registry, -4, -4, true), (ScreenPoint{871, 210}));
    EXPECT_EQ(ScanMenuPosition(Menu::Privacy, 0, 0, true).x - ScanMenuPosition(Menu::Privacy, 0, 0, false).x, 220);
}

TEST(Menus, EveryNamedEntryOfTheWindowHasAHandler) {
    World world;
    TForm1& form = world.start();
    for (const auto& item : kSideBar) EXPECT_TRUE(form.invoke(item.handler)) << item.handler;
    for (const auto& entry : TrayMenu())
        if (!entry.handler.empty()) {
            EXPECT_TRUE(form.invoke(entry.handler)) << entry.handler;
        }
    for (const auto& tab : kIgnoredTabs) EXPECT_TRUE(form.invoke(IgnoredTabHandler(tab))) << tab.caption;
    EXPECT_EQ(form.pcignored.tabs(), IgnoredTabCaptions());
}

TEST(Tray, ShowWindowRestoresAndExitEndsTheLoopWithoutTheCloseStep) {
    World world;
    TForm1& form = world.start();
    form.invoke("ShowWindow1Click");
    EXPECT_EQ(world.host.restores, 1);
    form.invoke("Exit1Click");
    EXPECT_TRUE(world.host.quitted);
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, "Software\\KeltoraPro", "autoscan"));
}

TEST(Links, OpenTheSitePagesAndHelpMinimizes) {
    World world;
    TForm1& form = world.start();
    form.invoke("OBhomepageClick");
    form.invoke("OBproupdateClick");
    EXPECT_TRUE(world.host.minimized.empty());
    form.invoke("OBhelpClick");
    const auto& opened = world.machine.shell.opened();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0].target, Site::home());
    EXPECT_EQ(opened[1].target, Site::home() + "update.html");
    EXPECT_EQ(opened[2].target, Site::home() + "online_help.html");
    for (const auto& call : opened) EXPECT_EQ(call.parameters, "");
    EXPECT_EQ(world.host.minimized, std::vector<bool>{false});
}

TEST(Minimize, HidesTheWindowOnlyWhenTrayAndHidingTheTaskbarAreBothAskedFor) {
    struct Row {
        const char* tray;
        const char* taskbar;
        bool hides;
    };
    for (const Row& row :
         {Row{nullptr, nullptr, true}, Row{"1", "1", true}, Row{"0", "1", false}, Row{"1", "0", false}}) {
        std::string reg = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n";
        if (row.tray) reg += "\"trayminimize\"=\"" + std::string(row.tray) + "\"\n";
        if (row.taskbar) reg += "\"taskbarstatus\"=\"" + std::string(row.taskbar) + "\"\n";
        World world(reg);
        world.start().invoke("Minimize1Click");
        EXPECT_EQ(world.host.minimized, std::vector<bool>{row.hides});
    }
}

TEST(IgnoredItems, RemoveIgnoredKeyReleasesEverythingTheCategorySetAside) {
    World world(
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
        "CurrentVersion\\Run]\n\"One\"=\"1\"\n\"Two\"=\"2\"\n");
    TForm1& form = world.start();
    form.invoke("RunningWhileStartup1Click");
    for (int i = 0; i < 2; ++i) {
        form.category("sp").list().select(0);
        form.invoke("OBsp2Click");
    }
    form.invoke("CB1Categories1Items4Click");
    EXPECT_EQ(Captions(form.ignoreList("sp")->view()), (std::vector<std::string>{"One", "Two"}));
    EXPECT_TRUE(form.invoke("obremoveignoredspClick"));
    EXPECT_TRUE(form.ignoreList("sp")->view().empty());
    EXPECT_EQ(world.files().readFile(std::string(kIgnoreFolder) + "\\Datasp.dat"), std::string());
    form.invoke("OBsp4Click");
    EXPECT_EQ(Captions(form.category("sp").list()), (std::vector<std::string>{"One", "Two"}));
    // Released for good: a restart does not bring them back.
    EXPECT_TRUE(world.start().ignoreList("sp")->view().empty());
}

TEST(IgnoredItems, EachReleaseButtonEmptiesOnlyItsOwnList) {
    World world;
    TForm1& form = world.start();
    for (auto code : kIgnoreCodes) form.ignoreList(code)->add(world.files(), kIgnoreFolder, {"x", "y"});
    form.invoke("obremoveignoredfeClick");
    for (auto code : kIgnoreCodes) EXPECT_EQ(form.ignoreList(code)->view().empty(), code == "fe") << code;
}

}  // namespace
}  // namespace keltora::testing
