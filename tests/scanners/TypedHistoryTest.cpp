#include <gtest/gtest.h>

#include "scanners/PrivacyMachine.h"

namespace keltora::testing {
namespace {

constexpr const char* kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr const char* kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

struct KeyRow {
    const char* code;
    const char* key;
    const char* location;
    int pageType;
    int summaryRow;
};

const KeyRow kKeys[] = {
    {"url", kTypedUrls, "HKCU\\Software\\Microsoft\\Internet Explorer\\TypedURLs", 10, 8},
    {"run", kRunMru, "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", 4, 9},
};

std::string keyText(const char* key, const std::string& values) {
    return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" + std::string(key) + "]\n" + values;
}

const std::string kValues = "\"url1\"=\"http://example.com/\"\n\"MRUList\"=\"ba\"\n\"a\"=\"" + std::string(256, 'w') +
                            "\"\n\"b=c\"=dword:00000001\n";

TEST(TypedHistory, ListsEveryValueOfTheKey) {
    for (const auto& row : kKeys) {
        World world(keyText(row.key, kValues));
        TForm1& form = world.start();
        const CategoryInfo& info = form.category(row.code).info();
        world.machine.clock.reset();
        const int pumps = world.host.pumps;
        Invoke(form, info.menuHandler);
        const auto& list = form.category(row.code).list();
        EXPECT_EQ(Captions(list), (std::vector<std::string>{"url1", "MRUList", "a", "b=c"})) << row.code;
        EXPECT_EQ(list.at(0).subItems,
                  (std::vector<std::string>{"Rarely Used(Remove)", "http://example.com/", row.location}));
        EXPECT_EQ(list.at(2).subItem(2), "") << "256 characters do not fit the string read";
        EXPECT_EQ(list.columns()[3], (Column{"Registry Location", 250}));
        // 10 ms and the message pump per value, then the closing ramp.
        EXPECT_EQ(world.machine.clock.totalMs(), 4u * 10u + 101u * 30u);
        EXPECT_EQ(world.host.pumps - pumps, 1 + 4);
        EXPECT_EQ(form.pageType, row.pageType);
        EXPECT_EQ(form.lvall.at(static_cast<std::size_t>(row.summaryRow)).subItem(1), "4");
    }
}

TEST(TypedHistory, EmptyOrMissingKeyFindsNothing) {
    for (const auto& row : kKeys) {
        World missing;
        TForm1& form = missing.start();
        Invoke(form, form.category(row.code).info().menuHandler);
        EXPECT_EQ(form.Oberror.caption(), "No Errors Found");
        World empty(keyText(row.key, ""));
        TForm1& other = empty.start();
        Invoke(other, other.category(row.code).info().scanAction);
        EXPECT_TRUE(other.category(row.code).list().empty());
    }
}

TEST(TypedHistory, RemovalDeletesCheckedValuesAndKeepsUncheckedOnes) {
    for (const auto& row : kKeys) {
        World world(keyText(row.key, kValues));
        TForm1& form = world.start();
        Invoke(form, form.category(row.code).info().scanAction);
        auto& list = form.category(row.code).list();
        list.setChecked(1, false);
        world.machine.clock.reset();
        Invoke(form, form.category(row.code).info().removeAction);
        EXPECT_EQ(Captions(list), (std::vector<std::string>{"MRUList"}));
        EXPECT_FALSE(list.at(0).checked);
        EXPECT_EQ(form.lastCount, 1);
        EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, row.key, "a"));
        EXPECT_TRUE(world.valueExists(kHKeyCurrentUser, row.key, "MRUList"));
        EXPECT_EQ(world.machine.clock.totalMs(), 102u * 30u);
        list.setChecked(0, true);
        Invoke(form, form.category(row.code).info().removeAction);
        EXPECT_TRUE(list.empty());
        EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, row.key, "MRUList"));
    }
}

TEST(TypedHistory, AValueThatCannotBeDeletedStaysListed) {
    World world(keyText(kTypedUrls, kValues));
    TForm1& form = world.start();
    Invoke(form, "type_urlExecute");
    // Read-only from now on: the values can be seen but not deleted.
    world.machine.registry.deny(kHKeyCurrentUser, kTypedUrls, 0x00010006);
    Invoke(form, "removeurlExecute");
    EXPECT_EQ(form.category("url").list().size(), 4u);
    EXPECT_EQ(form.lastCount, 4);
}

TEST(TypedHistory, AKeyThatIsGoneTakesItsValuesWithIt) {
    World world(keyText(kRunMru, kValues));
    TForm1& form = world.start();
    Invoke(form, "runExecute");
    world.load("Windows Registry Editor Version 5.00\n\n[-HKEY_CURRENT_USER\\" + std::string(kRunMru) + "]\n");
    Invoke(form, "removerunExecute");
    EXPECT_TRUE(form.category("run").list().empty());
}

}  // namespace
}  // namespace keltora::testing
