// What the memory registry promises beyond the conformance suite: the access rules of handles,
// deny marks, deleted keys, enumeration order and buffer sizes as Windows has them.
#include <gtest/gtest.h>

#include <functional>

#include "platform/Helpers.h"
#include "platform/Registry2.h"
#include "platform/memory/AnsiCodePage.h"
#include "platform/memory/MemoryRegistry.h"

namespace keltora {
namespace {

constexpr const char* kKey = "Software\\Test";

class MemoryRegistryTest : public ::testing::Test {
protected:
    HKey open(const std::string& path, std::uint32_t access, HKey root = kHKeyCurrentUser) {
        HKey key = 0;
        EXPECT_EQ(kErrorSuccess, reg.openKey(root, path, access, key)) << path;
        return key;
    }
    MemoryRegistry reg;
};

struct AccessRow {
    const char* what;
    std::uint32_t access;
    std::function<long(MemoryRegistry&, HKey)> op;
    long expected;
};

long QueryInfo(MemoryRegistry& r, HKey k) {
    KeyInfo info;
    return r.queryInfoKey(k, info);
}
long QueryValue(MemoryRegistry& r, HKey k) {
    std::uint32_t size = 0;
    return r.queryValue(k, "v", nullptr, nullptr, &size);
}
long EnumKey(MemoryRegistry& r, HKey k) {
    std::string name;
    return r.enumKey(k, 0, 64, name);
}
long EnumValue(MemoryRegistry& r, HKey k) {
    std::string name;
    return r.enumValue(k, 0, 64, name);
}
long SetValue(MemoryRegistry& r, HKey k) {
    const std::uint8_t data[] = {1};
    return r.setValue(k, "w", kRegBinary, data, 1);
}
long DeleteValue(MemoryRegistry& r, HKey k) { return r.deleteValue(k, "v"); }
long CreateNew(MemoryRegistry& r, HKey k) {
    HKey made = 0;
    long rc = r.createKey(k, "Fresh", kKeyAllAccess, made);
    r.closeKey(made);
    return rc;
}
long CreateExisting(MemoryRegistry& r, HKey k) {
    HKey made = 0;
    long rc = r.createKey(k, "Sub", kKeyRead, made);
    r.closeKey(made);
    return rc;
}

TEST_F(MemoryRegistryTest, HandlesAllowWhatTheirAccessGrants) {
    const AccessRow rows[] = {
        {"query info without query right", kKeySetValue, QueryInfo, kErrorAccessDenied},
        {"query info", kKeyQueryValue, QueryInfo, kErrorSuccess},
        {"query value without query right", kKeySetValue, QueryValue, kErrorAccessDenied},
        {"query value", kKeyQueryValue, QueryValue, kErrorSuccess},
        {"enum keys without enumerate right", kKeyQueryValue, EnumKey, kErrorAccessDenied},
        {"enum keys", kKeyEnumerateSubKeys, EnumKey, kErrorSuccess},
        {"enum values without query right", kKeyEnumerateSubKeys, EnumValue, kErrorAccessDenied},
        {"enum values", kKeyQueryValue, EnumValue, kErrorSuccess},
        {"set on a read handle", kKeyRead, SetValue, kErrorAccessDenied},
        {"set", kKeySetValue, SetValue, kErrorSuccess},
        {"delete value on a read handle", kKeyRead, DeleteValue, kErrorAccessDenied},
        {"create below a read handle", kKeyRead, CreateNew, kErrorAccessDenied},
        {"create below with create right", kKeyCreateSubKey, CreateNew, kErrorSuccess},
        {"create of an existing key only opens", kKeyRead, CreateExisting, kErrorSuccess},
        {"maximum allowed sets", kMaximumAllowedAccess, SetValue, kErrorSuccess},
        {"generic read queries", 0x80000000u, QueryValue, kErrorSuccess},
        {"generic read does not set", 0x80000000u, SetValue, kErrorAccessDenied},
        {"generic all sets", 0x10000000u, SetValue, kErrorSuccess},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryRegistry fresh;
        fresh.setString(kHKeyCurrentUser, kKey, "v", "x");
        fresh.addKey(kHKeyCurrentUser, std::string(kKey) + "\\Sub");
        HKey key = 0;
        ASSERT_EQ(kErrorSuccess, fresh.openKey(kHKeyCurrentUser, kKey, row.access, key));
        EXPECT_EQ(row.expected, row.op(fresh, key));
        fresh.closeKey(key);
    }
}

TEST_F(MemoryRegistryTest, DeniedKeyCannotBeOpenedAtAll) {
    reg.setString(kHKeyCurrentUser, kKey, "v", "secret");
    reg.deny(kHKeyCurrentUser, kKey);
    HKey key = 0;
    for (std::uint32_t access : {kKeyAllAccess, kKeyRead, kMaximumAllowedAccess, 0u}) {
        EXPECT_EQ(kErrorAccessDenied, reg.openKey(kHKeyCurrentUser, kKey, access, key)) << access;
        EXPECT_EQ(0u, key);
    }
    EXPECT_EQ(kErrorAccessDenied, reg.createKey(kHKeyCurrentUser, kKey, kKeyAllAccess, key));
    EXPECT_EQ("", RegReadString(reg, kHKeyCurrentUser, kKey, "v"));
    TRegistry t(reg);
    EXPECT_FALSE(t.KeyExists(kKey));
    EXPECT_FALSE(t.DeleteKey(kKey));
    EXPECT_TRUE(reg.exists(kHKeyCurrentUser, kKey));
    EXPECT_EQ(0u, reg.openHandles());
}

TEST_F(MemoryRegistryTest, PartlyDeniedKeyIsReadOnly) {
    reg.setString(kHKeyLocalMachine, kKey, "v", "x");
    reg.deny(kHKeyLocalMachine, kKey, kKeySetValue | kKeyCreateSubKey | kDeleteAccess);
    HKey key = 0;
    EXPECT_EQ(kErrorAccessDenied, reg.openKey(kHKeyLocalMachine, kKey, kKeyAllAccess, key));
    EXPECT_EQ("x", RegReadString(reg, kHKeyLocalMachine, kKey, "v"));
    key = open(kKey, kMaximumAllowedAccess, kHKeyLocalMachine);
    EXPECT_EQ(kErrorSuccess, QueryValue(reg, key));
    EXPECT_EQ(kErrorAccessDenied, SetValue(reg, key));
    reg.closeKey(key);
    EXPECT_EQ(kErrorAccessDenied, reg.deleteKey(kHKeyLocalMachine, kKey));
    EXPECT_EQ(kErrorAccessDenied, reg.createKey(kHKeyLocalMachine, std::string(kKey) + "\\New\\Deeper", kKeyRead, key));
    EXPECT_FALSE(reg.exists(kHKeyLocalMachine, std::string(kKey) + "\\New"));
    reg.addKey(kHKeyLocalMachine, std::string(kKey) + "\\Setup");  // setup is not held back
}

TEST_F(MemoryRegistryTest, HandlesOfADeletedKeyFailWithKeyDeleted) {
    reg.setString(kHKeyCurrentUser, kKey, "v", "x");
    const HKey stale = open(kKey, kKeyAllAccess);
    ASSERT_EQ(kErrorSuccess, reg.deleteKey(kHKeyCurrentUser, kKey));
    const std::function<long(MemoryRegistry&, HKey)> ops[] = {QueryInfo, QueryValue, EnumKey, EnumValue,
                                                              SetValue,  DeleteValue, CreateNew};
    for (const auto& op : ops) EXPECT_EQ(kErrorKeyDeleted, op(reg, stale));
    HKey again = 0;
    EXPECT_EQ(kErrorKeyDeleted, reg.openKey(stale, "", kKeyRead, again));
    EXPECT_EQ(kErrorKeyDeleted, reg.flushKey(stale));
    EXPECT_EQ(kErrorSuccess, reg.closeKey(stale));
    EXPECT_EQ(kErrorInvalidHandle, reg.closeKey(stale));
    EXPECT_FALSE(reg.exists(kHKeyCurrentUser, kKey));
}

TEST_F(MemoryRegistryTest, RemovedSubtreeInvalidatesHandlesBelowIt) {
    reg.addKey(kHKeyCurrentUser, std::string(kKey) + "\\A\\B");
    const HKey below = open(std::string(kKey) + "\\A\\B", kKeyAllAccess);
    reg.removeKey(kHKeyCurrentUser, std::string(kKey) + "\\A");
    EXPECT_EQ(kErrorKeyDeleted, SetValue(reg, below));
    EXPECT_TRUE(reg.exists(kHKeyCurrentUser, kKey));
    reg.closeKey(below);
}

TEST_F(MemoryRegistryTest, DeleteKeyRefusesKeysWithSubkeysAndPredefinedKeys) {
    reg.addKey(kHKeyCurrentUser, std::string(kKey) + "\\Child");
    EXPECT_EQ(kErrorAccessDenied, reg.deleteKey(kHKeyCurrentUser, kKey));
    EXPECT_EQ(kErrorFileNotFound, reg.deleteKey(kHKeyCurrentUser, "Software\\Missing"));
    EXPECT_EQ(kErrorAccessDenied, reg.deleteKey(kHKeyCurrentUser, ""));
    EXPECT_EQ(kErrorAccessDenied, reg.deleteKey(kHKeyLocalMachine, "Software\\Classes"));
    // An empty subkey deletes the key of the handle itself.
    const HKey child = open(std::string(kKey) + "\\Child", kKeyAllAccess);
    EXPECT_EQ(kErrorSuccess, reg.deleteKey(child, ""));
    reg.closeKey(child);
    EXPECT_EQ(kErrorSuccess, reg.deleteKey(kHKeyCurrentUser, kKey));
}

TEST_F(MemoryRegistryTest, ClassesRootIsTheClassesKeyOfTheMachine) {
    reg.setString(kHKeyLocalMachine, "SOFTWARE\\Classes\\.txt", "", "txtfile");
    EXPECT_EQ("txtfile", RegReadString(reg, kHKeyClassesRoot, ".txt", ""));
    reg.setString(kHKeyClassesRoot, "CLSID\\{1}", "", "x");
    EXPECT_TRUE(reg.exists(kHKeyLocalMachine, "Software\\Classes\\CLSID\\{1}"));
}

TEST_F(MemoryRegistryTest, LeadingBackslashIsABadPathExceptBelowClassesRoot) {
    reg.addKey(kHKeyClassesRoot, ".txt");
    HKey key = 0;
    EXPECT_EQ(kErrorBadPathname, reg.openKey(kHKeyCurrentUser, "\\Software", kKeyRead, key));
    EXPECT_EQ(kErrorBadPathname, reg.createKey(kHKeyCurrentUser, "\\Software\\X", kKeyAllAccess, key));
    EXPECT_FALSE(reg.exists(kHKeyCurrentUser, "Software\\X"));
    EXPECT_EQ(kErrorSuccess, reg.openKey(kHKeyClassesRoot, "\\.txt", kKeyRead, key));
    reg.closeKey(key);
    // Trailing and doubled separators are passed over.
    EXPECT_EQ(kErrorSuccess, reg.openKey(kHKeyClassesRoot, ".txt\\", kKeyRead, key));
    reg.closeKey(key);
}

TEST_F(MemoryRegistryTest, EmptySubKeyOpensANewHandleToTheSameKey) {
    const HKey first = open("", kKeyAllAccess);  // the root itself
    const HKey second = open("", kKeyRead);
    EXPECT_NE(first, second);
    EXPECT_NE(kHKeyCurrentUser, first);
    ASSERT_EQ(kErrorSuccess, SetValue(reg, first));
    EXPECT_TRUE(reg.valueExists(kHKeyCurrentUser, "", "w"));
    EXPECT_EQ(kErrorAccessDenied, SetValue(reg, second));
    reg.closeKey(first);
    reg.closeKey(second);
    EXPECT_EQ(kErrorInvalidHandle, SetValue(reg, first));  // numbers are not given out again
}

TEST_F(MemoryRegistryTest, SubkeysComeInUpperCaseOrderValuesInWritingOrder) {
    for (const char* name : {"b", "_u", "A", "a1", "Z", "~t", "aB"}) reg.addKey(kHKeyCurrentUser, std::string(kKey) + "\\" + name);
    // '_' sorts after the letters: Windows compares upper-cased names.
    EXPECT_EQ((std::vector<std::string>{"A", "a1", "aB", "b", "Z", "_u", "~t"}), reg.subKeyNames(kHKeyCurrentUser, kKey));

    reg.setString(kHKeyCurrentUser, kKey, "second", "x");
    reg.setString(kHKeyCurrentUser, kKey, "First", "x");
    reg.setString(kHKeyCurrentUser, kKey, "", "x");
    const HKey key = open(kKey, kKeyAllAccess);
    const std::uint8_t data[] = {1, 0, 0, 0};
    ASSERT_EQ(kErrorSuccess, reg.setValue(key, "SECOND", kRegDword, data, 4));  // keeps its place and its spelling
    reg.closeKey(key);
    EXPECT_EQ((std::vector<std::string>{"second", "First", ""}), reg.valueNames(kHKeyCurrentUser, kKey));
    EXPECT_EQ(kRegDword, reg.value(kHKeyCurrentUser, kKey, "second")->type);
}

TEST_F(MemoryRegistryTest, NameBuffersNeedRoomForTheNul) {
    reg.addKey(kHKeyCurrentUser, std::string(kKey) + "\\Four");
    reg.setString(kHKeyCurrentUser, kKey, "Five5", "x");
    const HKey key = open(kKey, kKeyRead);
    std::string name = "untouched";
    EXPECT_EQ(kErrorMoreData, reg.enumKey(key, 0, 4, name));
    EXPECT_EQ("untouched", name);
    EXPECT_EQ(kErrorSuccess, reg.enumKey(key, 0, 5, name));
    EXPECT_EQ("Four", name);
    EXPECT_EQ(kErrorMoreData, reg.enumValue(key, 0, 5, name));
    EXPECT_EQ(kErrorSuccess, reg.enumValue(key, 0, 6, name));
    EXPECT_EQ("Five5", name);
    EXPECT_EQ(kErrorNoMoreItems, reg.enumKey(key, 1, 64, name));
    EXPECT_EQ(kErrorNoMoreItems, reg.enumValue(key, 1, 64, name));
    reg.closeKey(key);
}

TEST_F(MemoryRegistryTest, QueryValueReportsSizesAsWindowsDoes) {
    reg.setString(kHKeyCurrentUser, kKey, "s", "abc");
    const HKey key = open(kKey, kKeyRead);
    std::uint8_t buffer[8] = {};
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(kErrorSuccess, reg.queryValue(key, "s", &type, nullptr, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(kRegSz, type);
    size = 3;
    EXPECT_EQ(kErrorMoreData, reg.queryValue(key, "s", &type, buffer, &size));
    EXPECT_EQ(4u, size);
    size = sizeof buffer;
    EXPECT_EQ(kErrorSuccess, reg.queryValue(key, "S", &type, buffer, &size));
    EXPECT_EQ(4u, size);
    EXPECT_STREQ("abc", reinterpret_cast<const char*>(buffer));
    EXPECT_EQ(kErrorInvalidParameter, reg.queryValue(key, "s", &type, buffer, nullptr));
    EXPECT_EQ(kErrorFileNotFound, reg.queryValue(key, "missing", &type, nullptr, &size));
    reg.closeKey(key);
}

TEST_F(MemoryRegistryTest, QueryInfoCountsAndLongestNames) {
    reg.addKey(kHKeyCurrentUser, std::string(kKey) + "\\Short");
    reg.addKey(kHKeyCurrentUser, std::string(kKey) + "\\LongerName");
    reg.setString(kHKeyCurrentUser, kKey, "v", "twelve chars");
    reg.setDword(kHKeyCurrentUser, kKey, "valueName", 1);
    const HKey key = open(kKey, kKeyRead);
    KeyInfo info;
    ASSERT_EQ(kErrorSuccess, reg.queryInfoKey(key, info));
    reg.closeKey(key);
    EXPECT_EQ(2u, info.subKeys);
    EXPECT_EQ(10u, info.maxSubKeyLen);
    EXPECT_EQ(2u, info.values);
    EXPECT_EQ(9u, info.maxValueNameLen);
    EXPECT_EQ(26u, info.maxValueLen);  // as stored: 13 UTF-16 units
}

// In the UTF-8 code page a name's ANSI form outgrows the buffer sized from the lengths the key
// reports; the listings read such a name again instead of passing over it.
TEST_F(MemoryRegistryTest, AnsiNamesLongerThanTheReportedLengthsAreListedAll) {
    MemoryUtf8CodePage utf8;
    reg.useCodePage(utf8);
    const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87";  // four characters, twelve bytes
    reg.addKey(kHKeyCurrentUser, std::string(kKey) + "\\" + chinese);
    reg.addKey(kHKeyCurrentUser, std::string(kKey) + "\\ab");
    reg.setString(kHKeyCurrentUser, kKey, chinese, "x");
    const HKey key = open(kKey, kKeyRead);
    std::string name;
    EXPECT_EQ(kErrorMoreData, reg.enumKey(key, 1, 2 * (4 + 1), name));
    reg.closeKey(key);
    TRegistry t(reg);
    ASSERT_TRUE(t.OpenKey(kKey, false));
    std::vector<std::string> names;
    t.GetKeyNames(names);
    EXPECT_EQ((std::vector<std::string>{"ab", chinese}), names);
    t.GetValueNames(names);
    EXPECT_EQ(std::vector<std::string>{chinese}, names);
    t.CloseKey();
    EXPECT_TRUE(t.DeleteKey(kKey));
}

TEST_F(MemoryRegistryTest, UnknownHandlesAreInvalid) {
    HKey key = 0;
    EXPECT_EQ(kErrorInvalidHandle, reg.openKey(0x1234, "x", kKeyRead, key));
    EXPECT_EQ(kErrorInvalidHandle, reg.closeKey(0x1234));
    EXPECT_EQ(kErrorSuccess, reg.closeKey(kHKeyCurrentUser));  // a predefined key stays usable
    EXPECT_EQ(kErrorSuccess, SetValue(reg, kHKeyCurrentUser));
}

TEST_F(MemoryRegistryTest, SetupHelpersStoreWhatWindowsWouldStore) {
    reg.setString(kHKeyCurrentUser, kKey, "s", "text");
    reg.setExpandString(kHKeyCurrentUser, kKey, "e", "%WINDIR%");
    reg.setDword(kHKeyCurrentUser, kKey, "d", 0x01020304);
    EXPECT_EQ((std::vector<std::uint8_t>{'t', 'e', 'x', 't', 0}), reg.value(kHKeyCurrentUser, kKey, "s")->data);
    EXPECT_EQ("%WINDIR%", reg.stringValue(kHKeyCurrentUser, kKey, "E"));
    EXPECT_EQ(kRegExpandSz, reg.value(kHKeyCurrentUser, kKey, "e")->type);
    EXPECT_EQ((std::vector<std::uint8_t>{4, 3, 2, 1}), reg.value(kHKeyCurrentUser, kKey, "d")->data);
    EXPECT_EQ(std::nullopt, reg.stringValue(kHKeyCurrentUser, kKey, "missing"));
    EXPECT_THROW(reg.addKey(0x1234, "x"), std::invalid_argument);
}

TEST_F(MemoryRegistryTest, SystemMessagesAreTheEnglishWindowsTexts) {
    struct Row {
        long code;
        const char* text;
    };
    const Row rows[] = {
        {2, "The system cannot find the file specified."},
        {5, "Access is denied."},
        {1013, "The configuration registry key could not be written."},
        {4242, "Unknown error 4242."},
    };
    for (const auto& row : rows) EXPECT_EQ(row.text, reg.systemMessage(row.code));
}

}  // namespace
}  // namespace keltora
