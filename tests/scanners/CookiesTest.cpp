#include <gtest/gtest.h>

#include <set>

#include "scanners/PrivacyMachine.h"
#include "scanners/privacy/Cookies.h"

namespace keltora::testing {
namespace {

TEST(CookieKeywords, AreTheTableInItsOrder) {
    const auto keywords = CookieKeywords();
    ASSERT_EQ(keywords.size(), 192u);
    EXPECT_EQ(keywords.front(), "yahoo");
    EXPECT_EQ(keywords[4], "ads");
    EXPECT_EQ(keywords[141], "go");
    EXPECT_EQ(keywords.back(), "unicast");
    std::set<std::string_view> distinct;
    for (auto keyword : keywords) {
        EXPECT_FALSE(keyword.empty());
        distinct.insert(keyword);
    }
    EXPECT_EQ(distinct.size(), 192u);
}

struct NameRow {
    const char* name;
    const char* keyword;  // the first keyword the name holds; "" for none
};

TEST(CookieKeywords, CaseSensitiveSubstringOfTheName) {
    const NameRow rows[] = {
        {"pat@google[1].txt", "google"},
        {"pat@GOOGLE[1].txt", ""},
        {"pat@adClutter[2].txt", "adClutter"},
        {"pat@adclutter[2].txt", ""},
        {"pat@x.adSwap[1].txt", "adSwap"},
        {"pat@x.adswap[1].txt", "ads"},  // not adSwap, but "ads" is in it
        {"pat@deferAds[1].txt", "deferAds"},
        {"pat@yahoo.doubleclick[1].txt", "yahoo"},
        {"pat@example[1].txt", ""},
        {"gordon@example[1].txt", "go"},
    };
    for (const auto& row : rows) EXPECT_EQ(CookieKeywordIn(row.name), row.keyword) << row.name;
}

class CookieScan : public ::testing::Test {
protected:
    CookieScan() : world(kUserFolders) {}
    std::vector<std::string> scan() {
        Invoke(world.start(), "CookiesExecute");
        return Captions(world.form->category("co").list());
    }
    World world;
};

TEST_F(CookieScan, ReportsTxtFilesWithAKeywordOnce) {
    auto& files = world.machine.files;
    files.addFile(kCookies + "pat@doubleclick.yahoo[1].txt", 1536);
    files.addFile(kCookies + "pat@example[1].txt", 10);
    files.addFile(kCookies + "pat@GOOGLE[1].txt", 10);
    files.addFile(kCookies + "pat@google[1].cookie", 10);
    files.addFile(kCookies + "index.dat", 10);
    files.addFile(kCookies + "Low\\pat@google[1].txt", 10);
    EXPECT_EQ(scan(), (std::vector<std::string>{"pat@doubleclick.yahoo[1].txt"}));
    EXPECT_EQ(world.form->category("co").list().at(0).subItems,
              (std::vector<std::string>{"Remove", "All items listed in Cookies", kCookies, "1.50 KB"}));
    EXPECT_EQ(world.form->lastCount, 1);
}

TEST_F(CookieScan, PacesTwoRampsWithoutPausePerFinding) {
    world.machine.files.addFile(kCookies + "pat@google[1].txt", 1);
    world.machine.files.addFile(kCookies + "pat@yahoo[1].txt", 1);
    TForm1& form = world.start();
    world.machine.clock.reset();
    Invoke(form, "CookiesExecute");
    EXPECT_EQ(world.machine.clock.totalMs(), 102u * 30u);
    EXPECT_EQ(form.category("co").list().columns()[1], (Column{"Repair Report", 100}));
}

TEST_F(CookieScan, EmptyCookiesValueNeverSearchesTheDriveRoot) {
    world.load(WithoutShellFolder("Cookies"));
    world.machine.files.addFile("C:\\google.txt", 1);
    EXPECT_TRUE(scan().empty());
}

TEST_F(CookieScan, PageRemovalKeepsUncheckedAndLockedFiles) {
    for (const char* name : {"a@google[1].txt", "b@google[1].txt", "c@google[1].txt"})
        world.machine.files.addFile(kCookies + name, 1);
    TForm1& form = world.start();
    Invoke(form, "Cookies1Click");
    EXPECT_EQ(form.statustext.caption(), "  Status : Scanned Cookies");
    EXPECT_EQ(form.lvall.at(17).subItem(1), "3");
    world.machine.files.lock(kCookies + "c@google[1].txt");
    form.category("co").list().setChecked(1, false);
    Invoke(form, "OBco3Click");

    EXPECT_EQ(Captions(form.category("co").list()), (std::vector<std::string>{"b@google[1].txt", "c@google[1].txt"}));
    EXPECT_FALSE(world.files().exists(kCookies + "a@google[1].txt"));
    EXPECT_EQ(form.statustext.caption(), "  Status : Repaired Cookies");
    EXPECT_EQ(form.Oberror.caption(), "2 Errors Found");
    EXPECT_EQ(form.lvall.at(17).subItem(1), "2");
    // "Refresh" finds the locked file again.
    world.machine.files.unlock(kCookies + "c@google[1].txt");
    Invoke(form, "OBco4Click");
    EXPECT_EQ(form.category("co").list().size(), 2u);
}

}  // namespace
}  // namespace keltora::testing
