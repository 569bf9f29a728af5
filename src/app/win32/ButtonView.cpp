#include "app/win32/ButtonView.h"

#include <commctrl.h>

namespace keltora::win32 {

namespace {

void AddTooltip(HWND button, const char* tip) {
    HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetAncestor(button, GA_ROOT), nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(button);
    info.uId = reinterpret_cast<UINT_PTR>(button);
    info.lpszText = const_cast<char*>(tip);
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

ButtonView::ButtonView(Control& model, const Args& args) {
    create("BUTTON", model.caption(), WS_TABSTOP | BS_PUSHBUTTON, 0, args.base);
    if (args.tip) AddTooltip(hwnd_, args.tip);
    bind(model);
}

void ButtonView::onCommand(WORD code) {
    if (code == BN_CLICKED && onClick) onClick();
}

}  // namespace keltora::win32
