#include "app/win32/MainWindow.h"

#include <commctrl.h>

#include <exception>
#include <utility>

#include "app/Product.h"
#include "app/win32/ControlLibraries.h"
#include "app/win32/resource.h"

namespace keltora::win32 {

namespace {

constexpr const char* kClass = "KeltoraMainWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;

void RegisterMainClass(HICON icon) {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = icon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    done = true;
}

HFONT MakeFont(const Look& look, int height, bool bold) {
    LOGFONTA font{};
    font.lfHeight = look.px(height);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lstrcpyA(font.lfFaceName, "Tahoma");
    return CreateFontIndirectA(&font);
}

// A message of our own: the look changed, make the controls anew once.
constexpr UINT kRebuild = WM_APP + 1;

bool IsPushButton(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof(name));
    const auto type = GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiA(name, "Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

}  // namespace

MainWindow::MainWindow(TForm1& form, Win32Host& host) : form_(form), host_(host) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    controls::InitCommonControlsEx(&controls);
    icon_ = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_KELTORA));
    if (!icon_) icon_ = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    RegisterMainClass(icon_);

    hwnd_ = CreateWindowExA(0, kClass, std::string(kMainCaption).c_str(), kStyle, 0, 0, kClientWidth, kClientHeight,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::Proc));
    // The window's monitor decides its size: the design scaled to the monitor's DPI.
    look_ = lookOf(hwnd_);
    makeFonts();
    placeFrame(nullptr);

    tray_ = std::make_unique<TrayIcon>(hwnd_, icon_, std::string(kProductTitle));
    trackMenu = [this](HMENU menu, POINT at) {
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    };
    buildControls();
    orderTabStops();
    buildMenus();
    bindTimer(form_.Timer1, kTimer1);
    bindTimer(form_.Timer3, kTimer3);
    host_.attach(this);
}

MainWindow::~MainWindow() {
    host_.attach(nullptr);
    form_.Timer1.onChange = nullptr;
    form_.Timer3.onChange = nullptr;
    views_.clear();
    tray_.reset();
    if (IsWindow(hwnd_)) {
        quiet_ = true;
        DestroyWindow(hwnd_);
    }
    deleteFonts();
}

void MainWindow::makeFonts() {
    font_ = MakeFont(look_, -11, false);
    boldFont_ = MakeFont(look_, -11, true);
    largeFont_ = MakeFont(look_, -14, true);
    countFont_ = MakeFont(look_, -13, true);
}

