#pragma once
// A static text that shows a Label model, or a fixed text when it has none.
#include <string>

#include "app/win32/ControlView.h"

namespace keltora::win32 {

class LabelView : public ControlView {
public:
    struct Args {
        CreateArgs base;
        DWORD align = SS_LEFT;
    };
    LabelView(Control& model, const Args& args);
    // A caption that never changes: shown as long as its parent is.
    LabelView(const std::string& text, const Args& args);
};

}  // namespace keltora::win32
