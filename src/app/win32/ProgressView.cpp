#include "app/win32/ProgressView.h"

#include <commctrl.h>

namespace keltora::win32 {

ProgressView::ProgressView(ProgressBar& model, const CreateArgs& args) : model_(model) {
    create(PROGRESS_CLASSA, "", PBS_SMOOTH, 0, args);
    bind(model);
}

void ProgressView::modelChanged(Control& model) {
    // The range first: a position beyond the old range would be cut to it.
    if (model_.maximum() != shownMaximum_) {
        shownMaximum_ = model_.maximum();
        SendMessageA(hwnd_, PBM_SETRANGE32, 0, shownMaximum_);
        shownPosition_ = -1;
    }
    if (model_.position() != shownPosition_) {
        shownPosition_ = model_.position();
        SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(shownPosition_), 0);
    }
    ControlView::modelChanged(model);
}

}  // namespace keltora::win32
