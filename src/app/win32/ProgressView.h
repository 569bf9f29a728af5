#pragma once
// A progress bar from 0 to its model's maximum that shows a ProgressBar model.
#include "app/win32/ControlView.h"

namespace keltora::win32 {

class ProgressView : public ControlView {
public:
    ProgressView(ProgressBar& model, const CreateArgs& args);

private:
    void modelChanged(Control& model) override;
    ProgressBar& model_;
    int shownPosition_ = -1;  // what the control was last told
    int shownMaximum_ = -1;
};

}  // namespace keltora::win32
