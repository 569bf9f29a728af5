// TRegistry against a backend: path rules, listings, subtree deletion, writes and their errors.
#include <algorithm>
#include <cctype>
#include <functional>

#include "ConformanceFixture.h"
#include "platform/Registry2.h"

namespace keltora::conformance {
namespace {

class RegistryConformance : public ConformanceTest {};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST_F(RegistryConformance, BackslashPathStartsAtTheRootWhileAKeyIsOpen) {
    // The same text names a different key below the open one: only the root reading finds "rootSide".
    const std::string path = "\\" + key("Leaf");
    putString(key("Leaf"), "rootSide", "1");
    putString(key(key("Leaf")), "openSide", "1");
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));

    ASSERT_TRUE(reg.OpenKey(path, false));
    EXPECT_TRUE(reg.ValueExists("rootSide"));
    EXPECT_FALSE(reg.ValueExists("openSide"));
    EXPECT_EQ(path, reg.CurrentPath());
}

TEST_F(RegistryConformance, RelativePathOpensBelowTheOpenKey) {
    putString(key(key("Leaf")), "openSide", "1");
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));

    ASSERT_TRUE(reg.OpenKey(key("Leaf"), false));
    EXPECT_TRUE(reg.ValueExists("openSide"));
    EXPECT_EQ(key() + "\\" + key("Leaf"), reg.CurrentPath());
}

TEST_F(RegistryConformance, FailedOpenKeepsTheOpenKey) {
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));
    const HKey before = reg.CurrentKey();

    EXPECT_FALSE(reg.OpenKey("Missing", false));
    EXPECT_EQ(before, reg.CurrentKey());
    EXPECT_EQ(key(), reg.CurrentPath());
    EXPECT_NO_THROW(reg.WriteString("still", "open"));
}

TEST_F(RegistryConformance, OpenKeyCreatesOnlyWhenAsked) {
    TRegistry reg(registry());
    EXPECT_FALSE(reg.OpenKey(key("New\\Deeper"), false));
    EXPECT_FALSE(reg.KeyExists(key("New")));

    EXPECT_TRUE(reg.OpenKey(key("New\\Deeper"), true));
    EXPECT_TRUE(reg.KeyExists("\\" + key("New\\Deeper")));
}

TEST_F(RegistryConformance, CloseKeyAndNewRootForgetTheOpenKey) {
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));
    reg.SetRootKey(kHKeyCurrentUser);  // the same root keeps the key
    EXPECT_EQ(key(), reg.CurrentPath());

    reg.SetRootKey(kHKeyLocalMachine);
    EXPECT_EQ(0u, reg.CurrentKey());
    EXPECT_EQ("", reg.CurrentPath());

    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey(key(), false));
    reg.CloseKey();
    EXPECT_EQ(0u, reg.CurrentKey());
    EXPECT_EQ("", reg.CurrentPath());
}

TEST_F(RegistryConformance, KeyWithoutQueryRightListsNothing) {
    makeKey(key("Guarded\\One"));
    makeKey(key("Guarded\\Two"));
    putString(key("Guarded"), "value", "x");
    TRegistry full(registry());
    ASSERT_TRUE(full.OpenKey(key("Guarded"), false));
    std::vector<std::string> names;
    full.GetKeyNames(names);
    ASSERT_EQ(2u, names.size());

    TRegistry setOnly(registry(), 0x0002);  // KEY_SET_VALUE
    ASSERT_TRUE(setOnly.OpenKey(key("Guarded"), false));
    setOnly.GetKeyNames(names);
    EXPECT_TRUE(names.empty());
    names = {"stale"};
    setOnly.GetValueNames(names);
    EXPECT_TRUE(names.empty());
    setOnly.GetKeyNamesBlankPrefixed(names);
    EXPECT_TRUE(names.empty());
}

