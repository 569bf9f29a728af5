#include "app/win32/TrayIcon.h"

#include <shellapi.h>

namespace keltora::win32 {

TrayIcon::TrayIcon(HWND owner, HICON icon, std::string tip) : owner_(owner), icon_(icon), tip_(std::move(tip)) {}

TrayIcon::~TrayIcon() { show(false); }

UINT TrayIcon::taskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

bool TrayIcon::notify(DWORD action) {
    NOTIFYICONDATAA data{};
    // The first version of the record: icon, message and tip are all the program uses.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner_;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    lstrcpynA(data.szTip, tip_.c_str(), 64);
    return Shell_NotifyIconA(action, &data) != FALSE;
}

void TrayIcon::show(bool shown) {
    if (shown == shown_) return;
    notify(shown ? NIM_ADD : NIM_DELETE);
    shown_ = shown;
}

void TrayIcon::shellRestarted() {
    if (shown_) notify(NIM_ADD);
}

}  // namespace keltora::win32
