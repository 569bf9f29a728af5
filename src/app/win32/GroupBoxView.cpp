#include "app/win32/GroupBoxView.h"

namespace keltora::win32 {

GroupBoxView::GroupBoxView(Control& model, const CreateArgs& args) {
    create("BUTTON", model.caption(), BS_GROUPBOX, 0, args);
    bind(model);
}

}  // namespace keltora::win32
