#pragma once
// The real main window in this process, on the real (Wine) registry and file system: made as
// the program makes it, driven by messages, read back through its controls.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/win32/MainWindow.h"
#include "app/win32/Win32Host.h"

namespace keltora::wine {

// HKEY_CURRENT_USER\Software\KeltoraPro as reg.exe and the program name it.
inline constexpr const char* kSettingsKey = "Software\\KeltoraPro";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Removes the program's settings and its Run entry, then writes the given values.
void ResetSettings(const std::vector<std::pair<std::string, std::string>>& values = {});
std::string ReadValue(const std::string& key, const std::string& name);  // HKCU; empty when missing
void WriteValue(const std::string& key, const std::string& name, const std::string& data);
void DeleteValue(const std::string& key, const std::string& name);

// Runs a program to its end and gives its standard output.
std::string RunCapture(const std::string& commandLine, DWORD* exitCode = nullptr);

class WindowUnderTest {
public:
    // pace scales the scans' pauses; the window's logic runs as the program's does.
    explicit WindowUnderTest(double pace = 0.02);
    ~WindowUnderTest();

    TForm1& form() { return *form_; }
    win32::MainWindow& window() { return *window_; }
    win32::Win32Host& host() { return host_; }
    HWND hwnd() const { return window_->hwnd(); }

    // Handles what is waiting, for at least ms milliseconds.
    void pump(DWORD ms = 0);
    HWND control(const std::string& name) const;
    std::string text(const std::string& name) const;
    // Visible on the screen: the control and every window above it.
    bool visible(const std::string& name) const;
    // A click of the user on a button or check box.
    void click(const std::string& name);
    void clickSideBar(std::size_t index);
    // The command of a menu entry, as if the user had picked it.
    void pick(const std::string& handler);
    // A key pressed on the control that has the focus, with Shift held or not, as the keyboard
    // sends it; and the name of that control.
    void key(WPARAM key, bool shift = false);
    std::string focused() const;
    // Whether a control shows a colour somewhere in a rectangle of its client area (all of it
    // when the rectangle is empty), as drawn on the screen.
    bool shows(const std::string& name, COLORREF colour, RECT area = {}) const;

    // List views.
    int rows(const std::string& list) const;
    std::string cell(const std::string& list, int row, int column) const;
    bool checked(const std::string& list, int row) const;

    std::vector<std::string> messages;
    // The menus the window opened, with where.
    std::vector<std::pair<HMENU, POINT>> opened;

private:
    win32::Win32Host host_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<win32::MainWindow> window_;
};

}  // namespace keltora::wine
