#pragma once
// A push button that shows a Button model and reports clicks.
#include <functional>

#include "app/win32/ControlView.h"

namespace keltora::win32 {

class ButtonView : public ControlView {
public:
    struct Args {
        CreateArgs base;
        const char* tip = nullptr;  // a short hint, shown as the button's tooltip by the window
    };
    ButtonView(Control& model, const Args& args);

    void onCommand(WORD code) override;
    std::function<void()> onClick;
};

}  // namespace keltora::win32
