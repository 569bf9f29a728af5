#pragma once
#include <string>
#include <vector>

namespace keltora {

// One row of a result list: the first column, the further columns in order, and its check box.
struct Finding {
    std::string caption;
    std::vector<std::string> subItems;
    bool checked = true;

    // Sub-item i (1 is the second column); empty when the row has fewer columns.
    const std::string& subItem(std::size_t i) const;
    bool operator==(const Finding&) const = default;
};

struct Column {
    std::string caption;
    int width = 0;
    bool centred = false;
    bool operator==(const Column&) const = default;
};

}  // namespace keltora
