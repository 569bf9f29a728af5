#include "app/win32/Win32Host.h"

#include "app/Product.h"
#include "app/win32/ControlView.h"
#include "app/win32/MainWindow.h"

namespace keltora::win32 {

bool Win32Host::dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) {
        quitRequested_ = true;
        exitCode_ = static_cast<int>(msg.wParam);
        return false;
    }
    if (window_ && window_->preTranslate(msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void Win32Host::processMessages() {
    // What a page hid leaves the screen before anything is drawn; a long command may have
    // disabled or hidden the control the keyboard was on.
    ControlView::ApplyPendingHides();
    if (window_) window_->keepFocusIfDue();
    MSG msg;
    while (!quitRequested_ && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!dispatch(msg)) break;
}

int Win32Host::messageLoop() {
    MSG msg;
    while (!quitRequested_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) msg.message = WM_QUIT;
        dispatch(msg);
    }
    return exitCode_;
}

void Win32Host::beforePause() {
    if (window_) window_->showPending();
}

void Win32Host::setCursor(Cursor cursor) {
    cursor_ = cursor;
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(cursor == Cursor::Hourglass ? IDC_WAIT : IDC_ARROW)));
}

void Win32Host::showMessage(const std::string& text) {
    if (messageSink) {
        messageSink(text);
        return;
    }
    MessageBoxA(window_ ? window_->hwnd() : nullptr, text.c_str(), std::string(kProductTitle).c_str(), MB_OK);
}

void Win32Host::setTopmost(bool topmost) {
    if (window_) window_->setTopmost(topmost);
}

void Win32Host::setTrayIcon(bool shown) {
    if (window_) window_->setTrayIcon(shown);
}

std::string Win32Host::executableFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

void Win32Host::quit() { PostQuitMessage(0); }

void Win32Host::openMenu(std::string_view menu) {
    if (window_) window_->openMenu(menu);
}

void Win32Host::minimize(bool hideWindow) {
    if (window_) window_->minimize(hideWindow);
}

void Win32Host::restore() {
    if (window_) window_->restore();
}

}  // namespace keltora::win32
