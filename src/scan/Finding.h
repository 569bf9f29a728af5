#pragma once
#include <string>
#include <vector>

#include "platform/FileIdentity.h"

namespace keltora {

// One row of a result list: the first column, the further columns in order, and its check box.
struct Finding {
    std::string caption;
    std::vector<std::string> subItems;
    bool checked = true;
    // The item a removal acts on, in the UTF-16 form Windows keeps its name in, where the ANSI
    // texts of the row could name another item (a name with characters outside the code page,
    // or look-alikes the code page maps onto plain letters): the item's own name, and the key or
    // folder it is in. Empty when the ANSI texts name the item exactly.
    std::u16string exactName{};
    std::u16string exactLocation{};
    // A file finding: what the file and its folder were when the scan listed them. A removal
    // acts only on that very file, whatever path leads to it.
    FileIdentity listedFile{};
    FileIdentity listedFolder{};
    // Why a finding the scan listed unchecked cannot be taken now (a browser that runs, a
    // database it cannot read): what a preview says of it. Empty when it is unchecked by the
    // user's choice. Never stored: the scan sets it anew.
    std::string staysBecause{};

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
