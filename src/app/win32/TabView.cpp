#include "app/win32/TabView.h"

#include <commctrl.h>

namespace keltora::win32 {

TabView::TabView(TabControl& model, const CreateArgs& args) : model_(model) {
    // More rows of tabs rather than hidden ones, when the font needs more room than one row has;
    // each row as full as its tabs make it (evened-out rows of as many tabs each can leave a row
    // wider than the control, and its tabs then narrower than their captions).
    create(WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPSIBLINGS | TCS_MULTILINE | TCS_RAGGEDRIGHT, 0, args);
    // The margins beside each tab's caption, at the look's DPI.
    SendMessageA(hwnd_, TCM_SETPADDING, 0, MAKELPARAM(args.look.px(6), args.look.px(3)));
    for (std::size_t i = 0; i < model.tabs().size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(model.tabs()[i].c_str());
        SendMessageA(hwnd_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    bind(model);
}

void TabView::modelChanged(Control& model) {
    if (SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0) != model_.index())
        SendMessageA(hwnd_, TCM_SETCURSEL, model_.index(), 0);
    ControlView::modelChanged(model);
    // Keep the tab strip below the lists laid over it.
    SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT TabView::onNotify(NMHDR* header, bool& handled) {
    if (header->code != TCN_SELCHANGE) return 0;
    handled = true;
    if (onTabChange) onTabChange(static_cast<int>(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0)));
    return 0;
}

}  // namespace keltora::win32
