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

PanelView::PanelView(Control& model, Args args) : args_(std::move(args)) {
    make();
    bind(model);
}

PanelView::PanelView(Args args) : args_(std::move(args)) {
    make();
    ShowWindow(hwnd_, SW_SHOWNA);
}

PanelView::~PanelView() {
    if (picture_) DeleteObject(picture_);
    if (brush_) DeleteObject(brush_);
}

void PanelView::make() {
    RegisterPanelClass();
    brush_ = CreateSolidBrush(args_.background);
    if (args_.bitmap)
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
            if (self->args_.transparentTexts) {
                SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            }
            SetBkColor(dc, self->args_.background);
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
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    SetBkMode(dc, TRANSPARENT);
    for (const auto& text : args_.texts) {
        LOGFONTA font{};
        font.lfHeight = text.height;
        font.lfWeight = text.bold ? FW_BOLD : FW_NORMAL;
        font.lfQuality = ANTIALIASED_QUALITY;
        lstrcpyA(font.lfFaceName, "Tahoma");
        HFONT handle = CreateFontIndirectA(&font);
        const HGDIOBJ old = SelectObject(dc, handle);
        SetTextColor(dc, text.colour);
        RECT place = text.place;
        DrawTextA(dc, text.text.c_str(), -1, &place, text.format | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteObject(handle);
    }
}

}  // namespace keltora::win32
