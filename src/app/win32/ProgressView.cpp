#include "app/win32/ProgressView.h"

#include <commctrl.h>

namespace keltora::win32 {

namespace {
constexpr UINT_PTR kTimerId = 0x4B50;  // one of ours among the control's own timers
}  // namespace

ProgressView::ProgressView(ProgressBar& model, const CreateArgs& args) : model_(model) {
    create(PROGRESS_CLASSA, "", PBS_SMOOTH, 0, args);
    interceptMessages();
    bind(model);
}

ProgressView::~ProgressView() {
    if (timer_ && IsWindow(hwnd_)) KillTimer(hwnd_, kTimerId);
}

LRESULT ProgressView::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        sendPosition();
        return 0;
    }
    return controlProc(message, wParam, lParam);
}

void ProgressView::modelChanged(Control& model) {
    // The range first: a position beyond the old range would be cut to it.
    if (model_.maximum() != shownMaximum_) {
        shownMaximum_ = model_.maximum();
        SendMessageA(hwnd_, PBM_SETRANGE32, 0, shownMaximum_);
        shownPosition_ = -1;
    }
    // Each position told costs a repaint of the control on some systems.
    if (model_.position() != shownPosition_) {
        if (GetTickCount64() - sentAt_ >= kFrameMs) sendPosition();
        else if (!timer_) timer_ = SetTimer(hwnd_, kTimerId, kFrameMs, nullptr) != 0;
    }
    ControlView::modelChanged(model);
}

void ProgressView::sendPosition() {
    if (timer_) {
        KillTimer(hwnd_, kTimerId);
        timer_ = false;
    }
    sentAt_ = GetTickCount64();
    if (model_.position() == shownPosition_) return;
    shownPosition_ = model_.position();
    SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(shownPosition_), 0);
}

void ProgressView::showPending() {
    if (timer_) sendPosition();
    ControlView::showPending();
}

}  // namespace keltora::win32
