#include "app/win32/MainWindow.h"

#include <commctrl.h>

#include <exception>

#include "app/Product.h"
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

HFONT MakeFont(int height, bool bold) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lstrcpyA(font.lfFaceName, "Tahoma");
    return CreateFontIndirectA(&font);
}

}  // namespace

MainWindow::MainWindow(TForm1& form, Win32Host& host) : form_(form), host_(host) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    icon_ = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_KELTORA));
    if (!icon_) icon_ = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    RegisterMainClass(icon_);
    font_ = MakeFont(-11, false);
    boldFont_ = MakeFont(-11, true);
    largeFont_ = MakeFont(-14, true);

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    hwnd_ = CreateWindowExA(0, kClass, std::string(kMainCaption).c_str(), kStyle, left, top, width, height, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::Proc));

    tray_ = std::make_unique<TrayIcon>(hwnd_, icon_, std::string(kProductTitle));
    trackMenu = [this](HMENU menu, POINT at) {
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    };
    buildControls();
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
    DeleteObject(font_);
    DeleteObject(boldFont_);
    DeleteObject(largeFont_);
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
    try {
        form_.invoke(handler);
    } catch (const std::exception& error) {
        host_.showMessage(error.what());
    }
    // A close asked for while a command ran is carried out once no command runs.
    if (closePending_ && !form_.busy()) {
        closePending_ = false;
        closeStep();
    }
}

HWND MainWindow::window(std::string_view name) const {
    auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : found->second;
}

void MainWindow::show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
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
    const auto at = ScanMenuPosition(name == ScanMenuName(Menu::Registry) ? Menu::Registry : Menu::Privacy, frame.left,
                                     frame.top, IsZoomed(hwnd_) != FALSE);
    trackMenu(menu, POINT{at.x, at.y});
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
    for (const auto& view : views_) view->showPending();
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
