#pragma once
// A panel: a plain child window that groups controls, shows and hides them together, and may
// paint a picture with texts on it. What its children report goes on to the top-level window,
// so a control inside a panel is routed like any other.
#include <string>
#include <vector>

#include "app/win32/ControlView.h"

namespace keltora::win32 {

// A text drawn on a panel; its place and height are the design's, at 96 DPI.
struct PanelText {
    std::string text;
    RECT place{};
    int height = -12;  // font height in pixels (negative: character height)
    bool bold = false;
    COLORREF colour = RGB(0, 0, 0);
    UINT format = DT_LEFT | DT_SINGLELINE | DT_VCENTER;
};

// The font and the place of a panel's text at a look's DPI.
HFONT PanelFont(const Look& look, const PanelText& text);
RECT PanelTextPlace(const Look& look, const PanelText& text);

class PanelView : public ControlView {
public:
    struct Args {
        CreateArgs base;
        // Resource id of a picture drawn at the panel's top left, scaled to the look's DPI; 0 for
        // none. Under high contrast the panel shows the system's colours instead.
        int bitmap = 0;
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

    // The panel a window shows; nullptr for a window that is no panel.
    static const PanelView* Of(HWND window);
    COLORREF background() const { return background_; }
    const std::vector<PanelText>& texts() const { return args_.texts; }
    const Look& look() const { return look_; }

private:
    void make();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc);

    Args args_;
    Look look_;
    COLORREF background_;
    HBITMAP picture_ = nullptr;
    HBRUSH brush_ = nullptr;
};

}  // namespace keltora::win32
