#include "app/win32/ControlView.h"

namespace keltora::win32 {

ControlView::~ControlView() {
    if (bound_) bound_->onChange = nullptr;
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
    if (!shown_ || shown_->enabled != model.enabled()) EnableWindow(hwnd_, model.enabled());
    if (!shown_ || shown_->visible != model.visible()) ShowWindow(hwnd_, model.visible() ? SW_SHOWNA : SW_HIDE);
    shown_ = Shown{model.caption(), model.enabled(), model.visible()};
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

void ControlView::showPending() {
    if (!drawPending_) return;
    drawPending_ = false;
    drawnAt_ = GetTickCount64();
    if (hwnd_) UpdateWindow(hwnd_);
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return text;
}

}  // namespace keltora::win32
