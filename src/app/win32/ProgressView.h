#pragma once
// A progress bar from 0 to its model's maximum that shows a ProgressBar model. A bar stepped
// faster than a frame (a ramp without pauses, the optimizer's walk) is told its position once
// a frame: the last one comes by a timer, or before the logic sleeps.
#include "app/win32/ControlView.h"

namespace keltora::win32 {

class ProgressView : public ControlView {
public:
    ProgressView(ProgressBar& model, const CreateArgs& args);
    ~ProgressView() override;
    void showPending() override;

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void modelChanged(Control& model) override;
    void sendPosition();

    ProgressBar& model_;
    int shownPosition_ = -1;  // what the control was last told
    int shownMaximum_ = -1;
    ULONGLONG sentAt_ = 0;    // by the tick count
    bool timer_ = false;
};

}  // namespace keltora::win32
