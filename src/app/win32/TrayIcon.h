#pragma once
// The notification-area icon: added and removed on request, and added again when the shell
// restarts (the taskbar broadcasts "TaskbarCreated" and forgets every icon it had).
#include <windows.h>

#include <string>

namespace keltora::win32 {

class TrayIcon {
public:
    // The message the icon sends its window: user message 1.
    static constexpr UINT kCallbackMessage = WM_USER + 1;

    TrayIcon(HWND owner, HICON icon, std::string tip);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void show(bool shown);
    bool shown() const { return shown_; }
    // Call on the TaskbarCreated message.
    void shellRestarted();
    static UINT taskbarCreatedMessage();

private:
    bool notify(DWORD action);

    HWND owner_;
    HICON icon_;
    std::string tip_;
    bool shown_ = false;
};

}  // namespace keltora::win32
