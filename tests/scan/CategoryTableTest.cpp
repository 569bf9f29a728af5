#include <gtest/gtest.h>

#include <set>

#include "scan/CategoryTable.h"

namespace keltora {
namespace {

TEST(CategoryTable, RowsAreInSummaryOrderWithUniqueNamesAndPageTypes) {
    std::set<std::string_view> codes, lists, handlers;
    std::set<int> pageTypes;
    for (std::size_t i = 0; i < kCategories.size(); ++i) {
        const auto& info = kCategories[i];
        EXPECT_EQ(info.summaryRow, static_cast<int>(i) + 1) << info.code;
        EXPECT_TRUE(codes.insert(info.code).second) << info.code;
        EXPECT_TRUE(lists.insert(info.listName).second) << info.code;
        EXPECT_TRUE(handlers.insert(info.menuHandler).second) << info.code;
        const auto group = info.summaryRow > 20                                ? kGroupWindows
                           : info.summaryRow >= 10 && info.summaryRow <= 19 ? kGroupPrivacy
                                                                            : kGroupRegistry;
        EXPECT_EQ(info.group, group) << info.code;
        EXPECT_EQ(CountsAsPrivacy(info), group != kGroupRegistry) << info.code;
        if (info.page == PageButtons::Shared) {
            EXPECT_TRUE(pageTypes.insert(info.sharedPageType).second) << info.code;
            EXPECT_EQ(CategoryForPageType(info.sharedPageType), &info);
        } else {
            EXPECT_EQ(info.sharedPageType, 0) << info.code;
        }
    }
    EXPECT_EQ(pageTypes, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(FindCategory("nope"), nullptr);
}

}  // namespace
}  // namespace keltora