TEST_F(RegistryConformance, NoOpenKeyListsNothing) {
    TRegistry reg(registry());
    std::vector<std::string> names = {"stale"};
    reg.GetKeyNames(names);
    EXPECT_TRUE(names.empty());
}

TEST_F(RegistryConformance, KeyNamesComeSortedWithoutCase) {
    for (const char* name : {"beta", "Alpha", "gamma", "DELTA", "alpha2"}) makeKey(key(name));
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));
    std::vector<std::string> names;
    reg.GetKeyNames(names);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "alpha2", "beta", "DELTA", "gamma"}), names);
}

TEST_F(RegistryConformance, BlankPrefixedListingsPutOneBlankBeforeEachName) {
    makeKey(key("One"));
    makeKey(key("Two"));
    putString(key(), "x", "1");
    putString(key(), "", "default");
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));
    std::vector<std::string> names;
    reg.GetKeyNamesBlankPrefixed(names);
    EXPECT_EQ((std::vector<std::string>{" One", " Two"}), names);

    reg.GetValueNamesBlankPrefixed(names);
    std::sort(names.begin(), names.end());
    // The default value has the empty name: its entry is the blank alone.
    EXPECT_EQ((std::vector<std::string>{" ", " x"}), names);
}

TEST_F(RegistryConformance, DeleteKeyRemovesAThreeLevelSubtree) {
    putString(key("Tree"), "top", "1");
    putString(key("Tree\\Mid"), "mid", "2");
    putString(key("Tree\\Mid\\Leaf"), "leaf", "3");
    makeKey(key("Tree\\Mid\\Other"));
    makeKey(key("Tree\\Side"));
    makeKey(key("Keep"));
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));

    EXPECT_TRUE(reg.DeleteKey("Tree"));
    EXPECT_FALSE(reg.KeyExists("Tree"));
    EXPECT_TRUE(reg.KeyExists("Keep"));
    EXPECT_EQ(key(), reg.CurrentPath());
    EXPECT_FALSE(reg.DeleteKey("Tree"));
}

TEST_F(RegistryConformance, DeleteKeyTakesBackslashPathsFromTheRoot) {
    makeKey(key("Gone\\Below"));
    makeKey(key("Keep"));
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key("Keep"), false));

    EXPECT_TRUE(reg.DeleteKey("\\" + key("Gone")));
    EXPECT_FALSE(reg.KeyExists("\\" + key("Gone")));
    EXPECT_EQ(key("Keep"), reg.CurrentPath());
}

TEST_F(RegistryConformance, RegistryNamesIgnoreCase) {
    putString(key("Inner"), "MixedCase", "v");
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey("\\" + Upper(key()), false));
    EXPECT_TRUE(reg.KeyExists("INNER"));
    ASSERT_TRUE(reg.OpenKey("inner", false));
    EXPECT_TRUE(reg.ValueExists("MIXEDCASE"));
    EXPECT_EQ(TRegDataType::String, reg.GetDataType("mixedcase"));
}

TEST_F(RegistryConformance, KeyExistsFollowsThePathRules) {
    makeKey(key("Sub"));
    TRegistry reg(registry());
    EXPECT_TRUE(reg.KeyExists(key("Sub")));  // no key open: from the root
    ASSERT_TRUE(reg.OpenKey(key(), false));
    EXPECT_TRUE(reg.KeyExists("Sub"));
    EXPECT_TRUE(reg.KeyExists("\\" + key("Sub")));
    EXPECT_FALSE(reg.KeyExists(key("Sub")));  // relative to the open key now
    EXPECT_FALSE(reg.KeyExists("Missing"));
}

