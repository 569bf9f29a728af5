#pragma once
// A panel: a plain child window that groups controls, shows and hides them together, and may
// paint a picture with texts on it. What its children report goes on to the top-level window,
// so a control inside a panel is routed like any other.
#include <string>
#include <vector>

#include "app/win32/ControlView.h"

namespace keltora::win32 {

struct PanelText {
    std::string text;
    RECT place{};
    int height = -12;  // font height in pixels (negative: character height)
    bool bold = false;
    COLORREF colour = RGB(0, 0, 0);
    UINT format = DT_LEFT | DT_SINGLELINE | DT_VCENTER;
};

class PanelView : public ControlView {
public:
    struct Args {
        CreateArgs base;
        int bitmap = 0;  // resource id of a picture drawn at the panel's top left; 0 for none
        COLORREF background = GetSysColor(COLOR_BTNFACE);
        // Static texts drawn straight onto the picture, for texts that never change.
        bool transparentTexts = false;
        std::vector<PanelText> texts;
    };
    // A panel that shows a model (visible as the model says).
    PanelView(Control& model, Args args);
    // A panel that is always there (the banner, the status strip, the page area).
    explicit PanelView(Args args);
    ~PanelView() override;

    COLORREF background() const { return args_.background; }

private:
    void make();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc);

    Args args_;
    HBITMAP picture_ = nullptr;
    HBRUSH brush_ = nullptr;
};

}  // namespace keltora::win32
