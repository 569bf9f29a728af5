#pragma once
// The common part of every child window that shows a model: its HWND, its command id, and the
// hooks through which the main window routes WM_COMMAND, WM_NOTIFY and WM_DRAWITEM to it.
#include <windows.h>

#include <optional>
#include <string>

#include "app/win32/Look.h"
#include "scan/Controls.h"

namespace keltora::win32 {

struct Bounds {
    int x = 0, y = 0, width = 0, height = 0;
};

// What every control is created with: its place in pixels of the look's DPI.
struct CreateArgs {
    HWND parent = nullptr;
    Bounds bounds;
    int id = 0;
    HFONT font = nullptr;
    Look look;
};

class ControlView {
public:
    // Lets go of the model, so a model that outlives its window tells nobody.
    virtual ~ControlView();
    ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    HWND hwnd() const { return hwnd_; }
    int id() const { return id_; }

    virtual void onCommand(WORD /*code*/) {}
    virtual LRESULT onNotify(NMHDR* /*header*/, bool& /*handled*/) { return 0; }
    virtual bool onDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // Draws at once what the view put off drawing.
    virtual void showPending();

    // Takes off the screen what was hidden and not shown again since: the controls that overlap
    // a window, or all of them (nullptr). The window applies them before it handles messages,
    // before the logic sleeps and when a command ends.
    static void ApplyPendingHides(HWND overlapping = nullptr);

    // A view draws a change at once at most this often; changes that come faster (a progress bar
    // stepped without pauses) are drawn together, by the next one, by the message loop, or before
    // the logic sleeps.
    static constexpr unsigned kFrameMs = 15;

protected:
    // Creates the window; visible as the model says, enabled as the model says.
    HWND create(const char* windowClass, const std::string& text, DWORD style, DWORD exStyle, const CreateArgs& args);
    // Follows the model's caption, visibility and enabled state from now on.
    void bind(Control& model);
    virtual void modelChanged(Control& model);
    // Puts the view's own procedure in front of the control's: every message to the window
    // reaches onMessage first. Through the window's own data, not a window property, as each
    // property read is a round trip to the window server on some systems, for every message.
    void interceptMessages();
    // What the view does with a message to its window; by default the control's own handling.
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return controlProc(message, wParam, lParam);
    }
    LRESULT controlProc(UINT message, WPARAM wParam, LPARAM lParam) const {
        return CallWindowProcW(controlProc_, hwnd_, message, wParam, lParam);
    }
    // Draws the window now, or within a frame when it was drawn less than a frame ago.
    void drawSoon();
    // Draws the window when the logic next lets the window be seen: before it sleeps, when it
    // handles messages, or when the command ends.
    void drawLater() { drawPending_ = true; }
    void showWindow(bool visible);

    HWND hwnd_ = nullptr;
    int id_ = 0;
    Control* bound_ = nullptr;

private:
    static LRESULT CALLBACK InterceptProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void releaseMessages();

    WNDPROC controlProc_ = nullptr;  // the control's procedure while the view intercepts
    // What the window was last given, so an unchanged state is not sent again.
    struct Shown {
        std::string caption;
        bool enabled;  // the window's own: a control off the screen keeps it until it comes on
        bool visible;
    };
    std::optional<Shown> shown_;
    ULONGLONG drawnAt_ = 0;  // by the tick count
    bool drawPending_ = false;
    bool hidePending_ = false;
};

std::string WindowText(HWND hwnd);

}  // namespace keltora::win32
