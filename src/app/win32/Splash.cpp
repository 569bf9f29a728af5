#include "app/win32/Splash.h"

#include <string>

#include "app/Product.h"
#include "app/win32/Look.h"
#include "app/win32/resource.h"

namespace keltora::win32 {

namespace {

constexpr const char* kClass = "KeltoraSplash";

HFONT MakeFont(const Look& look, int height, bool bold) {
    LOGFONTA font{};
    font.lfHeight = look.px(height);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = ANTIALIASED_QUALITY;
    lstrcpyA(font.lfFaceName, "Tahoma");
    return CreateFontIndirectA(&font);
}

}  // namespace

Splash::Splash(const SettingsStore& settings) { on_ = settings.text(Setting::ShowSplash) == "1"; }

Splash::~Splash() {
    hide();
    if (picture_) DeleteObject(picture_);
    if (title_) DeleteObject(title_);
    if (version_) DeleteObject(version_);
}

void Splash::show(DWORD delayMs) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Splash::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_APPSTARTING));
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
        registered = true;
    }
    picture_ = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0, 0));
    // The splash comes before any window: the primary monitor's DPI decides its size.
    look_ = Look::Of(nullptr);
    if (look_.highContrast && picture_) {
        DeleteObject(picture_);
        picture_ = nullptr;
    }
    title_ = MakeFont(look_, -26, true);
    version_ = MakeFont(look_, -16, true);
    const int width = look_.px(kWidth), height = look_.px(kHeight);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, std::string(kProductTitle).c_str(), WS_POPUP,
                            left, top, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The version as a text of its own, so it can be read like any other control.
    HWND version = CreateWindowExA(0, "STATIC", std::string(kVersion).c_str(), WS_CHILD | WS_VISIBLE | SS_RIGHT,
                                   look_.px(kWidth - 110), look_.px(kHeight - 40), look_.px(90), look_.px(22), hwnd_,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(version, WM_SETFONT, reinterpret_cast<WPARAM>(version_), FALSE);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    if (delayMs > 0) Sleep(delayMs);
}

void Splash::hide() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

LRESULT CALLBACK Splash::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Splash*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (self) self->paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            SetTextColor(reinterpret_cast<HDC>(wParam), self ? self->textColour() : RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

COLORREF Splash::textColour() const { return look_.colour(RGB(255, 255, 255), COLOR_HIGHLIGHTTEXT); }

void Splash::paint(HDC dc) {
    RECT client{0, 0, look_.px(kWidth), look_.px(kHeight)};
    if (picture_) {
        HDC memory = CreateCompatibleDC(dc);
        const HGDIOBJ old = SelectObject(memory, picture_);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, kWidth, kHeight, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColour());
    const HGDIOBJ old = SelectObject(dc, title_);
    RECT title{look_.px(150), look_.px(60), look_.px(kWidth - 12), look_.px(130)};
    DrawTextA(dc, std::string(kProductTitle).c_str(), -1, &title, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
}

}  // namespace keltora::win32
