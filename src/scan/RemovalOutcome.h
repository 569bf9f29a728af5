#pragma once
// What a removal did with one checked finding.
namespace keltora {

// Only Removed and Left are about the finding as listed: Gone means someone else removed it
// meanwhile, NoLongerAFinding that the reason it was listed no longer holds (nothing was
// changed); both leave the list, neither counts as removed. Pending: its change waits for its
// journal entry to reach the disk, with the changes of other findings (ChangeGroup); what became
// of it is known once that group is written and made.
enum class RemovalOutcome { Removed, Gone, NoLongerAFinding, Left, Pending };

// Removed, or about to be once its journal entry is on the disk: what a change that follows the
// finding's own (a record that goes with it) waits for.
inline bool RemovedOrPending(RemovalOutcome outcome) {
    return outcome == RemovalOutcome::Removed || outcome == RemovalOutcome::Pending;
}

}  // namespace keltora
