#include <gtest/gtest.h>

#include "scan/ResultList.h"

namespace keltora::testing {
namespace {

// What a view hears decides what it repaints: checking every row at once must reach it as one
// notice for the whole list, and only when a row really changed.
TEST(ResultList, CheckingAllRowsIsOneNoticeAndOnlyWhenSomethingChanged) {
    ResultList list("lv");
    for (const char* caption : {"a", "b", "c"}) list.add(Finding{caption, {}, true});
    std::vector<ResultList::Change> heard;
    list.onListChange = [&](ResultList&, ResultList::Change change, std::size_t) { heard.push_back(change); };

    list.setAllChecked(true);
    EXPECT_TRUE(heard.empty());
    list.setChecked(1, false);
    list.setAllChecked(false);
    EXPECT_EQ(heard, (std::vector<ResultList::Change>{ResultList::Change::Row, ResultList::Change::Rows}));
    for (const auto& finding : list.findings()) EXPECT_FALSE(finding.checked);
    list.setAllChecked(false);
    EXPECT_EQ(heard.size(), 2u);
}

}  // namespace
}  // namespace keltora::testing
