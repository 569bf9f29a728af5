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

CountBoxView::CountBoxView(Control& model, const CreateArgs& args) : model_(model), font_(args.font), look_(args.look) {
    create("BUTTON", model.caption(), BS_OWNERDRAW, 0, args);
    bind(model);
}

void CountBoxView::modelChanged(Control& model) {
    ControlView::modelChanged(model);
    // The colour is not part of the window text: a blink must repaint by itself.
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// The text on one line when it fits, else on two, centred either way: a wider font than the
// design's still shows all of it.
bool CountBoxView::onDrawItem(const DRAWITEMSTRUCT& item) {
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(item.hDC, &box, EDGE_ETCHED, BF_RECT);
    const HGDIOBJ old = SelectObject(item.hDC, font_);
    SetBkMode(item.hDC, TRANSPARENT);
    // Under high contrast the blink is between the text's colour and the grayed text's.
    const bool lit = model_.colour() != Colour::Silver;
    SetTextColor(item.hDC, look_.highContrast ? GetSysColor(lit ? COLOR_BTNTEXT : COLOR_GRAYTEXT)
                                              : ColourOf(model_.colour()));
    InflateRect(&box, -look_.px(kMargin), 0);
    RECT measure = box;
    const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    DrawTextA(item.hDC, model_.caption().c_str(), -1, &measure, format | DT_CALCRECT);
    const int height = measure.bottom - measure.top;
    RECT text{box.left, box.top + (box.bottom - box.top - height) / 2, box.right, 0};
    text.bottom = text.top + height;
    DrawTextA(item.hDC, model_.caption().c_str(), -1, &text, format);
    SelectObject(item.hDC, old);
    return true;
}

}  // namespace keltora::win32
