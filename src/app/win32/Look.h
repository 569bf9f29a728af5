#pragma once
// How the window looks at the moment: the DPI of its monitor, by which every length of the
// layout (designed at 96 DPI), every font and every picture is scaled, and whether high
// contrast asks for the system's colours instead of the window's own.
#include <windows.h>

namespace keltora::win32 {

struct Look {
    static constexpr UINT kDesignDpi = 96;
    UINT dpi = kDesignDpi;
    bool highContrast = false;

    // A length of the design in pixels of this DPI (803 at 144 DPI is 1204).
    int px(int design) const { return design * static_cast<int>(dpi) / static_cast<int>(kDesignDpi); }
    // The window's own colour, or the system's colour of that role under high contrast.
    COLORREF colour(COLORREF own, int systemColour) const { return highContrast ? GetSysColor(systemColour) : own; }

    // The look of a window on its monitor now.
    static Look Of(HWND window);
    static bool HighContrastOn();
};

}  // namespace keltora::win32
