#include "app/win32/CheckBoxView.h"

namespace keltora::win32 {

CheckBoxView::CheckBoxView(CheckBox& model, const CreateArgs& args) : model_(model) {
    create("BUTTON", model.caption(), WS_TABSTOP | BS_AUTOCHECKBOX, 0, args);
    bind(model);
}

void CheckBoxView::modelChanged(Control& model) {
    ControlView::modelChanged(model);
    SendMessageA(hwnd_, BM_SETCHECK, model_.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBoxView::onCommand(WORD code) {
    if (code != BN_CLICKED) return;
    model_.setChecked(SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED);
    if (onClick) onClick();
}

}  // namespace keltora::win32
