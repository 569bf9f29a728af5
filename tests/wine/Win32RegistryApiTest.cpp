// The advapi32 backend against Wine's registry: the handle spelling of the roots, data sizes and
// codes as the core expects them, and the orders and refusals the scanners meet.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Helpers.h"
#include "platform/Registry2.h"
#include "wine/WineScratch.h"

namespace keltora::wine {
namespace {

class Win32RegistryApiTest : public WineScratch {
protected:
    RegistryApi& api() { return platform().registry; }

    // The scratch key itself, or a path below it, opened (created when asked).
    HKey open(const std::string& below = "", bool create = false) {
        const std::string path = below.empty() ? key() : key() + "\\" + below;
        HKey result = 0;
        const long rc = create ? api().createKey(kHKeyCurrentUser, path, kKeyAllAccess, result)
                               : api().openKey(kHKeyCurrentUser, path, kKeyAllAccess, result);
        EXPECT_EQ(rc, kErrorSuccess) << path;
        return result;
    }

    std::vector<std::string> subKeys(HKey parent) {
        std::vector<std::string> names;
        std::string name;
        for (std::uint32_t i = 0; api().enumKey(parent, i, 256, name) == kErrorSuccess; ++i) names.push_back(name);
        return names;
    }

    std::vector<std::string> valueNames(HKey parent) {
        std::vector<std::string> names;
        std::string name;
        for (std::uint32_t i = 0; api().enumValue(parent, i, 256, name) == kErrorSuccess; ++i) names.push_back(name);
        return names;
    }

