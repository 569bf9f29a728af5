#include "app/win32/LabelView.h"

namespace keltora::win32 {

namespace {
// SS_NOPREFIX: "&" in a path or a value name is shown as it is.
constexpr DWORD kStyle = SS_NOPREFIX | SS_LEFTNOWORDWRAP;
}  // namespace

LabelView::LabelView(Control& model, const Args& args) {
    create("STATIC", model.caption(), kStyle | (args.align == SS_LEFT ? 0 : args.align), 0, args.base);
    bind(model);
}

LabelView::LabelView(const std::string& text, const Args& args) {
    create("STATIC", text, WS_VISIBLE | kStyle | (args.align == SS_LEFT ? 0 : args.align), 0, args.base);
}

}  // namespace keltora::win32
