#include "scan/ChangeGroup.h"

#include <utility>

namespace keltora {

ChangeGroup::ChangeGroup(RegistryJournal& journal, Clock& clock, Resolve resolve, Tell tell)
    : journal_(journal), clock_(clock), resolve_(std::move(resolve)), tell_(std::move(tell)) {}

void ChangeGroup::add(JournalEntryNumber entry, Make make) {
    if (changes_.empty()) startedAt_ = clock_.systemTime();
    if (changes_.empty() || changes_.back().finding != finding_) ++findings_;
    changes_.push_back({finding_, entry, std::move(make)});
}

// A clock set back meanwhile ends the group early, which costs one flush more and nothing else.
void ChangeGroup::settle() {
    if (changes_.empty()) return;
    const std::uint64_t now = clock_.systemTime();
    if (findings_ >= kLargest || now < startedAt_ || now - startedAt_ >= kLongestMs * kFileTimeMillisecond) flush();
}

void ChangeGroup::flush() {
    if (changes_.empty()) return;
    std::vector<Change> changes = std::move(changes_);
    changes_.clear();
    findings_ = 0;
    std::string reason;
    if (!journal_.write(reason)) {
        if (!reason.empty()) tell_(reason);
        for (const auto& change : changes) resolve_(change.finding, RemovalOutcome::Left);
        return;
    }
    makeAll(changes);
}

// The changes not made are marked so in the journal, on the disk before the removal goes on.
void ChangeGroup::makeAll(std::vector<Change>& changes) {
    std::vector<JournalEntryNumber> notMade;
    std::size_t i = 0;
    try {
        bool going = true;  // every change of this finding so far was made
        for (; i < changes.size(); ++i) {
            Change& change = changes[i];
            const bool first = i == 0 || changes[i - 1].finding != change.finding;
            if (first) going = true;
            const RemovalOutcome outcome = going ? change.make() : RemovalOutcome::Left;
            if (outcome == RemovalOutcome::Left) notMade.push_back(change.entry);
            going = going && outcome == RemovalOutcome::Removed;
            if (first) resolve_(change.finding, outcome);
        }
    } catch (...) {
        for (; i < changes.size(); ++i) {
            notMade.push_back(changes[i].entry);
            resolve_(changes[i].finding, RemovalOutcome::Left);
        }
        journal_.notMade(notMade);
        throw;
    }
    if (!notMade.empty()) journal_.notMade(notMade);
}

}  // namespace keltora
