#pragma once
// TForm2, the splash window: borderless, 385 by 211 at 96 DPI (scaled like the main window),
// centred, the product's picture and its version, shown while the main window is made when the
// setting showsplash is "1".
#include <windows.h>

#include "app/SettingsStore.h"
#include "app/win32/Look.h"

namespace keltora::win32 {

class Splash {
public:
    static constexpr int kWidth = 385;
    static constexpr int kHeight = 211;
    // How long the splash stays before the program goes on.
    static constexpr DWORD kDelayMs = 1500;

    // FormCreate: "1" turns the splash on; "0", a missing value or any other text leaves it off.
    explicit Splash(const SettingsStore& settings);
    ~Splash();
    Splash(const Splash&) = delete;
    Splash& operator=(const Splash&) = delete;

    bool on() const { return on_; }
    // Shows and draws the splash, then holds it for the delay (delayMs 0: not at all).
    void show(DWORD delayMs = kDelayMs);
    void hide();
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc);
    COLORREF textColour() const;

    bool on_ = false;
    Look look_;
    HWND hwnd_ = nullptr;
    HBITMAP picture_ = nullptr;
    HFONT title_ = nullptr;
    HFONT version_ = nullptr;
};

}  // namespace keltora::win32
