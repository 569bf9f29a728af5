#pragma once
// A page control: a row of tabs, one of them active. Showing a tab is a command of the window;
// the model only says which tab is in front.
#include <string>
#include <utility>
#include <vector>

#include "scan/Controls.h"

namespace keltora {

class TabControl : public Control {
public:
    TabControl(std::string name, std::vector<std::string> tabs) : Control(std::move(name)), tabs_(std::move(tabs)) {}

    const std::vector<std::string>& tabs() const { return tabs_; }
    int index() const { return index_; }
    void setIndex(int index) {
        if (index < 0 || index >= static_cast<int>(tabs_.size())) return;
        update(index_, index);
    }

private:
    std::vector<std::string> tabs_;
    int index_ = 0;
};

}  // namespace keltora
