#pragma once
// A progress bar from 0 to 100 that shows a ProgressBar model.
#include "app/win32/ControlView.h"

namespace keltora::win32 {

class ProgressView : public ControlView {
public:
    ProgressView(ProgressBar& model, const CreateArgs& args);

private:
    void modelChanged(Control& model) override;
    ProgressBar& model_;
};

}  // namespace keltora::win32
