#include "app/win32/ProgressView.h"

#include <commctrl.h>

namespace keltora::win32 {

ProgressView::ProgressView(ProgressBar& model, const CreateArgs& args) : model_(model) {
    create(PROGRESS_CLASSA, "", PBS_SMOOTH, 0, args);
    SendMessageA(hwnd_, PBM_SETRANGE32, 0, 100);
    bind(model);
}

void ProgressView::modelChanged(Control& model) {
    SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(model_.position()), 0);
    ControlView::modelChanged(model);
}

}  // namespace keltora::win32
