#include <gtest/gtest.h>

#include "scan/ResultList.h"
#include "support/World.h"

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

int Sign(int value) { return (value > 0) - (value < 0); }

// Sizes and numbers by value, the backup list's dates and times by when they are, texts without
// regard to case.
TEST(ResultList, CellsCompareByWhatTheySay) {
    struct Row {
        const char* a;
        const char* b;
        int order;
    };
    for (const Row& row : {Row{"1.50 KB", "3.00 GB", -1}, Row{"900 bytes", "1.00 KB", -1}, Row{"2.00 MB", "512.00 KB", 1},
                           Row{"10", "9", 1}, Row{"7/1/2026", "12/31/2025", 1}, Row{"9:05:03 AM", "1:00:00 PM", -1},
                           Row{"12:30:00 AM", "1:00:00 AM", -1}, Row{"apple", "Banana", -1}, Row{"B", "b", 0}}) {
        EXPECT_EQ(Sign(CompareCells(row.a, row.b)), row.order) << row.a << " / " << row.b;
        EXPECT_EQ(Sign(CompareCells(row.b, row.a)), -row.order) << row.b << " / " << row.a;
    }
}

std::vector<std::string> Shown(const ResultList& list) {
    std::vector<std::string> shown;
    for (std::size_t position = 0; position < list.size(); ++position)
        shown.push_back(list.at(list.rowShownAt(position)).caption);
    return shown;
}

TEST(ResultList, AHeaderClickSortsUpThenDownAndTheOrderHoldsUntilTheColumnsChange) {
    ResultList list("lv");
    list.setColumns({{"Name", 100}, {"Size", 80}});
    for (const auto& [name, size] : std::vector<std::pair<const char*, const char*>>{
             {"c", "3.00 GB"}, {"a", "1.50 KB"}, {"b", "12 bytes"}, {"d", "1.50 KB"}})
        list.add(Finding{name, {size}, true});
    list.sortBy(1);
    EXPECT_EQ(Shown(list), (std::vector<std::string>{"b", "a", "d", "c"}));  // equal sizes keep their order
    list.sortBy(1);
    EXPECT_EQ(Shown(list), (std::vector<std::string>{"c", "a", "d", "b"}));
    EXPECT_FALSE(list.order().ascending());

    list.add(Finding{"e", {"2.00 MB"}, true});
    list.remove(1);  // "a"
    EXPECT_EQ(Shown(list), (std::vector<std::string>{"c", "e", "d", "b"}));
    EXPECT_EQ(list.positionOf(0), 0u);
    EXPECT_EQ(list.positionOf(3), 1u);

    list.clear();  // a scan anew, with the same columns
    list.setColumns({{"Name", 100}, {"Size", 80}});
    for (const char* name : {"x", "y"}) list.add(Finding{name, {"1"}, true});
    list.add(Finding{"z", {"5"}, true});
    EXPECT_EQ(Shown(list), (std::vector<std::string>{"z", "x", "y"}));
    list.setColumns({{"Other", 100}});
    EXPECT_EQ(Shown(list), (std::vector<std::string>{"x", "y", "z"}));

    list.setSortable(false);
    list.sortBy(0);
    EXPECT_FALSE(list.order().sorted());
}

// What stays after a removal is shown in the order it was shown in before.
TEST(ResultList, ARemovalKeepsTheOrderShownOfWhatStays) {
    World world(
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
        "Run]\n\"Beta\"=\"b\"\n\"Delta\"=\"d\"\n\"Alpha\"=\"a\"\n\"Gamma\"=\"g\"\n");
    TForm1& form = world.start();
    form.invoke("RunningWhileStartup1Click");
    ResultList& list = form.category("sp").list();
    list.sortBy(0);
    list.sortBy(0);
    ASSERT_EQ(Shown(list), (std::vector<std::string>{"Gamma", "Delta", "Beta", "Alpha"}));
    for (std::size_t row = 0; row < list.size(); ++row) list.setChecked(row, list.at(row).caption == "Delta");
    form.invoke("OBsp3Click");
    EXPECT_EQ(Shown(list), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));
}

}  // namespace
}  // namespace keltora::testing
