#pragma once
// A group box: a frame with a caption around a group of controls.
#include "app/win32/ControlView.h"

namespace keltora::win32 {

class GroupBoxView : public ControlView {
public:
    GroupBoxView(Control& model, const CreateArgs& args);
};

}  // namespace keltora::win32
