#include <gtest/gtest.h>

#include "orchestration/RemovalReport.h"

namespace keltora::testing {
namespace {

// Each kind of outcome gives its mark and its reason; a category that acts on the whole keeps
// no records and is judged by its tally. An unchecked finding stays, for the reason the scan gave
// when it could not offer it, else because the user unchecked it.
TEST(RemovalReport, EachOutcomeSaysWhetherTheFindingGoesAndWhyItStays) {
    const Finding checked{"a", {}, true}, unchecked{"b", {}, false};
    Finding notOffered{"c", {}, false};
    notOffered.staysBecause = "Close Mozilla Firefox to clean";
    struct Row {
        const char* what;
        std::vector<RemovalRecord> records;
        RemovalTally tally;
        std::size_t held;
        bool removed;
        const char* why;
    };
    const Row rows[] = {
        {"removed", {{checked, RemovalOutcome::Removed}}, {}, 0, true, ""},
        {"gone", {{checked, RemovalOutcome::Gone}}, {}, 0, false, "gone already"},
        {"no longer", {{checked, RemovalOutcome::NoLongerAFinding}}, {}, 0, false, "no longer a finding"},
        {"left, said why", {{checked, RemovalOutcome::Left, false, "in use"}}, {}, 0, false, "in use"},
        {"left", {{checked, RemovalOutcome::Left}}, {}, 0, false, "it could not be removed"},
        {"held back", {{checked, RemovalOutcome::Left, true}}, {}, 1, false, "another account"},
        {"whole, emptied", {}, {1, 0, 0, 0}, 0, true, ""},
        {"whole, not emptied", {}, {0, 0, 0, 1}, 0, false, "only as a whole"},
        {"whole, held back", {}, {0, 0, 0, 1}, 1, false, "another account"},
    };
    for (const auto& row : rows) {
        const auto fates = FatesOf({unchecked, notOffered, checked}, row.records, row.tally, row.held);
        ASSERT_EQ(fates.size(), 3u) << row.what;
        EXPECT_FALSE(fates[0].removed || fates[1].removed) << row.what;
        EXPECT_EQ(fates[0].why, "unchecked") << row.what;
        EXPECT_EQ(fates[1].why, notOffered.staysBecause) << row.what;
        EXPECT_EQ(fates[2].removed, row.removed) << row.what;
        EXPECT_NE(fates[2].why.find(row.why), std::string::npos) << row.what << ": " << fates[2].why;
    }
}

}  // namespace
}  // namespace keltora::testing
