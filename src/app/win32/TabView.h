#pragma once
// A page control: shows a TabControl model's tabs and its front tab, and reports the tab the
// user picks. The pages' own controls are siblings laid over the tabs' display area.
#include <functional>

#include "app/TabControl.h"
#include "app/win32/ControlView.h"

namespace keltora::win32 {

class TabView : public ControlView {
public:
    TabView(TabControl& model, const CreateArgs& args);

    LRESULT onNotify(NMHDR* header, bool& handled) override;
    // The user brought another tab to the front; its index.
    std::function<void(int)> onTabChange;

private:
    void modelChanged(Control& model) override;
    TabControl& model_;
};

}  // namespace keltora::win32
