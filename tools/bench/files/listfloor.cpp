// listfloor.exe COUNT [COLUMNS]: the floor a page visit is measured against. A bare program with
// a list control made as the window makes its result lists (the same common controls, asked for
// by the window's own manifest; owner data, report view, the same styles and extended styles,
// the window's own check-box pictures, the same font, columns and size, in a window of the main
// window's size) tells the control a count of COUNT rows and paints once: the list control's own
// work when a page of that many findings is shown, which no code of ours can take away. Prints
// the best of five rounds, each with a list of its own, made hidden and never painted (as a
// page's list is before its first visit), then shown, told the count and painted once, timed
// from the showing:
//   COUNT MS
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/win32/CheckBoxImages.h"
#include "app/win32/ControlLibraries.h"

namespace {

// The main window's client area and its list area (at 96 DPI), the file pages' columns.
constexpr int kClientWidth = 803, kClientHeight = 576;
constexpr RECT kList{6, 120, 6 + 590, 120 + 340};
constexpr struct {
    const char* caption;
    int width;
} kColumns[] = {{"File Names", 180}, {"Repair Report", 100}, {"Detail Info", 220}, {"Path Location", 250}, {"Size", 100}};
// A row's texts, as long as a history finding's.
constexpr const char* kTexts[] = {"visit042.url", "Remove", "All items listed in History Folder",
                                  "C:\\users\\root\\AppData\\Local\\Microsoft\\Windows\\History\\History.IE5\\MSHist01\\",
                                  "0 KB"};

void fill(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if (item.mask & LVIF_TEXT && item.cchTextMax > 0)
        MultiByteToWideChar(CP_ACP, 0, kTexts[item.iSubItem % 5], -1, item.pszText, item.cchTextMax);
    if (item.mask & LVIF_STATE) {
        item.state = INDEXTOSTATEIMAGEMASK(2);  // checked, as every finding is added
        item.stateMask = LVIS_STATEIMAGEMASK;
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == LVN_GETDISPINFOW) fill(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        if (header->code == LVN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
            if (info->item.mask & LVIF_TEXT && info->item.cchTextMax > 0)
                lstrcpynA(info->item.pszText, kTexts[info->item.iSubItem % 5], info->item.cchTextMax);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A list made as the window makes a result list, hidden as a page's list is until its page shows;
// its check-box pictures are the caller's.
HWND makeList(HWND parent, int columns, HFONT font, HIMAGELIST checks) {
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
                                    LVS_OWNERDATA | LVS_SHAREIMAGELISTS,
                                kList.left, kList.top, kList.right - kList.left, kList.bottom - kList.top, parent,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    const DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    SendMessageA(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    auto made = reinterpret_cast<HIMAGELIST>(
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(checks)));
    if (made && made != checks) keltora::win32::controls::ImageList_Destroy(made);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (int i = 0; i < columns; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(kColumns[i].caption);
        column.cx = kColumns[i].width;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 20000;
    const int columns = argc > 2 ? std::atoi(argv[2]) : 5;
    if (count < 0 || columns < 1 || columns > 5) return 2;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    keltora::win32::controls::InitCommonControlsEx(&controls);
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "KeltoraListFloor";
    RegisterClassA(&wc);
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, kStyle, FALSE);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "list floor", kStyle, 0, 0, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, wc.hInstance, nullptr);
    LOGFONTA look{};
    look.lfHeight = -11;
    lstrcpyA(look.lfFaceName, "Tahoma");
    HFONT font = CreateFontIndirectA(&look);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    pump();
    HIMAGELIST checks = keltora::win32::CheckBoxImages(window, keltora::win32::Look{});
    // Each round a list of its own, so that each paint is its first, header and all.
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        HWND list = makeList(window, columns, font, checks);
        pump();
        const auto start = std::chrono::steady_clock::now();
        ShowWindow(list, SW_SHOWNA);
        SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
        UpdateWindow(list);
        pump();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (round == 0 || ms < best) best = ms;
        DestroyWindow(list);
        pump();
    }
    std::printf("%ld %.1f\n", count, best);
    DestroyWindow(window);
    DeleteObject(font);
    keltora::win32::controls::ImageList_Destroy(checks);
    return 0;
}
