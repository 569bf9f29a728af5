#pragma once
// The host of the real window: pumps the message queue when the logic asks for it, shows
// messages in message boxes, and hands the window services to the main window.
#include <windows.h>

#include <functional>
#include <string>

#include "app/AppHost.h"

namespace keltora::win32 {

class MainWindow;

class Win32Host : public AppHost {
public:
    void attach(MainWindow* window) { window_ = window; }

    // Handles everything waiting. A quit seen here is kept for the main loop, which ends once
    // the running command has returned.
    void processMessages() override;
    void beforePause() override;
    void setCursor(Cursor cursor) override;
    void showMessage(const std::string& text) override;
    void setTopmost(bool topmost) override;
    void setTrayIcon(bool shown) override;
    std::string executableFolder() override;
    void quit() override;
    void openMenu(std::string_view menu) override;
    void minimize(bool hideWindow) override;
    void restore() override;

    Cursor cursor() const { return cursor_; }
    bool quitRequested() const { return quitRequested_; }
    // Runs the message loop until the program ends; its exit code.
    int messageLoop();

    // Where messages go instead of a message box (the tests read them).
    std::function<void(const std::string&)> messageSink;

private:
    bool dispatch(MSG& msg);

    MainWindow* window_ = nullptr;
    Cursor cursor_ = Cursor::Default;
    bool quitRequested_ = false;
    int exitCode_ = 0;
};

}  // namespace keltora::win32