void MainWindow::deleteFonts() {
    for (HFONT* font : {&font_, &boldFont_, &largeFont_, &countFont_}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

// The frame around the client area of the design at the look's DPI: centred on the screen at
// first, where the system suggests when the window moved to a monitor of another DPI.
void MainWindow::placeFrame(const RECT* suggested) {
    if (suggested) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    RECT frame{0, 0, look_.px(kClientWidth), look_.px(kClientHeight)};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, look_.dpi);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame's own parts may scale differently from the design: the client area decides.
    RECT client;
    GetClientRect(hwnd_, &client);
    const int dx = look_.px(kClientWidth) - client.right, dy = look_.px(kClientHeight) - client.bottom;
    if (dx != 0 || dy != 0)
        SetWindowPos(hwnd_, nullptr, left - dx / 2, top - dy / 2, width + dx, height + dy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::rebuild(const Look& look) {
    // Every child goes: the frame's panels take the controls inside them along.
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child;) {
        HWND next = GetWindow(child, GW_HWNDNEXT);
        DestroyWindow(child);
        child = next;
    }
    views_.clear();
    byId_.clear();
    byName_.clear();
    deleteFonts();
    look_ = look;
    makeFonts();
    buildControls();
    orderTabStops();
    lastFocus_ = nullptr;
    keepFocus();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void MainWindow::rebuildWhenIdle(const Look& look) {
    if (running_ > 0) {
        pendingLook_ = look;
        return;
    }
    pendingLook_.reset();
    rebuild(look);
}

void MainWindow::buildMenus() {
    menus_.add(ScanMenuName(Menu::Registry), ScanMenu(Menu::Registry));
    menus_.add(ScanMenuName(Menu::Privacy), ScanMenu(Menu::Privacy));
    menus_.add("PopupMenu1", TrayMenu());
}

void MainWindow::bindTimer(Timer& timer, UINT id) {
    timer.onChange = [this, id](Control& changed) {
        auto& t = static_cast<Timer&>(changed);
        if (t.running())
            SetTimer(hwnd_, id, static_cast<UINT>(t.interval()), nullptr);
        else
            KillTimer(hwnd_, id);
    };
}

void MainWindow::run(std::string_view handler) {
    keepFocus();
    focusCheckDue_ = true;
    // The control the command came from gets the keyboard back when it ends, if it can take it.
    HWND from = running_ == 0 ? GetFocus() : nullptr;
    ++running_;
    try {
        // A command that cannot start now has its controls disabled; one that arrives anyway
        // (a key, or a click on its way before the controls were disabled) is not silent.
        if (!form_.invoke(handler) && form_.has(handler) && !form_.mayRun(handler)) MessageBeep(MB_OK);
    } catch (const std::exception& error) {
        host_.showMessage(error.what());
    }
    --running_;
    ControlView::ApplyPendingHides();
    if (running_ > 0) return;
    // A close asked for while a command ran is carried out once no command runs.
    if (closePending_ && !form_.busy()) {
        closePending_ = false;
        closeStep();
        return;
    }
    if (pendingLook_) rebuildWhenIdle(*pendingLook_);
    if (!IsWindow(hwnd_)) return;
    // What the command left for a timer to draw (a list's new count) is drawn now, once, rather
    // than the stale list first and the new one a moment later.
    showPending();
    if (focusable(from) && GetActiveWindow() == hwnd_) SetFocus(from);
    keepFocus();
}

HWND MainWindow::window(std::string_view name) const {
    auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : found->second;
}

std::string MainWindow::nameOf(HWND window) const {
    for (const auto& [name, hwnd] : byName_)
        if (hwnd == window) return name;
    return {};
}

void MainWindow::show() {
    // The keyboard starts at the summary's main command.
    lastFocus_ = window("OBall2");
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    keepFocus();
    // A window made topmost while hidden does not keep that place everywhere (Wine drops it):
    // leave the layer and enter it again now that the window is on the screen.
    if (topmost_) {
        setTopmost(false);
        setTopmost(true);
    }
    UpdateWindow(hwnd_);
}

void MainWindow::setTopmost(bool topmost) {
    topmost_ = topmost;
    SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::setTrayIcon(bool shown) {
    if (tray_) tray_->show(shown);
}

void MainWindow::openMenu(std::string_view name) {
    HMENU menu = menus_.menu(name);
    if (!menu) return;
    RECT frame;
    GetWindowRect(hwnd_, &frame);
    // The menu's place beside the side bar, in the design's pixels from the window's corner.
    const auto at = ScanMenuPosition(name == ScanMenuName(Menu::Registry) ? Menu::Registry : Menu::Privacy, 0, 0,
                                     IsZoomed(hwnd_) != FALSE);
    trackMenu(menu, POINT{frame.left + look_.px(at.x), frame.top + look_.px(at.y)});
}

void MainWindow::minimize(bool hideWindow) {
    ShowWindow(hwnd_, SW_MINIMIZE);
    // Without a tray icon a hidden window could not be brought back.
    if (hideWindow && trayShown()) ShowWindow(hwnd_, SW_HIDE);
}

void MainWindow::restore() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

void MainWindow::showPending() {
    ControlView::ApplyPendingHides();
    for (const auto& view : views_) view->showPending();
}

bool MainWindow::focusable(HWND window) const {
    return window && IsChild(hwnd_, window) && IsWindowVisible(window) && IsWindowEnabled(window) &&
           (GetWindowLongPtrA(window, GWL_STYLE) & WS_TABSTOP);
}

void MainWindow::keepFocusIfDue() {
    if (!std::exchange(focusCheckDue_, false)) return;
    keepFocus();
}

void MainWindow::keepFocus() {
    if (GetActiveWindow() != hwnd_) return;
    HWND focus = GetFocus();
    if (focusable(focus)) {
        lastFocus_ = focus;
        return;
    }
    // The control that had it, else the one after it in the tab order, else the first.
    HWND from = lastFocus_ && IsChild(hwnd_, lastFocus_) ? lastFocus_ : nullptr;
    HWND next = focusable(from) ? from : GetNextDlgTabItem(hwnd_, from, FALSE);
    if (focusable(next)) {
        SetFocus(next);
        lastFocus_ = next;
    }
}

bool MainWindow::preTranslate(MSG& msg) {
    if (!IsWindow(hwnd_) || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F5) {
        const std::string refresh = form_.refreshHandler();
        if (!refresh.empty()) run(refresh);
        return true;
    }
    // A button that has the focus is pressed by Enter, however it got the focus.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && IsPushButton(GetFocus())) {
        SendMessageA(GetFocus(), BM_CLICK, 0, 0);
        return true;
    }
    return IsDialogMessageA(hwnd_, &msg) != FALSE;
}

// The entries of a menu whose command cannot start now show grayed.
void MainWindow::enableMenu(HMENU menu) {
    for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i) {
        const UINT id = GetMenuItemID(menu, i);
        const std::string handler = menus_.handlerFor(id);
        if (handler.empty()) continue;
        EnableMenuItem(menu, id, MF_BYCOMMAND | (form_.mayRun(handler) ? MF_ENABLED : MF_GRAYED));
    }
}

void MainWindow::destroy() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void MainWindow::closeStep() {
    try {
        form_.FormClose();
    } catch (const std::exception& error) {
        host_.showMessage(error.what());
    }
    DestroyWindow(hwnd_);
}

void MainWindow::destroyStep() {
    if (destroyed_) return;
    destroyed_ = true;
    try {
        form_.FormDestroy();
    } catch (const std::exception& error) {
        host_.showMessage(error.what());
    }
    if (tray_) tray_->show(false);
}

LRESULT CALLBACK MainWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TrayIcon::taskbarCreatedMessage()) {
        if (tray_) tray_->shellRestarted();
        return 0;
    }
    switch (message) {
        case WM_COMMAND: {
            if (lParam == 0) {
                const std::string handler = menus_.handlerFor(LOWORD(wParam));
                if (!handler.empty()) run(handler);
                return 0;
            }
            auto found = byId_.find(LOWORD(wParam));
            if (found != byId_.end()) found->second->onCommand(HIWORD(wParam));
            return 0;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            auto found = byId_.find(static_cast<int>(header->idFrom));
            if (found == byId_.end()) break;
            bool handled = false;
            const LRESULT result = found->second->onNotify(header, handled);
            return handled ? result : 0;
        }
        case WM_DRAWITEM: {
            auto found = byId_.find(static_cast<int>(wParam));
            if (found != byId_.end() && found->second->onDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)))
                return TRUE;
            break;
        }
        case WM_TIMER:
            if (wParam == kTimer1)
                run("Timer1Timer");
            else if (wParam == kTimer3)
                run("Timer3Timer");
            return 0;
        case TrayIcon::kCallbackMessage:
            if (lParam == WM_RBUTTONDOWN) {
                POINT at;
                GetCursorPos(&at);
                // The menu closes when the user clicks elsewhere only if the window is in front.
                SetForegroundWindow(hwnd_);
                trackMenu(menus_.menu("PopupMenu1"), at);
                PostMessageA(hwnd_, WM_NULL, 0, 0);
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) {
                run("Minimize1Click");
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (host_.cursor() == Cursor::Hourglass) {
                SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
                return TRUE;
            }
            break;
        case WM_INITMENUPOPUP:
            enableMenu(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_SETFOCUS:
            // Back to the control that had the focus when the window was left.
            lastFocus_ = focusable(lastFocus_) ? lastFocus_ : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
            if (lastFocus_) SetFocus(lastFocus_);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE && focusable(GetFocus())) lastFocus_ = GetFocus();
            break;
        case WM_CHANGEUISTATE:
        case WM_UPDATEUISTATE:
            // The focus is always shown, whether the user came by mouse or by keyboard.
            return DefWindowProcA(hwnd_, message, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), lParam);
        case WM_DPICHANGED: {
            Look look = look_;
            look.dpi = HIWORD(wParam);
            placeFrame(reinterpret_cast<const RECT*>(lParam));
            rebuildWhenIdle(look);
            return 0;
        }
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            // Several of these come at once: the controls are made anew once, for all of them.
            PostMessageA(hwnd_, kRebuild, 0, 0);
            break;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETHIGHCONTRAST) PostMessageA(hwnd_, kRebuild, 0, 0);
            break;
        case kRebuild: {
            MSG more;
            while (PeekMessageA(&more, hwnd_, kRebuild, kRebuild, PM_REMOVE)) {
            }
            Look look = lookOf(hwnd_);
            look.dpi = pendingLook_ ? pendingLook_->dpi : look_.dpi;
            rebuildWhenIdle(look);
            return 0;
        }
        case WM_CLOSE:
            if (form_.busy())
                closePending_ = true;
            else
                closeStep();
            return 0;
        case WM_DESTROY:
            if (quiet_) return 0;
            destroyStep();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace keltora::win32
