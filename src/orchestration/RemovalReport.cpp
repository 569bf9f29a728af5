#include "orchestration/RemovalReport.h"

namespace keltora {

namespace {

constexpr const char* kUnchecked = "unchecked";
constexpr const char* kHeldBack = "one user's data, and this process runs as another account";
constexpr const char* kNotRemoved = "it could not be removed";
constexpr const char* kNotWhole = "the category is emptied only as a whole, and it would not be now";

std::string whyStays(const RemovalRecord& record) {
    if (record.heldBack) return record.why.empty() ? kHeldBack : record.why;
    switch (record.outcome) {
        case RemovalOutcome::Removed: return "";
        case RemovalOutcome::Gone: return "gone already";
        case RemovalOutcome::NoLongerAFinding: return "no longer a finding: the reason it was listed no longer holds";
        case RemovalOutcome::Left:
        case RemovalOutcome::Pending: break;
    }
    return record.why.empty() ? kNotRemoved : record.why;
}

}  // namespace

std::vector<FindingFate> FatesOf(const std::vector<Finding>& before, const std::vector<RemovalRecord>& records,
                                 const RemovalTally& tally, std::size_t heldBack) {
    std::vector<FindingFate> fates;
    auto record = records.begin();
    // Without records the whole went, or none of it did.
    const bool wholeRemoved = tally.removed > 0 && tally.left == 0;
    for (const auto& finding : before) {
        // Unchecked: by the user's choice, or because the scan could not offer it.
        FindingFate fate{finding, false, finding.staysBecause.empty() ? kUnchecked : finding.staysBecause};
        if (finding.checked && record != records.end()) {
            fate.removed = record->outcome == RemovalOutcome::Removed && !record->heldBack;
            if (fate.removed) fate.takes = record->takes;
            fate.why = whyStays(*record++);
        } else if (finding.checked) {
            fate.removed = wholeRemoved && heldBack == 0;
            fate.why = fate.removed ? "" : heldBack > 0 ? kHeldBack : kNotWhole;
        }
        fates.push_back(std::move(fate));
    }
    return fates;
}

}  // namespace keltora
