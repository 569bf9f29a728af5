#pragma once
// A count box ("2 Errors Found"): an owner-drawn button whose text takes the model's colour, so
// the blink timers can swap it between red and silver.
#include "app/win32/ControlView.h"

namespace keltora::win32 {

class CountBoxView : public ControlView {
public:
    // The box's font comes with the arguments; the text keeps kMargin (design pixels) to the edges.
    CountBoxView(Control& model, const CreateArgs& args);
    static constexpr int kMargin = 4;

    bool onDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    void modelChanged(Control& model) override;
    Control& model_;
    HFONT font_;
    Look look_;
};

COLORREF ColourOf(Colour colour);

}  // namespace keltora::win32
