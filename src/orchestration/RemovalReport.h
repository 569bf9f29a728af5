#pragma once
// What a removal did, or would do in a dry run, with every finding of a category's list as it
// stood before: the console's preview shows it finding by finding.
#include <string>
#include <vector>

#include "scan/ScanContext.h"

namespace keltora {

struct FindingFate {
    Finding finding;
    bool removed = false;  // removed, or would be in a dry run
    std::string why;       // why it stays, when it does
    std::vector<std::string> takes{};  // what it stands for, one by one (RemovalRecord::takes)
};

// The list as it stood, merged with the removal run's records (one per checked finding, in list
// order). A category that acts on the whole (the Recycle Bin, the clipboard), or whose removal
// did not run at all, keeps none: its tally tells what became of its checked findings, and
// heldBack how many were one user's data left in place.
std::vector<FindingFate> FatesOf(const std::vector<Finding>& before, const std::vector<RemovalRecord>& records,
                                 const RemovalTally& tally, std::size_t heldBack);

}  // namespace keltora
