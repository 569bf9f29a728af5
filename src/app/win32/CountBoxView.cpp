#include "app/win32/CountBoxView.h"

namespace keltora::win32 {

COLORREF ColourOf(Colour colour) {
    switch (colour) {
        case Colour::Red:
            return RGB(255, 0, 0);
        case Colour::Silver:
            return RGB(192, 192, 192);
        case Colour::Black:
            break;
    }
    return RGB(0, 0, 0);
}

CountBoxView::CountBoxView(Control& model, const CreateArgs& args) : model_(model) {
    create("BUTTON", model.caption(), BS_OWNERDRAW, 0, args);
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfWeight = FW_BOLD;
    lstrcpyA(font.lfFaceName, "Tahoma");
    bold_ = CreateFontIndirectA(&font);
    bind(model);
}

CountBoxView::~CountBoxView() {
    if (bold_) DeleteObject(bold_);
}

void CountBoxView::modelChanged(Control& model) {
    ControlView::modelChanged(model);
    // The colour is not part of the window text: a blink must repaint by itself.
    InvalidateRect(hwnd_, nullptr, TRUE);
}

bool CountBoxView::onDrawItem(const DRAWITEMSTRUCT& item) {
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(item.hDC, &box, EDGE_ETCHED, BF_RECT);
    const HGDIOBJ old = SelectObject(item.hDC, bold_);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, ColourOf(model_.colour()));
    DrawTextA(item.hDC, model_.caption().c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, old);
    return true;
}

}  // namespace keltora::win32
