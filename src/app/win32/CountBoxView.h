#pragma once
// A count box ("2 Errors Found"): an owner-drawn button whose text takes the model's colour, so
// the blink timers can swap it between red and silver.
#include "app/win32/ControlView.h"

namespace keltora::win32 {

class CountBoxView : public ControlView {
public:
    CountBoxView(Control& model, const CreateArgs& args);
    ~CountBoxView() override;

    bool onDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    void modelChanged(Control& model) override;
    Control& model_;
    HFONT bold_ = nullptr;
};

COLORREF ColourOf(Colour colour);

}  // namespace keltora::win32