TEST_F(RegistryConformance, DataTypesAsTRegistryNamesThem) {
    struct Row {
        const char* name;
        std::uint32_t type;
        TRegDataType expected;
    };
    const Row rows[] = {
        {"sz", kRegSz, TRegDataType::String},          {"expand", kRegExpandSz, TRegDataType::ExpandString},
        {"dword", kRegDword, TRegDataType::Integer},   {"binary", kRegBinary, TRegDataType::Binary},
        {"multi", kRegMultiSz, TRegDataType::Unknown}, {"qword", kRegQword, TRegDataType::Unknown},
        {"none", kRegNone, TRegDataType::Unknown},
    };
    for (const auto& row : rows) putValue(key(), row.name, row.type, {1, 0, 0, 0, 0, 0, 0, 0});
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(reg.ValueExists(row.name));
        EXPECT_EQ(row.expected, reg.GetDataType(row.name));
    }
    EXPECT_FALSE(reg.ValueExists("missing"));
    EXPECT_EQ(TRegDataType::Unknown, reg.GetDataType("missing"));
}

TEST_F(RegistryConformance, WritesStoreWindowsTypesAndSizes) {
    struct Row {
        const char* name;
        std::function<void(TRegistry&)> write;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    const Row rows[] = {
        {"string", [](TRegistry& r) { r.WriteString("string", "abc"); }, kRegSz, {'a', 'b', 'c', 0}},
        {"empty", [](TRegistry& r) { r.WriteString("empty", ""); }, kRegSz, {0}},
        {"expand", [](TRegistry& r) { r.WriteExpandString("expand", "%T%"); }, kRegExpandSz, {'%', 'T', '%', 0}},
        {"integer", [](TRegistry& r) { r.WriteInteger("integer", -2); }, kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"binary", [](TRegistry& r) { r.WriteBinaryData("binary", {1, 0, 2}); }, kRegBinary, {1, 0, 2}},
        {"nothing", [](TRegistry& r) { r.WriteBinaryData("nothing", {}); }, kRegBinary, {}},
    };
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.write(reg);
        const RawValue stored = rawValue(key(), row.name);
        ASSERT_EQ(kErrorSuccess, stored.rc);
        EXPECT_EQ(row.type, stored.type);
        EXPECT_EQ(row.data, stored.data);
    }
}

TEST_F(RegistryConformance, RewriteTakesTheNewType) {
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));
    reg.WriteString("v", "1");
    reg.WriteInteger("V", 1);
    EXPECT_EQ(TRegDataType::Integer, reg.GetDataType("v"));
    std::vector<std::string> names;
    reg.GetValueNames(names);
    EXPECT_EQ(1u, names.size());
}

TEST_F(RegistryConformance, WritesOnAReadOnlyKeyRaiseWithTheValueName) {
    const std::function<void(TRegistry&)> writes[] = {
        [](TRegistry& r) { r.WriteString("name", "x"); },
        [](TRegistry& r) { r.WriteExpandString("name", "x"); },
        [](TRegistry& r) { r.WriteInteger("name", 1); },
        [](TRegistry& r) { r.WriteBinaryData("name", {1}); },
    };
    TRegistry reg(registry(), kKeyRead);
    ASSERT_TRUE(reg.OpenKey(key(), false));
    for (const auto& write : writes) {
        try {
            write(reg);
            ADD_FAILURE() << "the write did not raise";
        } catch (const ERegistryException& e) {
            EXPECT_STREQ("Failed to set data for 'name'", e.what());
        }
    }
    EXPECT_EQ(kErrorFileNotFound, rawValue(key(), "name").rc);
}

TEST_F(RegistryConformance, WriteWithoutAnOpenKeyRaises) {
    TRegistry reg(registry());
    EXPECT_THROW(reg.WriteString("orphan", "x"), ERegistryException);
}

TEST_F(RegistryConformance, DeleteValueSaysWhetherThereWasOne) {
    putValue(key(), "v", kRegBinary, Bytes("x"));
    TRegistry reg(registry());
    ASSERT_TRUE(reg.OpenKey(key(), false));
    EXPECT_TRUE(reg.DeleteValue("V"));
    EXPECT_FALSE(reg.ValueExists("v"));
    EXPECT_FALSE(reg.DeleteValue("v"));
}

}  // namespace
}  // namespace keltora::conformance