    void setString(HKey target, const std::string& name, const std::string& text) {
        ASSERT_EQ(api().setValue(target, name, kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                 static_cast<std::uint32_t>(text.size() + 1)),
                  kErrorSuccess);
    }
};

TEST_F(Win32RegistryApiTest, TheRootsAreTheWindowsPredefinedKeys) {
    struct Row {
        HKey root;
        const char* path;
    };
    const Row rows[] = {{kHKeyCurrentUser, "Software"}, {kHKeyLocalMachine, "Software\\Microsoft"},
                        {kHKeyClassesRoot, "CLSID"}};
    for (const auto& row : rows) {
        HKey opened = 0;
        EXPECT_EQ(api().openKey(row.root, row.path, kKeyRead, opened), kErrorSuccess) << row.path;
        EXPECT_EQ(api().closeKey(opened), kErrorSuccess) << row.path;
    }
}

// Wine hands the root itself back for an empty path; a backend that closed it would break every
// later use of HKEY_CURRENT_USER in the process.
TEST_F(Win32RegistryApiTest, ClosingWhatAnEmptyPathOpenedLeavesTheRootUsable) {
    HKey opened = 0;
    ASSERT_EQ(api().openKey(kHKeyCurrentUser, "", kKeyRead, opened), kErrorSuccess);
    EXPECT_EQ(opened, kHKeyCurrentUser);
    EXPECT_EQ(api().closeKey(opened), kErrorSuccess);
    HKey software = 0;
    ASSERT_EQ(api().openKey(kHKeyCurrentUser, "Software", kKeyRead, software), kErrorSuccess);
    api().closeKey(software);
}

// Under Wine HKEY_CLASSES_ROOT shows the machine's classes only, as the memory registry does;
// Windows 2000 and later merge in the user's Software\Classes.
TEST_F(Win32RegistryApiTest, TheClassesRootIsTheMachinesSoftwareClasses) {
    const std::string machineClass = "Software\\Classes\\KeltoraConformanceMachineClass";
    const std::string userClass = "Software\\Classes\\KeltoraConformanceUserClass";
    HKey made = 0;
    ASSERT_EQ(api().createKey(kHKeyLocalMachine, machineClass, kKeyAllAccess, made), kErrorSuccess);
    api().closeKey(made);
    ASSERT_EQ(api().createKey(kHKeyCurrentUser, userClass, kKeyAllAccess, made), kErrorSuccess);
    api().closeKey(made);

    HKey seen = 0;
    EXPECT_EQ(api().openKey(kHKeyClassesRoot, "KeltoraConformanceMachineClass", kKeyRead, seen), kErrorSuccess);
    api().closeKey(seen);
    EXPECT_EQ(api().openKey(kHKeyClassesRoot, "KeltoraConformanceUserClass", kKeyRead, seen), kErrorFileNotFound);
    EXPECT_EQ(api().deleteKey(kHKeyClassesRoot, "KeltoraConformanceMachineClass"), kErrorSuccess);
    EXPECT_EQ(api().openKey(kHKeyLocalMachine, machineClass, kKeyRead, seen), kErrorFileNotFound);
    EXPECT_EQ(api().deleteKey(kHKeyCurrentUser, userClass), kErrorSuccess);
}

TEST_F(Win32RegistryApiTest, MissingKeysValuesAndHandlesGiveTheWindowsCodes) {
    HKey opened = 0;
    EXPECT_EQ(api().openKey(kHKeyCurrentUser, key() + "\\missing", kKeyRead, opened), kErrorFileNotFound);
    HKey scratch = open();
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(api().queryValue(scratch, "missing", &type, nullptr, &size), kErrorFileNotFound);
    EXPECT_EQ(api().deleteValue(scratch, "missing"), kErrorFileNotFound);
    EXPECT_EQ(api().deleteKey(scratch, "missing"), kErrorFileNotFound);
    std::string name;
    EXPECT_EQ(api().enumKey(scratch, 0, 256, name), kErrorNoMoreItems);
    EXPECT_EQ(api().enumValue(scratch, 0, 256, name), kErrorNoMoreItems);
    api().closeKey(scratch);
    EXPECT_EQ(api().closeKey(0x1234560), kErrorInvalidHandle);
}

TEST_F(Win32RegistryApiTest, ValuesComeBackWithTheirTypesAndSizes) {
    HKey scratch = open();
    setString(scratch, "text", "abc");
    const std::uint8_t dword[4] = {0x78, 0x56, 0x34, 0x12};
    ASSERT_EQ(api().setValue(scratch, "number", kRegDword, dword, 4), kErrorSuccess);
    const std::uint8_t bytes[3] = {0, 1, 2};
    ASSERT_EQ(api().setValue(scratch, "binary", kRegBinary, bytes, 3), kErrorSuccess);

    struct Row {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    const Row rows[] = {{"text", kRegSz, {'a', 'b', 'c', 0}},
                        {"number", kRegDword, {0x78, 0x56, 0x34, 0x12}},
                        {"binary", kRegBinary, {0, 1, 2}}};
    for (const auto& row : rows) {
        std::uint8_t buffer[16] = {};
        std::uint32_t type = 0, size = sizeof buffer;
        ASSERT_EQ(api().queryValue(scratch, row.name, &type, buffer, &size), kErrorSuccess) << row.name;
        EXPECT_EQ(type, row.type) << row.name;
        EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + size), row.data) << row.name;
    }
    api().closeKey(scratch);
}

TEST_F(Win32RegistryApiTest, AShortBufferGivesMoreDataAndTheSizeNeeded) {
    HKey scratch = open();
    setString(scratch, "text", "abcdef");
    std::uint8_t buffer[4];
    std::uint32_t type = 0, size = sizeof buffer;
    EXPECT_EQ(api().queryValue(scratch, "text", &type, buffer, &size), kErrorMoreData);
    EXPECT_EQ(size, 7u);
    std::uint32_t sizeOnly = 0;
    EXPECT_EQ(api().queryValue(scratch, "text", nullptr, nullptr, &sizeOnly), kErrorSuccess);
    EXPECT_EQ(sizeOnly, 7u);
    api().closeKey(scratch);
}

TEST_F(Win32RegistryApiTest, TheStringReadTakes255CharactersButNot256) {
    HKey scratch = open();
    setString(scratch, "fits", std::string(255, 'x'));
    setString(scratch, "long", std::string(256, 'x'));
    api().closeKey(scratch);
    EXPECT_EQ(RegReadString(api(), kHKeyCurrentUser, key(), "fits"), std::string(255, 'x'));
    EXPECT_EQ(RegReadString(api(), kHKeyCurrentUser, key(), "long"), "");
}

// Windows and Wine keep subkeys sorted without regard to case, whatever order made them.
TEST_F(Win32RegistryApiTest, SubkeysEnumerateInCaseInsensitiveOrder) {
    HKey scratch = open();
    for (const char* name : {"b", "A", "c", "B2", "a1"}) api().closeKey(open(name, true));
    EXPECT_EQ(subKeys(scratch), (std::vector<std::string>{"A", "a1", "b", "B2", "c"}));
    api().closeKey(scratch);
}

// Windows lists values in the order they were written; Wine keeps them sorted like subkeys. A
// scanner must not depend on either.
TEST_F(Win32RegistryApiTest, ValuesEnumerateSortedByNameUnderWine) {
    HKey scratch = open();
    for (const char* name : {"b", "A", "c", "B2", "a1"}) setString(scratch, name, "x");
    EXPECT_EQ(valueNames(scratch), (std::vector<std::string>{"A", "a1", "b", "B2", "c"}));
    api().closeKey(scratch);
}

TEST_F(Win32RegistryApiTest, NamesAreFoundWithoutRegardToCaseAndKeepTheirCase) {
    api().closeKey(open("MixedCase", true));
    HKey lower = open("mixedcase");
    setString(lower, "Value", "v");
    EXPECT_EQ(RegReadString(api(), kHKeyCurrentUser, key() + "\\MIXEDCASE", "VALUE"), "v");
    api().closeKey(lower);
    HKey scratch = open();
    EXPECT_EQ(subKeys(scratch), std::vector<std::string>{"MixedCase"});
    api().closeKey(scratch);
}

TEST_F(Win32RegistryApiTest, AShortNameBufferGivesMoreData) {
    HKey scratch = open();
    api().closeKey(open("abcdef", true));
    setString(scratch, "ghijkl", "x");
    std::string name = "unchanged";
    EXPECT_EQ(api().enumKey(scratch, 0, 6, name), kErrorMoreData);
    EXPECT_EQ(api().enumValue(scratch, 0, 6, name), kErrorMoreData);
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(api().enumKey(scratch, 0, 7, name), kErrorSuccess);
    EXPECT_EQ(name, "abcdef");
    EXPECT_EQ(api().enumValue(scratch, 0, 7, name), kErrorSuccess);
    EXPECT_EQ(name, "ghijkl");
    api().closeKey(scratch);
}

// The one-call listing answers exactly as a listing of names followed by a read of each.
TEST_F(Win32RegistryApiTest, EnumValueDataAnswersAsEnumValueAndQueryValue) {
    HKey scratch = open();
    setString(scratch, "text", "abc");
    setString(scratch, "", "default");
    setString(scratch, "long", std::string(300, 'y'));
    const std::uint8_t dword[4] = {1, 2, 3, 4};
    ASSERT_EQ(api().setValue(scratch, "number", kRegDword, dword, 4), kErrorSuccess);
    for (std::uint32_t bufferSize : {256u, 2u}) {
        for (std::uint32_t i = 0; i < 4; ++i) {
            std::string oneName, twoName;
            std::uint8_t one[256] = {}, two[256] = {};
            std::uint32_t oneType = 0, twoType = 0, oneSize = bufferSize, twoSize = bufferSize;
            const long oneRc = api().enumValueData(scratch, i, 256, oneName, &oneType, one, &oneSize);
            ASSERT_EQ(api().enumValue(scratch, i, 256, twoName), kErrorSuccess);
            const long twoRc = api().queryValue(scratch, twoName, &twoType, two, &twoSize);
            SCOPED_TRACE("value " + twoName + ", buffer " + std::to_string(bufferSize));
            EXPECT_EQ(oneRc, twoRc);
            EXPECT_EQ(oneName, twoName);
            EXPECT_EQ(oneType, twoType);
            EXPECT_EQ(oneSize, twoSize);
            if (oneRc == kErrorSuccess) {
                EXPECT_EQ(std::vector<std::uint8_t>(one, one + oneSize), std::vector<std::uint8_t>(two, two + twoSize));
            }
        }
    }
    std::string name;
    std::uint32_t size = 0;
    EXPECT_EQ(api().enumValueData(scratch, 1, 2, name, nullptr, nullptr, &size), kErrorMoreData);  // "long"
    EXPECT_EQ(api().enumValueData(scratch, 4, 256, name, nullptr, nullptr, &size), kErrorNoMoreItems);
    api().closeKey(scratch);
}

TEST_F(Win32RegistryApiTest, KeyInfoCountsAndMeasuresNames) {
    HKey scratch = open();
    api().closeKey(open("abc", true));
    api().closeKey(open("abcdefgh", true));
    setString(scratch, "v", "0123456789");
    setString(scratch, "value12", "x");
    KeyInfo info;
    ASSERT_EQ(api().queryInfoKey(scratch, info), kErrorSuccess);
    EXPECT_EQ(info.subKeys, 2u);
    EXPECT_EQ(info.maxSubKeyLen, 8u);
    EXPECT_EQ(info.values, 2u);
    EXPECT_EQ(info.maxValueNameLen, 7u);
    // Data is measured as stored: a string of 10 ANSI characters is 11 UTF-16 characters.
    EXPECT_EQ(info.maxValueLen, 22u);
    api().closeKey(scratch);
}

TEST_F(Win32RegistryApiTest, DeletingAKeyWithSubkeysIsRefused) {
    api().closeKey(open("parent\\child", true));
    HKey scratch = open();
    EXPECT_EQ(api().deleteKey(scratch, "parent"), kErrorAccessDenied);
    EXPECT_EQ(subKeys(scratch), std::vector<std::string>{"parent"});
    api().closeKey(scratch);
}

TEST_F(Win32RegistryApiTest, TheRegistryObjectDeletesAWholeSubtree) {
    api().closeKey(open("tree\\a\\deep", true));
    api().closeKey(open("tree\\b", true));
    TRegistry reg(api());
    ASSERT_TRUE(reg.OpenKey("\\" + key(), false));
    EXPECT_TRUE(reg.DeleteKey("tree"));
    EXPECT_FALSE(reg.KeyExists("tree"));
    EXPECT_EQ(reg.CurrentPath(), "\\" + key());
}

TEST_F(Win32RegistryApiTest, FlushSucceedsOnAnOpenKey) {
    HKey scratch = open();
    EXPECT_EQ(api().flushKey(scratch), kErrorSuccess);
    api().closeKey(scratch);
}

TEST_F(Win32RegistryApiTest, SystemMessagesHaveNoLineEnd) {
    for (long code : {kErrorFileNotFound, kErrorAccessDenied, kErrorBadConfiguration}) {
        const std::string text = api().systemMessage(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_NE(text.back(), '\n') << code;
        EXPECT_NE(text.back(), '\r') << code;
        RecordProperty("message" + std::to_string(code), text);
    }
}

}  // namespace
}  // namespace keltora::wine
