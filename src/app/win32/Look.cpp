#include "app/win32/Look.h"

namespace keltora::win32 {

bool Look::HighContrastOn() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Look Look::Of(HWND window) {
    Look look;
    // The monitor's DPI for a window that is per-monitor aware; the system's otherwise.
    const UINT dpi = window ? GetDpiForWindow(window) : GetDpiForSystem();
    look.dpi = dpi ? dpi : kDesignDpi;
    look.highContrast = HighContrastOn();
    return look;
}

}  // namespace keltora::win32
