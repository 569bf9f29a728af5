#include "app/win32/PanelView.h"

namespace keltora::win32 {

namespace {

constexpr const char* kClass = "KeltoraPanel";

void RegisterPanelClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;  // replaced per window once its object is known
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    done = true;
}

bool Forwarded(UINT message) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return true;
        default:
            return false;
    }
}

}  // namespace

HFONT PanelFont(const Look& look, const PanelText& text) {
    LOGFONTA font{};
    font.lfHeight = look.px(text.height);
    font.lfWeight = text.bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = ANTIALIASED_QUALITY;
    lstrcpyA(font.lfFaceName, "Tahoma");
    return CreateFontIndirectA(&font);
}

RECT PanelTextPlace(const Look& look, const PanelText& text) {
    return {look.px(text.place.left), look.px(text.place.top), look.px(text.place.right), look.px(text.place.bottom)};
}

PanelView::PanelView(Control& model, Args args)
    : args_(std::move(args)), look_(args_.base.look), background_(look_.colour(args_.background, COLOR_BTNFACE)) {
    make();
    bind(model);
}

PanelView::PanelView(Args args)
    : args_(std::move(args)), look_(args_.base.look), background_(look_.colour(args_.background, COLOR_BTNFACE)) {
    make();
    ShowWindow(hwnd_, SW_SHOWNA);
}

PanelView::~PanelView() {
    if (picture_) DeleteObject(picture_);
    if (brush_) DeleteObject(brush_);
}

const PanelView* PanelView::Of(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, kClass) != 0) return nullptr;
    return reinterpret_cast<const PanelView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void PanelView::make() {
    RegisterPanelClass();
    brush_ = CreateSolidBrush(background_);
    if (args_.bitmap && !look_.highContrast)
        picture_ = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(args_.bitmap), IMAGE_BITMAP, 0, 0, 0));
    create(kClass, "", WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, args_.base);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PanelView::Proc));
}

LRESULT CALLBACK PanelView::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PanelView*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (Forwarded(message)) {
        // Static texts, check boxes and group boxes on a panel take the panel's background.
        if (message == WM_CTLCOLORSTATIC) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, self->look_.colour(RGB(0, 0, 0), COLOR_BTNTEXT));
            if (self->args_.transparentTexts && self->picture_) {
                SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            }
            SetBkColor(dc, self->background_);
            return reinterpret_cast<LRESULT>(self->brush_);
        }
        return SendMessageA(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    }
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            self->paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void PanelView::paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, brush_);
    if (picture_) {
        HDC memory = CreateCompatibleDC(dc);
        const HGDIOBJ old = SelectObject(memory, picture_);
        BITMAP info{};
        GetObjectA(picture_, sizeof(info), &info);
        if (look_.dpi == Look::kDesignDpi) {
            BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, look_.px(info.bmWidth), look_.px(info.bmHeight), memory, 0, 0, info.bmWidth,
                       info.bmHeight, SRCCOPY);
        }
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    SetBkMode(dc, TRANSPARENT);
    for (const auto& text : args_.texts) {
        HFONT handle = PanelFont(look_, text);
        const HGDIOBJ old = SelectObject(dc, handle);
        SetTextColor(dc, picture_ ? text.colour : look_.colour(text.colour, COLOR_BTNTEXT));
        RECT place = PanelTextPlace(look_, text);
        DrawTextA(dc, text.text.c_str(), -1, &place, text.format | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteObject(handle);
    }
}

}  // namespace keltora::win32
