// The real main window under Wine: made in this process, driven by messages as a user's clicks
// would send them, and read back through its child windows.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "app/Navigation.h"
#include "platform/win32/SystemLibrary.h"
#include "scan/CategoryTable.h"
#include "scan/ViewOrder.h"
#include "wine/TextRoom.h"
#include "wine/WindowFixture.h"

namespace keltora::wine {
namespace {

constexpr const char* kProbe = "KeltoraWineProbe";

class MainWindowTest : public ::testing::Test {
protected:
    // No tray icon unless a test asks for one: Wine without a notification area takes seconds
    // to add and remove it.
    void SetUp() override { ResetSettings({{"autoscan", "0"}, {"trayminimize", "0"}}); }
    void TearDown() override {
        DeleteValue(kRunKey, kProbe);
        ResetSettings();
    }
};

std::string MenuText(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof(text), MF_BYPOSITION);
    return text;
}

TEST_F(MainWindowTest, FrameHasItsCaptionSizeBorderAndPlaces) {
    WindowUnderTest w;
    EXPECT_EQ(win32::WindowText(w.hwnd()), "Keltora Professional ver 3.55 ");
    RECT client;
    GetClientRect(w.hwnd(), &client);
    EXPECT_EQ(client.right, 803);
    EXPECT_EQ(client.bottom, 576);
    const auto style = GetWindowLongPtrA(w.hwnd(), GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_CAPTION);
    RECT frame;
    GetWindowRect(w.hwnd(), &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    auto size = [&](const char* name) {
        RECT r;
        GetWindowRect(w.control(name), &r);
        MapWindowPoints(nullptr, w.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    EXPECT_EQ(size("banner").bottom - size("banner").top, 81);
    EXPECT_EQ(size("strip").top, 81);
    EXPECT_EQ(size("strip").bottom - size("strip").top, 32);
    const RECT page = size("Panel10");
    EXPECT_EQ(page.right - page.left, 590);
    EXPECT_EQ(page.bottom - page.top, 384);
    for (std::size_t i = 0; i < kSideBar.size(); ++i) {
        const RECT button = size(("CB1Item" + std::to_string(i)).c_str());
        EXPECT_EQ(button.right - button.left, 150);
        EXPECT_EQ(button.bottom - button.top, 28);
        EXPECT_EQ(w.text("CB1Item" + std::to_string(i)), kSideBar[i].caption);
        EXPECT_GT(button.left, page.right);
    }
    EXPECT_EQ(w.text("statustext"), "Status : Ready");
    EXPECT_TRUE(w.visible("PB"));
    EXPECT_EQ(w.text("OBscanpc"), "Back to Main Menu");

    // The common controls, loaded at run time from the system folder, are the side-by-side
    // version 6 that the manifest names, as they were when imported (Wine's copy of it reports
    // version 5 from DllGetVersion, so its folder is what tells).
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(SystemModule(L"comctl32.dll"), path, MAX_PATH), 0u);
    std::wstring folder(path);
    std::transform(folder.begin(), folder.end(), folder.begin(), [](wchar_t c) { return towlower(c); });
    EXPECT_NE(folder.find(L"\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
              std::wstring::npos)
        << folder;
}

TEST_F(MainWindowTest, SummaryPageShowsTheSummaryListAndItsButtons) {
    WindowUnderTest w;
    EXPECT_TRUE(w.visible("lvall"));
    ASSERT_EQ(w.rows("lvall"), 28);
    EXPECT_EQ(w.cell("lvall", 0, 0), "Create Registry Backup");
    EXPECT_EQ(w.cell("lvall", 8, 0), "Type URLs");
    EXPECT_EQ(w.cell("lvall", 10, 1), "0");
    EXPECT_EQ(w.cell("lvall", 10, 2), "Privacy Threats");
    EXPECT_FALSE(w.checked("lvall", 0));
    EXPECT_TRUE(w.checked("lvall", 1));
    EXPECT_FALSE(w.checked("lvall", 20));
    EXPECT_EQ(w.cell("lvall", 27, 0), "Explorer History");
    EXPECT_EQ(w.cell("lvall", 27, 2), "Windows 10 and 11");
    const char* captions[] = {"Unselect All", "Scan Your PC Now", "Detail Items", "Repair Errors Now !"};
    for (int i = 0; i < 4; ++i) {
        const std::string name = "OBall" + std::to_string(i + 1);
        EXPECT_TRUE(w.visible(name)) << name;
        EXPECT_EQ(w.text(name), captions[i]);
    }
    EXPECT_FALSE(IsWindowEnabled(w.control("OBall3")));
    EXPECT_FALSE(w.visible("lvsp"));
    EXPECT_FALSE(w.visible("paneloption"));

    // The user selects a row: "Detail Items" becomes usable.
    LVITEMA select{};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(w.control("lvall"), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&select));
    w.pump();
    EXPECT_TRUE(IsWindowEnabled(w.control("OBall3")));
}

TEST_F(MainWindowTest, ScanMenusOpenBesideTheSideBarWithTheirEntries) {
    WindowUnderTest w;
    RECT frame;
    GetWindowRect(w.hwnd(), &frame);
    w.clickSideBar(0);
    w.clickSideBar(1);
    ASSERT_EQ(w.opened.size(), 2u);
    EXPECT_EQ(w.opened[0].first, w.window().menus().menu("pabregistry"));
    EXPECT_EQ(w.opened[0].second.x, frame.left + 655);
    EXPECT_EQ(w.opened[0].second.y, frame.top + 214);
    EXPECT_EQ(w.opened[1].second.y, frame.top + 242);
    HMENU registry = w.opened[0].first, privacy = w.opened[1].first;
    ASSERT_EQ(GetMenuItemCount(registry), 10);
    EXPECT_EQ(MenuText(registry, 0), "Running While Startup");
    EXPECT_EQ(MenuText(registry, 9), "Progressive Analysis");
    // The classic ten, a separator, the seven places of today's Windows.
    ASSERT_EQ(GetMenuItemCount(privacy), 18);
    EXPECT_EQ(MenuText(privacy, 0), "Recent Documents");
    EXPECT_EQ(GetMenuState(privacy, 10, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(MenuText(privacy, 11), "User Temporary Files");

    ShowWindow(w.hwnd(), SW_MAXIMIZE);
    w.pump(100);
    ASSERT_TRUE(IsZoomed(w.hwnd()));
    GetWindowRect(w.hwnd(), &frame);
    w.clickSideBar(0);
    ASSERT_EQ(w.opened.size(), 3u);
    EXPECT_EQ(w.opened[2].second.x, frame.left + 875);
}

TEST_F(MainWindowTest, RunningWhileStartupScansAndShowsItsPageCountAndSummaryRow) {
    WriteValue(kRunKey, kProbe, "C:\\nowhere\\probe.exe");
    WindowUnderTest w;
    w.pick("RunningWhileStartup1Click");
    ASSERT_TRUE(w.visible("lvsp"));
    for (const char* name : {"OBsp1", "OBsp2", "OBsp3", "OBsp4", "OBhelp", "Oberror"})
        EXPECT_TRUE(w.visible(name)) << name;
    EXPECT_FALSE(w.visible("lvall"));
    const int rows = w.rows("lvsp");
    ASSERT_GE(rows, 1);
    int probe = -1;
    for (int row = 0; row < rows; ++row)
        if (w.cell("lvsp", row, 0) == kProbe) probe = row;
    ASSERT_GE(probe, 0);
    EXPECT_TRUE(w.checked("lvsp", probe));
    EXPECT_EQ(w.text("Oberror"), std::to_string(rows) + " Errors Found");
    EXPECT_EQ(w.text("statustext"), "Status : Scanned Startup Programs");
    EXPECT_EQ(w.cell("lvall", 1, 1), std::to_string(rows));
    EXPECT_EQ(w.form().category("sp").list().size(), static_cast<std::size_t>(rows));

    // The user unchecks the finding with a click on its check box.
    RECT item{};
    item.left = LVIR_BOUNDS;
    SendMessageA(w.control("lvsp"), LVM_GETITEMRECT, static_cast<WPARAM>(probe), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 8, (item.top + item.bottom) / 2);
    SendMessageA(w.control("lvsp"), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(w.control("lvsp"), WM_LBUTTONUP, 0, at);
    w.pump();
    EXPECT_FALSE(w.checked("lvsp", probe));
    EXPECT_FALSE(w.form().category("sp").list().at(static_cast<std::size_t>(probe)).checked);

    // "Unselect All" reaches the real check boxes and its caption.
    w.click("OBsp1");
    EXPECT_EQ(w.text("OBsp1"), "Select All");
    w.click("OBsp1");
    for (int row = 0; row < rows; ++row) EXPECT_TRUE(w.checked("lvsp", row));

    // The count box blinks once a second.
    const Colour before = w.form().Oberror.colour();
    w.pump(1300);
    EXPECT_NE(w.form().Oberror.colour(), before);
}

// The list control holds no rows of its own and may tell its scroll bar late: whatever is
// asked of it from outside must still be the model's rows, checks and order.
TEST_F(MainWindowTest, ALongListShowsTheModelsRowsChecksAndRemovals) {
    WindowUnderTest w;
    w.pick("RunningWhileStartup1Click");
    ResultList& list = w.form().category("sp").list();
    list.clear();
    for (int i = 0; i < 3000; ++i) list.add(Finding{"row " + std::to_string(i), {"Remove", "C:\\x" + std::to_string(i)}, true});
    ASSERT_EQ(w.rows("lvsp"), 3000);
    EXPECT_EQ(w.cell("lvsp", 2999, 0), "row 2999");
    EXPECT_EQ(w.cell("lvsp", 2999, 2), "C:\\x2999");
    EXPECT_TRUE(w.checked("lvsp", 2999));

    list.setChecked(5, false);
    EXPECT_FALSE(w.checked("lvsp", 5));
    // The space bar checks the focused row again, as a click on its box would.
    list.select(5);
    w.pump();
    SendMessageA(w.control("lvsp"), WM_KEYDOWN, VK_SPACE, 0);
    w.pump();
    EXPECT_TRUE(list.at(5).checked);
    EXPECT_TRUE(w.checked("lvsp", 5));

    list.remove(0);
    list.remove(0);
    EXPECT_EQ(w.rows("lvsp"), 2998);
    EXPECT_EQ(w.cell("lvsp", 0, 0), "row 2");
    EXPECT_EQ(list.selected(), 3);
    EXPECT_EQ(SendMessageA(w.control("lvsp"), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);

    list.setAllChecked(false);
    EXPECT_FALSE(w.checked("lvsp", 0));
    EXPECT_FALSE(w.checked("lvsp", 2997));
}

// Every privacy page and the pages they share with the three empty registry categories: the
// menu entry scans, the page shows its list with its buttons, the status and the count.
TEST_F(MainWindowTest, EveryPrivacyAndSharedPageShowsItsListButtonsAndCount) {
    WindowUnderTest w(0.0);
    for (const char* code : {"co", "his", "temp", "tempie", "bin", "clip", "dump", "chk", "log", "url", "run", "vd",
                             "font", "help"}) {
        const CategoryInfo& info = *FindCategory(code);
        w.pick(std::string(info.menuHandler));
        const std::string list(info.listName);
        ASSERT_TRUE(w.visible(list)) << code;
        EXPECT_EQ(w.text("statustext"), info.scannedText) << code;
        Category& category = w.form().category(code);
        EXPECT_EQ(w.rows(list), static_cast<int>(category.list().size())) << code;
        const std::size_t count = category.pageCount();
        EXPECT_EQ(w.text("Oberror"), count ? std::to_string(count) + " Errors Found" : "No Errors Found") << code;
        const bool shared = info.page == PageButtons::Shared;
        for (const char* button : {"OBhis1", "OBhis3", "OBhis4"}) EXPECT_EQ(w.visible(button), shared) << code;
        EXPECT_EQ(w.visible("labelclip"), std::string(code) == "clip") << code;
        if (!shared) {
            EXPECT_TRUE(w.visible(std::string(info.buttons[0]))) << code;
        }
        for (const char* other : {"lvhis", "lvco", "lvvd", "lvlog"}) {
            if (other != list) {
                EXPECT_FALSE(w.visible(other)) << code << " " << other;
            }
        }
    }
    // The shared page's Refresh, clicked in the window, scans the category of the page shown.
    w.pick("History1Click");
    w.pick("LogFiles2Click");
    w.click("OBhis4");
    EXPECT_EQ(w.text("statustext"), FindCategory("log")->scannedText);
}

// What the test sees, from a timer of its own, while a long command lets the window handle its
// messages.
struct DuringCommand {
    WindowUnderTest* window = nullptr;
    bool seen = false;
    bool scanEnabled = true;
    bool aboutEnabled = false;
    bool menuEntryGrayed = false;
};
DuringCommand gDuring;

void CALLBACK LookDuringCommand(HWND, UINT, UINT_PTR, DWORD) {
    WindowUnderTest& w = *gDuring.window;
    if (!w.form().busy() || gDuring.seen) return;
    gDuring.seen = true;
    gDuring.scanEnabled = IsWindowEnabled(w.control("OBall2")) != FALSE;
    gDuring.aboutEnabled = IsWindowEnabled(w.control("CB1Item5")) != FALSE;
    HMENU registry = w.window().menus().menu("pabregistry");
    SendMessageA(w.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(registry), 0);
    gDuring.menuEntryGrayed = (GetMenuState(registry, 0, MF_BYPOSITION) & MF_GRAYED) != 0;
}

// A click is never swallowed: " About" clicked during a paced full scan shows the About page,
// and the controls of what would conflict with the scan show disabled until it ends.
TEST_F(MainWindowTest, AboutClickedDuringAFullScanShowsItsPageWhileConflictingControlsAreDisabled) {
    WindowUnderTest w(0.05);
    gDuring = {&w};
    HWND about = w.control("CB1Item5");
    PostMessageA(GetParent(about), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(about), BN_CLICKED),
                 reinterpret_cast<LPARAM>(about));
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &LookDuringCommand);
    w.click("OBall2");
    KillTimer(nullptr, timer);
    EXPECT_EQ(w.text("statustext"), "Status : Complete Scan Your PC");
    EXPECT_TRUE(w.visible("Panelabout"));
    EXPECT_FALSE(w.visible("lvall"));
    ASSERT_TRUE(gDuring.seen);
    EXPECT_FALSE(gDuring.scanEnabled);
    EXPECT_TRUE(gDuring.aboutEnabled);
    EXPECT_TRUE(gDuring.menuEntryGrayed);
    // Off the screen now: back on it, it can be pressed again.
    w.form().showSummaryPage();
    EXPECT_TRUE(IsWindowEnabled(w.control("OBall2")));
    HMENU registry = w.window().menus().menu("pabregistry");
    SendMessageA(w.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(registry), 0);
    EXPECT_FALSE(GetMenuState(registry, 0, MF_BYPOSITION) & MF_GRAYED);
}

TEST_F(MainWindowTest, TheKeyboardMovesThroughThePageAndPressesWhatHasTheFocus) {
    WriteValue(kRunKey, kProbe, "C:\\nowhere\\probe.exe");
    WindowUnderTest w;
    EXPECT_EQ(w.focused(), "OBall2");
    // Round the summary page: its buttons (not the disabled "Detail Items"), its list, the
    // right column and the side bar.
    std::vector<std::string> order;
    for (int i = 0; i < 14; ++i) {
        w.key(VK_TAB);
        order.push_back(w.focused());
        EXPECT_FALSE(SendMessageA(GetFocus(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) << order.back();
        if (order.back() == "lvall") {
            EXPECT_GE(SendMessageA(GetFocus(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"OBall4", "OBhelp", "lvall", "OBscanpc", "CB1Item0", "CB1Item1",
                                               "CB1Item2", "CB1Item3", "CB1Item4", "CB1Item5", "CB1Item6", "CB1Item7",
                                               "OBall1", "OBall2"}));
    w.key(VK_TAB, true);
    w.key(VK_TAB, true);
    EXPECT_EQ(w.focused(), "CB1Item7");
    w.key(VK_TAB);
    ASSERT_EQ(w.focused(), "OBall1");
    w.key(VK_RETURN);
    EXPECT_EQ(w.text("OBall1"), "Select All");

    // Arrows move in the list.
    w.form().lvall.select(1);
    SetFocus(w.control("lvall"));
    w.key(VK_DOWN);
    EXPECT_EQ(w.form().lvall.selected(), 2);

    // F5 is the Refresh of the page shown.
    w.pick("RunningWhileStartup1Click");
    const int rows = w.rows("lvsp");
    WriteValue(kRunKey, std::string(kProbe) + " 2", "C:\\nowhere\\probe2.exe");
    w.key(VK_F5);
    EXPECT_EQ(w.rows("lvsp"), rows + 1);
    DeleteValue(kRunKey, std::string(kProbe) + " 2");

    // Esc closes a menu the keyboard opened.
    bool closedByEsc = false;
    w.window().trackMenu = [&](HMENU menu, POINT at) {
        const UINT_PTR safety = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
        PostMessageA(w.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
        closedByEsc = TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, w.hwnd(), nullptr) == 0;
        closedByEsc = closedByEsc && KillTimer(nullptr, safety);
    };
    SetFocus(w.control("CB1Item0"));
    w.key(VK_RETURN);
    EXPECT_TRUE(closedByEsc);

    // Alt+F4 closes the window as its frame does.
    PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
    w.pump(50);
    EXPECT_FALSE(IsWindow(w.hwnd()));
    EXPECT_EQ(ReadValue(kSettingsKey, "autoscan"), "0");
}

TEST_F(MainWindowTest, AClickOnAColumnHeaderSortsTheStartupListUpThenDown) {
    WriteValue(kRunKey, std::string(kProbe) + " b", "C:\\nowhere\\b.exe");
    WriteValue(kRunKey, std::string(kProbe) + " A", "C:\\nowhere\\a.exe");
    WindowUnderTest w;
    w.pick("RunningWhileStartup1Click");
    ASSERT_GE(w.rows("lvsp"), 2);
    HWND header = reinterpret_cast<HWND>(SendMessageA(w.control("lvsp"), LVM_GETHEADER, 0, 0));
    auto clickHeader = [&] {
        RECT place{};
        SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&place));
        const LPARAM at = MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
        w.pump();
    };
    auto format = [&] {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    };
    for (const int direction : {1, -1}) {
        clickHeader();
        EXPECT_EQ(format(), direction > 0 ? HDF_SORTUP : HDF_SORTDOWN);
        for (int row = 0; row + 1 < w.rows("lvsp"); ++row)
            EXPECT_LE(direction * CompareCells(w.cell("lvsp", row, 0), w.cell("lvsp", row + 1, 0)), 0) << row;
    }
    DeleteValue(kRunKey, std::string(kProbe) + " b");
    DeleteValue(kRunKey, std::string(kProbe) + " A");
}

// The count column stays bold red on a selected row, focused or not; high contrast draws with
// the system's colours.
TEST_F(MainWindowTest, TheSummaryCountIsRedInEveryRowAndHighContrastTakesTheSystemColours) {
    WindowUnderTest w;
    HWND list = w.control("lvall");
    LVITEMA select{};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&select));
    auto cell = [&](int row) {
        RECT place{};
        place.top = 1;
        place.left = LVIR_BOUNDS;
        SendMessageA(w.control("lvall"), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&place));
        return place;
    };
    constexpr COLORREF kRed = RGB(255, 0, 0);
    for (const bool focused : {true, false}) {
        SetFocus(focused ? list : w.control("OBall2"));
        w.pump(50);
        EXPECT_TRUE(w.shows("lvall", kRed, cell(3))) << focused;
        EXPECT_TRUE(w.shows("lvall", kRed, cell(5))) << focused;
    }
    EXPECT_TRUE(w.shows("strip", RGB(222, 231, 244)));

    w.window().lookOf = [](HWND window) {
        win32::Look look = win32::Look::Of(window);
        look.highContrast = true;
        return look;
    };
    SendMessageA(w.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
    w.pump(50);
    EXPECT_FALSE(w.shows("lvall", kRed));
    EXPECT_FALSE(w.shows("strip", RGB(222, 231, 244)));
    EXPECT_TRUE(w.shows("strip", GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(w.form().lvall.selected(), 3);
}

std::vector<std::string> TextsWithoutRoomIn(WindowUnderTest& w) {
    // The longest texts the count boxes show.
    w.form().Oberror.setCaption("9999 Errors Found");
    w.form().obpriv.setCaption("9999 Privacy Threats found");
    auto faults = TextsWithoutRoom(w.hwnd(), w.window().look().dpi, [&](HWND window) { return w.window().nameOf(window); },
                                   {"labeldeep", "labelnode", "labelvalues"});
    w.form().obpriv.setCaption("No Privacy Threats found");
    for (auto& fault : TextsWithoutRoom(w.hwnd(), w.window().look().dpi, [&](HWND window) { return w.window().nameOf(window); },
                                        {"labeldeep", "labelnode", "labelvalues"}))
        faults.push_back(fault);
    return faults;
}

// How many pixels a text leaves dark, drawn without smoothing in a font.
int InkOf(HFONT font) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), 600, -80, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, bitmap);
    RECT all{0, 0, 600, 80};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    LOGFONTA plain{};
    GetObjectA(font, sizeof(plain), &plain);
    plain.lfQuality = NONANTIALIASED_QUALITY;
    HFONT sharp = CreateFontIndirectA(&plain);
    SelectObject(dc, sharp);
    TextOutA(dc, 2, 2, "Status : 59 Errors found", 24);
    GdiFlush();
    const auto* pixel = static_cast<const DWORD*>(bits);
    const int ink = static_cast<int>(std::count_if(pixel, pixel + 600 * 80, [](DWORD p) { return (p & 0xFFFFFF) == 0; }));
    DeleteDC(dc);
    DeleteObject(bitmap);
    DeleteObject(sharp);
    return ink;
}

// The bold texts (the status line, the count boxes) draw bold, not as their regular face does:
// the prefix's Tahoma Bold is bold at the sizes of this DPI.
void ExpectBoldTextsDrawBold(WindowUnderTest& w) {
    for (const char* name : {"statustext", "Oberror"}) {
        const auto bold = reinterpret_cast<HFONT>(SendMessageA(w.control(name), WM_GETFONT, 0, 0));
        LOGFONTA regular{};
        GetObjectA(bold, sizeof(regular), &regular);
        ASSERT_EQ(regular.lfWeight, FW_BOLD) << name;
        regular.lfWeight = FW_NORMAL;
        HFONT plain = CreateFontIndirectA(&regular);
        EXPECT_GT(InkOf(bold) * 4, InkOf(plain) * 5) << name << " at " << w.window().look().dpi << " DPI, "
                                                     << regular.lfHeight << " px";
        DeleteObject(plain);
    }
}

TEST_F(MainWindowTest, EveryTextHasRoomToSpareInTahomaAndInASubstitutedFont) {
    WindowUnderTest w;
    HDC dc = GetDC(w.control("OBall1"));
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(w.control("OBall1"), WM_GETFONT, 0, 0)));
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof(face), face);
    ReleaseDC(w.control("OBall1"), dc);
    EXPECT_STREQ(face, "Tahoma") << "the prefix lacks the fonts the window asks for";
    EXPECT_EQ(TextsWithoutRoomIn(w), std::vector<std::string>{});
    ExpectBoldTextsDrawBold(w);
}

// At 144 DPI, in a process of its own: Wine takes the DPI from the prefix's LogPixels when a
// process starts.
TEST_F(MainWindowTest, At144DpiTheWindowIsScaledAndEveryTextFits) {
    constexpr const char* kChild = "KELTORA_HIGH_DPI";
    if (!std::getenv(kChild)) {
        HKEY desktop = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &desktop,
                        nullptr);
        const DWORD dpi = 144;
        RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        SetEnvironmentVariableA(kChild, "1");
        DWORD exitCode = 1;
        const std::string output =
            RunCapture("\"" + std::string(self) + "\" --gtest_filter=MainWindowTest.At144Dpi*", &exitCode);
        SetEnvironmentVariableA(kChild, nullptr);
        RegDeleteValueA(desktop, "LogPixels");
        RegCloseKey(desktop);
        EXPECT_EQ(exitCode, 0u) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
        return;
    }
    WindowUnderTest w;
    ASSERT_EQ(GetDpiForWindow(w.hwnd()), 144u);
    RECT client;
    GetClientRect(w.hwnd(), &client);
    EXPECT_EQ(client.right, 1204);
    EXPECT_EQ(client.bottom, 864);
    EXPECT_EQ(TextsWithoutRoomIn(w), std::vector<std::string>{});
    ExpectBoldTextsDrawBold(w);

