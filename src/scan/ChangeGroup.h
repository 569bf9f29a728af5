#pragma once
// The registry changes of one removal that wait for their journal entries to reach the disk. A
// removal with an undo journal records each change and hands it here instead of making it at
// once. The group is written to the journal with one flush when it holds kLargest findings, when
// kLongestMs have gone by since its first change, before a file move (which is journaled and made
// at once), and at the end of the removal; then its changes are made in the order they were
// recorded, each after its own entry is on the disk, and what became of each finding is told.
// The changes of one finding are made in order, each only while the ones before it were made (a
// record that goes with an item goes only with it); the first one tells the finding's outcome.
// A change that was not made is marked so in the journal before the removal goes on.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "scan/RegistryJournal.h"
#include "scan/RemovalOutcome.h"

namespace keltora {

class ChangeGroup {
public:
    static constexpr std::size_t kLargest = 64;
    static constexpr std::uint64_t kLongestMs = 100;

    using Make = std::function<RemovalOutcome()>;
    // Told what became of a finding whose removal was Pending; and why the journal refused a group.
    using Resolve = std::function<void(std::size_t finding, RemovalOutcome outcome)>;
    using Tell = std::function<void(const std::string& reason)>;

    ChangeGroup(RegistryJournal& journal, Clock& clock, Resolve resolve, Tell tell);
    ChangeGroup(const ChangeGroup&) = delete;
    ChangeGroup& operator=(const ChangeGroup&) = delete;

    // The finding whose changes are added from now on.
    void setFinding(std::size_t finding) { finding_ = finding; }
    // A change whose entry the journal recorded (not yet written): made by `make`, which tells
    // what became of the item, once the group is on the disk.
    void add(JournalEntryNumber entry, Make make);
    // Writes and makes the group when it is full or has waited long enough.
    void settle();
    // Writes and makes the group now. A change that raises ends it: that change and the ones
    // after it are not made (their findings are told Left), and the error goes on.
    void flush();

private:
    struct Change {
        std::size_t finding;
        JournalEntryNumber entry;
        Make make;
    };
    void makeAll(std::vector<Change>& changes);

    RegistryJournal& journal_;
    Clock& clock_;
    Resolve resolve_;
    Tell tell_;
    std::size_t finding_ = 0;
    std::vector<Change> changes_;
    std::size_t findings_ = 0;     // distinct findings among changes_
    std::uint64_t startedAt_ = 0;  // when the first of changes_ was added (the clock's system time)
};

}  // namespace keltora
