// The changes of a removal waiting for their journal entries: written once per group, each made
// only after its entry is on the disk, the ones not made marked so.
#include "scan/ChangeGroup.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "platform/memory/FakeClock.h"

namespace keltora::testing {
namespace {

// Numbers entries, and tells which of them were written and when changes were made.
struct Journal : RegistryJournal {
    JournalEntryNumber record(const RegistryChange&, std::string&) override { return ++recorded; }
    JournalEntryNumber recordMove(const std::string&, const std::string&, const FileIdentity&, std::string&) override {
        return ++recorded;
    }
    bool write(std::string& reason) override {
        if (refuse) reason = "cannot be written";
        if (!refuse) written = recorded;
        ++writes;
        return !refuse;
    }
    void notMade(const std::vector<JournalEntryNumber>& entries) override {
        notMadeEntries.insert(notMadeEntries.end(), entries.begin(), entries.end());
    }
    JournalEntryNumber recorded = 0, written = 0;
    int writes = 0;
    bool refuse = false;
    std::vector<JournalEntryNumber> notMadeEntries;
};

struct Group {
    Journal journal;
    FakeClock clock;
    std::map<std::size_t, RemovalOutcome> outcomes;
    std::vector<std::string> told;
    std::vector<JournalEntryNumber> made;  // entries whose change was made, in order
    ChangeGroup group{journal, clock, [this](std::size_t f, RemovalOutcome o) { outcomes[f] = o; },
                      [this](const std::string& why) { told.push_back(why); }};

    // A change of the finding that tells `outcome` (or raises), checking that its entry is on the disk.
    void add(std::size_t finding, RemovalOutcome outcome, bool raises = false) {
        group.setFinding(finding);
        std::string reason;
        const JournalEntryNumber entry = journal.record({}, reason);
        group.add(entry, [this, entry, outcome, raises] {
            EXPECT_LE(entry, journal.written);
            if (raises) throw std::runtime_error("write failed");
            made.push_back(entry);
            return outcome;
        });
    }
};

TEST(ChangeGroup, WrittenOncePerGroupOfFindingsOrOfTime) {
    Group g;
    for (std::size_t f = 0; f + 1 < ChangeGroup::kLargest; ++f) {
        g.add(f, RemovalOutcome::Removed);
        g.group.settle();
    }
    EXPECT_EQ(g.journal.writes, 0);
    g.add(ChangeGroup::kLargest - 1, RemovalOutcome::Removed);
    g.add(ChangeGroup::kLargest - 1, RemovalOutcome::Removed);  // a second change of the same finding
    g.group.settle();
    EXPECT_EQ(g.journal.writes, 1);
    EXPECT_EQ(g.made.size(), ChangeGroup::kLargest + 1);
    EXPECT_EQ(g.outcomes.size(), ChangeGroup::kLargest);

    const auto at = [&](std::uint64_t ms) {
        g.clock.setSystemTime(FakeClock::kDefaultSystemTime + ms * kFileTimeMillisecond);
    };
    g.add(100, RemovalOutcome::Removed);
    at(ChangeGroup::kLongestMs - 1);
    g.group.settle();
    EXPECT_EQ(g.journal.writes, 1);
    at(ChangeGroup::kLongestMs);
    g.group.settle();
    EXPECT_EQ(g.journal.writes, 2);
    // A clock set back ends the group at once.
    g.add(101, RemovalOutcome::Removed);
    at(0);
    g.group.settle();
    EXPECT_EQ(g.journal.writes, 3);
    g.group.flush();  // nothing waits: nothing is written
    EXPECT_EQ(g.journal.writes, 3);
}

// Each row: the changes of a group (finding, outcome, raises), what each finding comes to, and
// which entries are marked as not made.
TEST(ChangeGroup, WhatIsNotMadeIsMarkedAndTold) {
    struct Change {
        std::size_t finding;
        RemovalOutcome outcome;
        bool raises = false;
    };
    struct Row {
        const char* what;
        std::vector<Change> changes;
        bool refused;
        std::map<std::size_t, RemovalOutcome> outcomes;
        std::vector<JournalEntryNumber> notMade;
        bool raises;
    };
    using O = RemovalOutcome;
    const Row rows[] = {
        {"all made", {{0, O::Removed}, {1, O::Removed}}, false, {{0, O::Removed}, {1, O::Removed}}, {}, false},
        {"a change that failed", {{0, O::Left}, {1, O::Removed}}, false, {{0, O::Left}, {1, O::Removed}}, {1}, false},
        {"a record that goes with a finding whose change failed",
         {{0, O::Left}, {0, O::Removed}, {1, O::Removed}}, false, {{0, O::Left}, {1, O::Removed}}, {1, 2}, false},
        {"a record that goes with a finding removed, itself gone",
         {{0, O::Removed}, {0, O::Gone}}, false, {{0, O::Removed}}, {}, false},
        {"a change that raises", {{0, O::Removed}, {1, O::Removed, true}, {2, O::Removed}}, false,
         {{0, O::Removed}, {1, O::Left}, {2, O::Left}}, {2, 3}, true},
        {"a group the journal refuses", {{0, O::Removed}, {1, O::Removed}}, true, {{0, O::Left}, {1, O::Left}}, {},
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Group g;
        g.journal.refuse = row.refused;
        for (const auto& change : row.changes) g.add(change.finding, change.outcome, change.raises);
        if (row.raises) {
            EXPECT_THROW(g.group.flush(), std::runtime_error);
        } else {
            g.group.flush();
        }
        EXPECT_EQ(g.outcomes, row.outcomes);
        EXPECT_EQ(g.journal.notMadeEntries, row.notMade);
        EXPECT_EQ(g.told.size(), row.refused ? 1u : 0u);
        if (row.refused) {
            EXPECT_TRUE(g.made.empty());
        }
    }
}

}  // namespace
}  // namespace keltora::testing
