// Where every control of the main window sits and which model it shows. Coordinates are client
// pixels of the parent: the window for the frame parts, the page area Panel10 for the pages.
#include <windows.h>

#include <commctrl.h>

#include "app/Product.h"
#include "app/win32/ButtonView.h"
#include "app/win32/CheckBoxView.h"
#include "app/win32/CountBoxView.h"
#include "app/win32/GroupBoxView.h"
#include "app/win32/LabelView.h"
#include "app/win32/ListViewView.h"
#include "app/win32/MainWindow.h"
#include "app/win32/PanelView.h"
#include "app/win32/ProgressView.h"
#include "app/win32/TabView.h"
#include "app/win32/resource.h"

namespace keltora::win32 {

namespace {

constexpr Bounds kBanner{0, 0, 803, 81};
constexpr Bounds kStrip{0, 81, 803, 32};
constexpr Bounds kPageArea{8, 137, 590, 384};
constexpr Bounds kListArea{0, 0, 590, 340};
constexpr COLORREF kStripColour = RGB(222, 231, 244);
constexpr COLORREF kSideBarColour = RGB(232, 238, 247);
constexpr COLORREF kPanelColour = RGB(250, 251, 253);

// The row of page buttons below the lists, right of the help button: four places, left to
// right, each wide enough for the longest caption it shows ("Remove Checked Items" in the
// third, "Remove Ignored Key" in the fourth) in a font wider than Tahoma.
Bounds PageButton(int place) {
    constexpr int kLeft[] = {38, 156, 286, 452}, kWidth[] = {112, 124, 160, 136};
    return {kLeft[place], 348, kWidth[place], 28};
}
// A category's list, with room below it for the line of its note when it has one.
constexpr Bounds kListWithNote{0, 0, 590, 318};
constexpr Bounds kNote{4, 322, 582, 18};

}  // namespace

void MainWindow::buildControls() {
    // Every place below is the design's, at 96 DPI; the control gets it at the look's DPI.
    auto args = [this](HWND parent, Bounds design, HFONT font = nullptr) {
        const Bounds bounds{look_.px(design.x), look_.px(design.y), look_.px(design.width), look_.px(design.height)};
        return CreateArgs{parent, bounds, nextId(), font ? font : font_, look_};
    };
    auto button = [&](Control& model, HWND parent, Bounds bounds) {
        auto& view = keep(std::make_unique<ButtonView>(model, ButtonView::Args{args(parent, bounds)}), model.name());
        view.onClick = [this, name = model.name()] { run(name + "Click"); };
        return &view;
    };
    auto label = [&](Control& model, HWND parent, Bounds bounds, HFONT font = nullptr) {
        keep(std::make_unique<LabelView>(model, LabelView::Args{args(parent, bounds, font)}), model.name());
    };
    auto text = [&](const std::string& caption, HWND parent, Bounds bounds, HFONT font = nullptr) {
        keep(std::make_unique<LabelView>(caption, LabelView::Args{args(parent, bounds, font)}), "text:" + caption);
    };
    auto list = [&](ResultList& model, HWND parent, Bounds bounds, bool grid = false, bool summary = false) {
        auto& view =
            keep(std::make_unique<ListViewView>(model, ListViewView::Args{args(parent, bounds), grid, summary}),
                 model.name());
        view.onSelect = [this, name = model.name()] { run(name + "SelectItem"); };
        return view.hwnd();
    };
    auto panel = [&](Control& model, HWND parent, Bounds bounds, PanelView::Args extra) {
        extra.base = args(parent, bounds);
        return keep(std::make_unique<PanelView>(model, std::move(extra)), model.name()).hwnd();
    };
    // The frame's panels have no model: they are always there.
    auto fixedPanel = [&](const char* name, HWND parent, Bounds bounds, PanelView::Args extra) {
        extra.base = args(parent, bounds);
        return keep(std::make_unique<PanelView>(std::move(extra)), name).hwnd();
    };

    // The frame: banner, status strip, the line above the pages, the page area.
    PanelView::Args banner;
    banner.bitmap = IDB_BANNER;
    banner.texts = {{std::string(kProductTitle), {96, 12, 700, 50}, -30, true, RGB(255, 255, 255)},
                    {"Registry and privacy care for your PC", {98, 50, 700, 72}, -14, false, RGB(214, 228, 250)}};
    fixedPanel("banner", hwnd_, kBanner, banner);
    PanelView::Args strip;
    strip.bitmap = IDB_STRIP;
    strip.background = kStripColour;
    HWND stripWindow = fixedPanel("strip", hwnd_, kStrip, strip);
    label(form_.statustext, stripWindow, {44, 8, 500, 16}, boldFont_);
    form_.statustext.show();
    keep(std::make_unique<ProgressView>(form_.PB, args(stripWindow, {560, 7, 230, 18})), "PB");
    form_.PB.show();
    label(form_.labeldeep, hwnd_, {8, 117, 590, 16}, boldFont_);
    PanelView::Args pageArea;
    pageArea.background = GetSysColor(COLOR_BTNFACE);
    HWND page = fixedPanel("Panel10", hwnd_, kPageArea, pageArea);

    // The summary page and the category pages.
    list(form_.lvall, page, kListArea, false, true);
    for (std::size_t i = 0; i < form_.OBall.size(); ++i) button(form_.OBall[i], page, PageButton(static_cast<int>(i)));
    for (const auto& owned : form_.categories()) {
        list(owned->list(), page, owned->note ? kListWithNote : kListArea);
        if (owned->note) label(*owned->note, page, kNote);
        for (std::size_t i = 0; i < owned->buttons.size(); ++i)
            if (owned->buttons[i]) button(*owned->buttons[i], page, PageButton(static_cast<int>(i)));
    }
    for (std::size_t i = 0; i < form_.OBhis.size(); ++i) button(form_.OBhis[i], page, PageButton(static_cast<int>(i)));
    auto& help = keep(
        std::make_unique<ButtonView>(form_.OBhelp, ButtonView::Args{args(page, {4, 348, 28, 28}), "Help"}), "OBhelp");
    help.onClick = [this] { run("OBhelpClick"); };

    // The backup page.
    list(form_.LVbackup, page, kListArea, true);
    for (std::size_t i = 0; i < form_.OBbackups.size(); ++i)
        button(form_.OBbackups[i], page, {40 + static_cast<int>(i) * 175, 348, 165, 28});

    // The undo page, laid out as the backup page.
    list(form_.LVundo, page, kListArea, true);
    for (std::size_t i = 0; i < form_.OBundos.size(); ++i)
        button(form_.OBundos[i], page, {40 + static_cast<int>(i) * 175, 348, 165, 28});

    // The about panel: the about part with the version, and the optimizer part.
    PanelView::Args about;
    about.background = kPanelColour;
    HWND aboutWindow = panel(form_.Panelabout, page, kListArea, about);
    PanelView::Args picture;
    picture.bitmap = IDB_ABOUT;
    picture.transparentTexts = true;
    // The line under the title may take two lines in a wider font.
    picture.texts = {{std::string(kProductTitle), {200, 90, 580, 124}, -24, true, RGB(20, 52, 110)},
                     {"Registry cleaner, privacy cleaner, registry backups and optimizer",
                      {200, 130, 576, 166},
                      -12,
                      false,
                      RGB(60, 72, 90),
                      DT_LEFT | DT_WORDBREAK},
                     {"Version", {200, 184, 270, 204}, -14, false, RGB(60, 72, 90)}};
    HWND pictureWindow = panel(form_.Panel3, aboutWindow, kListArea, picture);
    text(std::string(kVersion), pictureWindow, {272, 185, 80, 20}, largeFont_);
    PanelView::Args optimizer;
    optimizer.background = kPanelColour;
    HWND optimizerWindow = panel(form_.Panel4, aboutWindow, kListArea, optimizer);
    label(form_.Hivetext, optimizerWindow, {20, 16, 550, 18}, boldFont_);
    text("Optimizing Hive:", optimizerWindow, {20, 56, 220, 16});
    keep(std::make_unique<ProgressView>(form_.PBHive, args(optimizerWindow, {20, 74, 550, 18})), "PBHive");
    text("Organizing Registry Keys: ", optimizerWindow, {20, 110, 220, 16});
    keep(std::make_unique<ProgressView>(form_.PBNodes, args(optimizerWindow, {20, 128, 550, 18})), "PBNodes");
    text("Node:", optimizerWindow, {20, 170, 100, 16});
    label(form_.labelnode, optimizerWindow, {124, 170, 446, 16});
    text("Node Values:", optimizerWindow, {20, 196, 100, 16});
    label(form_.labelvalues, optimizerWindow, {124, 196, 446, 16});
    button(form_.OBoptimize, page, PageButton(1));
    button(form_.OBhomepage, page, {150, 348, 140, 28});
    button(form_.OBproupdate, page, {300, 348, 140, 28});

    // The settings page: two groups of option boxes.
    PanelView::Args options;
    options.background = kPanelColour;
    HWND optionWindow = panel(form_.paneloption, page, kListArea, options);
    struct Place {
        Setting setting;
        Bounds bounds;
    };
    const Place places[] = {
        {Setting::AlwaysOnTop, {36, 32, 300, 20}},    {Setting::LoadWithWindows, {36, 56, 300, 20}},
        {Setting::AutoRepair, {36, 80, 300, 20}},     {Setting::AutoClose, {36, 104, 300, 20}},
        {Setting::AutoBackup, {36, 128, 300, 20}},    {Setting::PlaySounds, {36, 152, 300, 20}},
        {Setting::TaskbarStatus, {36, 224, 300, 20}}, {Setting::ShowSplash, {36, 248, 300, 20}},
        {Setting::TrayMinimize, {36, 272, 300, 20}},
    };
    keep(std::make_unique<GroupBoxView>(form_.GroupBox1, args(optionWindow, {16, 8, 558, 178})), "GroupBox1");
    keep(std::make_unique<GroupBoxView>(form_.GroupBox2, args(optionWindow, {16, 200, 558, 102})), "GroupBox2");
    for (const auto& place : places) {
        CheckBox& model = *form_.options.at(place.setting);
        auto& view = keep(std::make_unique<CheckBoxView>(model, args(optionWindow, place.bounds)), model.name());
        view.onClick = [this, name = model.name()] { run(name + "Click"); };
    }

    // The ignored-items page: the tabs, each tab's list laid over them, the release buttons.
    auto& tabs = keep(std::make_unique<TabView>(form_.pcignored, args(page, kListArea)), "pcignored");
    tabs.onTabChange = [this](int index) {
        if (index >= 0 && index < static_cast<int>(kIgnoredTabs.size())) run(IgnoredTabHandler(kIgnoredTabs[index]));
    };
    // The lists fill the tabs' display area, below however many rows of tabs the font needs.
    RECT area;
    GetClientRect(tabs.hwnd(), &area);
    SendMessageA(tabs.hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (const auto& tab : kIgnoredTabs) {
        if (IgnoreList* ignored = form_.ignoreList(tab.code)) {
            HWND view = list(ignored->view(), page, kListArea);
            SetWindowPos(view, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOACTIVATE);
        }
        if (Button* release = form_.removeIgnoredButton(tab.code)) button(*release, page, PageButton(3));
    }

    // The right column: back to the summary, the side bar, the two count boxes.
    button(form_.OBscanpc, hwnd_, {620, 137, 170, 30});
    // Each group of the side bar: its caption, then its buttons stacked below it.
    PanelView::Args bar;
    bar.background = kSideBarColour;
    std::vector<int> tops;
    int y = 0;
    for (std::size_t i = 0; i < kSideBar.size(); ++i) {
        if (i == 0 || kSideBar[i].group != kSideBar[i - 1].group) {
            y += i == 0 ? 0 : 8;
            bar.texts.push_back({std::string(kSideBar[i].group), {10, y, 170, y + 18}, -12, true, RGB(20, 52, 110)});
            y += 18;
        }
        tops.push_back(y);
        y += 28;
    }
    HWND barWindow = fixedPanel("CB1", hwnd_, {612, 175, 183, y + 4}, bar);
    for (std::size_t i = 0; i < kSideBar.size(); ++i) {
        Button& model = *form_.sideBar[i];
        auto& view =
            keep(std::make_unique<ButtonView>(model, ButtonView::Args{args(barWindow, {16, tops[i], 150, 28})}),
                 model.name());
        view.onClick = [this, handler = std::string(kSideBar[i].handler)] { run(handler); };
    }
    // The count boxes below the side bar, as wide as it, with room for their text on two lines.
    const int countTop = 175 + y + 4 + 11;
    keep(std::make_unique<CountBoxView>(form_.Oberror, args(hwnd_, {612, countTop, 183, 40}, countFont_)), "Oberror");
    keep(std::make_unique<CountBoxView>(form_.obpriv, args(hwnd_, {612, countTop + 46, 183, 40}, countFont_)),
         "obpriv");
}

// The tab order is the order of the windows: the right column (back to the summary, the side
// bar) first, then in the page area the page's buttons, its lists, and the ignored-items tabs
// beneath the lists laid over them.
void MainWindow::orderTabStops() {
    HWND page = window("Panel10");
    for (HWND column : {window("CB1"), window("OBscanpc")})
        SetWindowPos(column, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::vector<HWND> lists;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassNameA(child, name, sizeof(name));
        if (lstrcmpiA(name, WC_LISTVIEWA) == 0) lists.push_back(child);
    }
    for (HWND list : lists) SetWindowPos(list, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(window("pcignored"), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace keltora::win32
