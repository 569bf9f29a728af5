#include "app/win32/ControlView.h"

#include <vector>

namespace keltora::win32 {

namespace {

// Views whose window is still on the screen though their model was hidden: a page hides every
// control and shows its own at once, so a control that is shown again before these are applied
// (its page shown anew, a Refresh) never leaves the screen and is not drawn twice.
std::vector<ControlView*>& PendingHides() {
    static std::vector<ControlView*> views;
    return views;
}

bool Overlap(HWND a, HWND b) {
    RECT ra, rb, both;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return IntersectRect(&both, &ra, &rb) != FALSE;
}

}  // namespace

ControlView::~ControlView() {
    if (bound_) bound_->onChange = nullptr;
    std::erase(PendingHides(), this);
    if (controlProc_ && IsWindow(hwnd_)) releaseMessages();
}

void ControlView::interceptMessages() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    controlProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlView::InterceptProc)));
}

// The control gets its window back: when the view goes before the window, or the window before it.
void ControlView::releaseMessages() {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc_));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

LRESULT CALLBACK ControlView::InterceptProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<ControlView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (view == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message != WM_NCDESTROY) return view->onMessage(message, wParam, lParam);
    const WNDPROC control = view->controlProc_;
    view->releaseMessages();
    view->controlProc_ = nullptr;
    return CallWindowProcW(control, hwnd, message, wParam, lParam);
}

void ControlView::ApplyPendingHides(HWND overlapping) {
    auto& pending = PendingHides();
    for (std::size_t i = 0; i < pending.size();) {
        ControlView* view = pending[i];
        if (overlapping && !Overlap(view->hwnd_, overlapping)) {
            ++i;
            continue;
        }
        pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
        view->hidePending_ = false;
        if (view->shown_) view->shown_->visible = false;
        ShowWindow(view->hwnd_, SW_HIDE);
    }
}

void ControlView::showWindow(bool visible) {
    const bool onScreen = shown_ && shown_->visible;
    if (visible) {
        if (hidePending_) {
            hidePending_ = false;
            std::erase(PendingHides(), this);
            return;
        }
        if (onScreen) return;
        // What the page leaves is taken away before what it shows comes in its place.
        ApplyPendingHides(hwnd_);
        ShowWindow(hwnd_, SW_SHOWNA);
    } else if (!shown_) {
        ShowWindow(hwnd_, SW_HIDE);
    } else if (onScreen && !hidePending_) {
        hidePending_ = true;
        PendingHides().push_back(this);
    }
}

HWND ControlView::create(const char* windowClass, const std::string& text, DWORD style, DWORD exStyle,
                         const CreateArgs& args) {
    id_ = args.id;
    hwnd_ = CreateWindowExA(exStyle, windowClass, text.c_str(), style | WS_CHILD, args.bounds.x, args.bounds.y,
                            args.bounds.width, args.bounds.height, args.parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), GetModuleHandleA(nullptr), nullptr);
    if (hwnd_ && args.font) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(args.font), FALSE);
    return hwnd_;
}

void ControlView::bind(Control& model) {
    bound_ = &model;
    model.onChange = [this](Control& changed) { modelChanged(changed); };
    modelChanged(model);
}

void ControlView::modelChanged(Control& model) {
    if (!hwnd_) return;
    // Only what changed is passed on: a progress bar tells its model every step, and each
    // window call is a round trip on some systems.
    if (shown_ ? shown_->caption != model.caption() : WindowText(hwnd_) != model.caption())
        SetWindowTextA(hwnd_, model.caption().c_str());
    // A control off the screen takes its state when it comes on: a long command holds and frees
    // dozens of hidden controls, and no one can see or click them meanwhile.
    bool enabled = shown_ ? shown_->enabled : model.enabled();
    const bool onScreenNow = !shown_ || shown_->visible || model.visible();
    if (!shown_ || (onScreenNow && enabled != model.enabled())) {
        EnableWindow(hwnd_, model.enabled());
        enabled = model.enabled();
    }
    showWindow(model.visible());
    const bool onScreen = model.visible() || hidePending_;
    shown_ = Shown{model.caption(), enabled, onScreen};
    // The logic may run on without pumping messages (a scan pauses by sleeping): draw now.
    if (model.visible()) drawSoon();
}

void ControlView::drawSoon() {
    const ULONGLONG now = GetTickCount64();
    if (now - drawnAt_ < kFrameMs) {
        drawPending_ = true;
        return;
    }
    drawnAt_ = now;
    drawPending_ = false;
    UpdateWindow(hwnd_);
}

// A window off the screen has nothing to draw: it is drawn whole when it comes on.
void ControlView::showPending() {
    if (!drawPending_) return;
    drawPending_ = false;
    drawnAt_ = GetTickCount64();
    if (hwnd_ && IsWindowVisible(hwnd_)) UpdateWindow(hwnd_);
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return text;
}

}  // namespace keltora::win32