    // Moved to a monitor of 96 DPI: the design's size again.
    RECT frame;
    GetWindowRect(w.hwnd(), &frame);
    RECT suggested{frame.left, frame.top, frame.left + 811, frame.top + 610};
    SendMessageA(w.hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    w.pump();
    RECT button;
    GetClientRect(w.control("CB1Item0"), &button);
    EXPECT_EQ(button.right, 150);
    EXPECT_EQ(button.bottom, 28);
    EXPECT_EQ(TextsWithoutRoomIn(w), std::vector<std::string>{});
}

TEST_F(MainWindowTest, SettingsPageShowsTwoGroupsAndTheBoxesWriteTheRegistry) {
    WriteValue(kSettingsKey, "trayminimize", "1");
    WindowUnderTest w;
    w.clickSideBar(6);
    ASSERT_TRUE(w.visible("paneloption"));
    EXPECT_EQ(w.text("GroupBox1"), "Advanced Settings");
    EXPECT_EQ(w.text("GroupBox2"), "Display Settings");
    for (const auto& info : kSettings) {
        if (info.checkBox.empty()) continue;
        EXPECT_EQ(w.visible(std::string(info.checkBox)), info.setting != Setting::PlaySounds) << info.checkBox;
        EXPECT_EQ(w.text(std::string(info.checkBox)), info.caption);
    }
    // Always on Top starts checked by design, but nothing made the window topmost.
    EXPECT_EQ(SendMessageA(w.control("CBontop"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(GetWindowLongPtrA(w.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    w.click("CBontop");
    EXPECT_NE(RunCapture("reg query HKCU\\Software\\KeltoraPro /v alwaysontop").find("REG_SZ    0"), std::string::npos);
    EXPECT_FALSE(GetWindowLongPtrA(w.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    w.click("CBontop");
    EXPECT_NE(RunCapture("reg query HKCU\\Software\\KeltoraPro /v alwaysontop").find("REG_SZ    1"), std::string::npos);
    EXPECT_TRUE(GetWindowLongPtrA(w.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    w.click("CBstartup");
    const std::string run =
        RunCapture("reg query HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run /v KeltoraPro");
    EXPECT_NE(run.find("\\autostart.exe"), std::string::npos) << run;
    EXPECT_NE(RunCapture("reg query HKCU\\Software\\KeltoraPro /v loadwithwin").find("REG_SZ    1"), std::string::npos);
    w.click("CBstartup");
    EXPECT_EQ(ReadValue(kRunKey, "KeltoraPro"), "");

    EXPECT_TRUE(w.window().trayShown());
    w.click("CBtraymin");
    EXPECT_FALSE(w.window().trayShown());
    EXPECT_FALSE(IsWindowEnabled(w.control("CBtaskbar")));
    EXPECT_NE(RunCapture("reg query HKCU\\Software\\KeltoraPro /v trayminimize").find("REG_SZ    0"),
              std::string::npos);
}

TEST_F(MainWindowTest, AboutAndOptimizerPagesShareTheAboutPanel) {
    WindowUnderTest w;
    w.clickSideBar(5);
    EXPECT_TRUE(w.visible("Panel3"));
    EXPECT_FALSE(w.visible("Panel4"));
    EXPECT_TRUE(w.visible("text:3.55"));
    EXPECT_EQ(w.text("OBhomepage"), "Visit Homepage");
    EXPECT_EQ(w.text("OBproupdate"), "Update Keltora Pro");
    EXPECT_TRUE(w.visible("OBproupdate"));
    EXPECT_FALSE(w.visible("lvall"));

    w.clickSideBar(2);
    EXPECT_TRUE(w.visible("Panel4"));
    EXPECT_FALSE(w.visible("Panel3"));
    EXPECT_FALSE(w.visible("OBhomepage"));
    EXPECT_EQ(w.text("OBoptimize"), "Optimize Now");
    EXPECT_TRUE(w.visible("OBoptimize"));
    EXPECT_TRUE(w.visible("OBhelp"));
    EXPECT_TRUE(w.visible("text:Organizing Registry Keys: "));
}

TEST_F(MainWindowTest, BackupPageShowsItsListAndThreeButtons) {
    WindowUnderTest w;
    w.clickSideBar(3);
    EXPECT_TRUE(w.visible("LVbackup"));
    EXPECT_EQ(w.text("OBbackup"), "Create Backup Now");
    EXPECT_EQ(w.text("OBrestorebackup"), "Restore Selected Backup");
    EXPECT_EQ(w.text("OBdeletebackup"), "Delete Selected");
    EXPECT_FALSE(w.visible("OBhelp"));
}

TEST_F(MainWindowTest, IgnoredItemsPageHasATabPerListAndReleasesWhatWasSetAside) {
    WriteValue(kRunKey, kProbe, "C:\\nowhere\\probe.exe");
    WindowUnderTest w;
    w.pick("RunningWhileStartup1Click");
    auto& sp = w.form().category("sp").list();
    for (std::size_t row = 0; row < sp.size(); ++row)
        if (sp.at(row).caption == kProbe) sp.select(static_cast<int>(row));
    w.click("OBsp2");
    w.clickSideBar(7);
    HWND tabs = w.control("pcignored");
    ASSERT_TRUE(w.visible("pcignored"));
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(kIgnoredTabs.size()));
    EXPECT_TRUE(w.visible("lvignoredsp"));
    EXPECT_TRUE(w.visible("obremoveignoredsp"));
    EXPECT_EQ(w.text("obremoveignoredsp"), "Remove Ignored Key");
    ASSERT_GE(w.rows("lvignoredsp"), 1);
    EXPECT_EQ(w.cell("lvignoredsp", w.rows("lvignoredsp") - 1, 0), kProbe);

    w.click("obremoveignoredsp");
    EXPECT_EQ(w.rows("lvignoredsp"), 0);

    // The user picks the Deep Analysis tab: its list, and no release button.
    SendMessageA(tabs, TCM_SETCURSEL, 5, 0);
    NMHDR change{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(w.hwnd(), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    w.pump();
    EXPECT_TRUE(w.visible("lvignoredda"));
    EXPECT_FALSE(w.visible("lvignoredsp"));
    for (const auto& tab : kIgnoredTabs)
        if (!tab.removeButton.empty()) {
            EXPECT_FALSE(w.visible(std::string(tab.removeButton)));
        }
}

TEST_F(MainWindowTest, AnErrorOfAHandlerIsShownAndTheWindowGoesOn) {
    WindowUnderTest w;
    // A folder where the ignore file should be: the file cannot be written.
    const std::string blocker = w.form().paths.ignoreFolder() + "\\Dataue.dat";
    CreateDirectoryA(blocker.c_str(), nullptr);
    w.window().run("tsignoredueShow");
    ASSERT_TRUE(w.visible("obremoveignoredue"));
    w.click("obremoveignoredue");
    RemoveDirectoryA(blocker.c_str());
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_NE(w.messages[0].find("Dataue.dat"), std::string::npos);
    EXPECT_FALSE(w.form().busy());
    w.clickSideBar(5);
    EXPECT_TRUE(w.visible("Panelabout"));
}

TEST_F(MainWindowTest, TrayMenuOpensOnARightClickOnlyAndExitSkipsTheCloseStep) {
    WriteValue(kSettingsKey, "loadwithwin", "0");
    WriteValue(kRunKey, "KeltoraPro", "stale");
    WriteValue(kSettingsKey, "trayminimize", "1");
    {
        WindowUnderTest w;
        ASSERT_TRUE(w.window().trayShown());
        SendMessageA(w.hwnd(), win32::TrayIcon::kCallbackMessage, 1, WM_LBUTTONDOWN);
        EXPECT_TRUE(w.opened.empty());
        SendMessageA(w.hwnd(), win32::TrayIcon::kCallbackMessage, 1, WM_RBUTTONDOWN);
        ASSERT_EQ(w.opened.size(), 1u);
        HMENU tray = w.opened[0].first;
        ASSERT_EQ(GetMenuItemCount(tray), 3);
        EXPECT_EQ(MenuText(tray, 0), "Show Window");
        EXPECT_EQ(GetMenuState(tray, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
        EXPECT_EQ(MenuText(tray, 2), "Exit Keltora Pro");

        w.pick("Exit1Click");
        EXPECT_TRUE(w.host().quitRequested());
        w.window().destroy();
        EXPECT_FALSE(IsWindow(w.hwnd()));
        EXPECT_FALSE(w.window().trayShown());
    }
    EXPECT_EQ(ReadValue(kSettingsKey, "autoscan"), "0");  // as SetUp wrote it: not written again
    EXPECT_EQ(ReadValue(kRunKey, "KeltoraPro"), "");
}

TEST_F(MainWindowTest, ClosingByTheFrameWritesAutoscanZeroThenDestroys) {
    ResetSettings({{"trayminimize", "1"}});
    WindowUnderTest w;
    SendMessageA(w.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w.hwnd()));
    EXPECT_NE(RunCapture("reg query HKCU\\Software\\KeltoraPro /v autoscan").find("REG_SZ    0"), std::string::npos);
    EXPECT_FALSE(w.window().trayShown());
}

TEST_F(MainWindowTest, MinimizingGoesToTheTrayWhenAskedAndShowWindowBringsItBack) {
    WriteValue(kSettingsKey, "trayminimize", "1");
    WindowUnderTest w;
    SendMessageA(w.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    w.pump(50);
    EXPECT_TRUE(IsIconic(w.hwnd()));
    EXPECT_FALSE(IsWindowVisible(w.hwnd()));
    w.pick("ShowWindow1Click");
    w.pump(50);
    EXPECT_TRUE(IsWindowVisible(w.hwnd()));
    EXPECT_FALSE(IsIconic(w.hwnd()));

    WriteValue(kSettingsKey, "taskbarstatus", "0");
    SendMessageA(w.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    w.pump(50);
    EXPECT_TRUE(IsIconic(w.hwnd()));
    EXPECT_TRUE(IsWindowVisible(w.hwnd()));
}

TEST_F(MainWindowTest, AlwaysOnTopOneAtStartMakesTheWindowTopmost) {
    // With the tray icon, as the program starts by default. (Wine without any other window of
    // the shell in the topmost layer ignores the request; that is Wine's, not the window's.)
    ResetSettings({{"autoscan", "0"}, {"alwaysontop", "1"}, {"trayminimize", "1"}});
    WindowUnderTest w;
    EXPECT_TRUE(w.form().options.at(Setting::AlwaysOnTop)->checked());
    EXPECT_TRUE(GetWindowLongPtrA(w.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

}  // namespace
}  // namespace keltora::wine
