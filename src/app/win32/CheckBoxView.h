#pragma once
// An option check box: shows a CheckBox model, and on a click of the user takes the new state
// into the model before it reports the click.
#include <functional>

#include "app/win32/ControlView.h"

namespace keltora::win32 {

class CheckBoxView : public ControlView {
public:
    CheckBoxView(CheckBox& model, const CreateArgs& args);

    void onCommand(WORD code) override;
    std::function<void()> onClick;

private:
    void modelChanged(Control& model) override;
    CheckBox& model_;
};

}  // namespace keltora::win32
