// The registry string read, the settings write and the shell-folder lookup against a backend.
#include "ConformanceFixture.h"
#include "platform/Helpers.h"
#include "platform/Registry2.h"

namespace keltora::conformance {
namespace {

class RegistryHelpersConformance : public ConformanceTest {};

TEST_F(RegistryHelpersConformance, StringReadTakesWhatFitsIn256Bytes) {
    struct Row {
        const char* name;
        std::string stored;
        std::string read;
    };
    const Row rows[] = {
        {"short", "abc", "abc"},
        {"empty", "", ""},
        {"255", std::string(255, 'x'), std::string(255, 'x')},
        {"256", std::string(256, 'y'), ""},
        {"300", std::string(300, 'z'), ""},
    };
    for (const auto& row : rows) putString(key(), row.name, row.stored);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.read, RegReadString(registry(), kHKeyCurrentUser, key(), row.name));
    }
}

TEST_F(RegistryHelpersConformance, StringReadFailsQuietly) {
    putString(key(), "there", "x");
    EXPECT_EQ("", RegReadString(registry(), kHKeyCurrentUser, key(), "missing"));
    EXPECT_EQ("", RegReadString(registry(), kHKeyCurrentUser, key("Missing"), "there"));
}

TEST_F(RegistryHelpersConformance, StringReadDoesNotLookAtTheType) {
    putValue(key(), "dword", kRegDword, {'A', 'B', 'C', 0});
    putValue(key(), "binary", kRegBinary, {'h', 'i', '!'});
    EXPECT_EQ("ABC", RegReadString(registry(), kHKeyCurrentUser, key(), "dword"));
    // Only a terminating NUL is dropped: data stored without one is read whole.
    EXPECT_EQ("hi!", RegReadString(registry(), kHKeyCurrentUser, key(), "binary"));
    putValue(key(), "unterminated", kRegSz, {'x', '.', 'd', 'l', 'l'});
    EXPECT_EQ("x.dll", RegReadString(registry(), kHKeyCurrentUser, key(), "unterminated"));
}

TEST_F(RegistryHelpersConformance, SettingsWriteCreatesTheKeyAndWritesAString) {
    SettingsWrite(registry(), kHKeyCurrentUser, key("Settings\\Deeper"), "autoscan", "1", 1);
    const RawValue stored = rawValue(key("Settings\\Deeper"), "autoscan");
    ASSERT_EQ(kErrorSuccess, stored.rc);
    EXPECT_EQ(kRegSz, stored.type);
    EXPECT_EQ((std::vector<std::uint8_t>{'1', 0}), stored.data);
}

TEST_F(RegistryHelpersConformance, SettingsWriteTypes) {
    struct Row {
        int type;
        const char* value;
        std::uint32_t storedType;
        std::vector<std::uint8_t> data;
    };
    const Row rows[] = {
        {1, "abc", kRegSz, {'a', 'b', 'c', 0}},
        {2, "%T%", kRegExpandSz, {'%', 'T', '%', 0}},
        {3, "42", kRegDword, {42, 0, 0, 0}},
        {4, "hi", kRegBinary, {'h', 'i'}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        SettingsWrite(registry(), kHKeyCurrentUser, key(), "v", row.value, row.type);
        const RawValue stored = rawValue(key(), "v");
        EXPECT_EQ(row.storedType, stored.type);
        EXPECT_EQ(row.data, stored.data);
    }
}

TEST_F(RegistryHelpersConformance, SettingsWriteTypeZeroCannotSeeThePresentType) {
    // Its key is opened with KEY_WRITE, which holds no right to query values: the present type
    // reads as unknown even when the value is there, and the write raises as for a bad type.
    putValue(key(), "count", kRegDword, {1, 0, 0, 0});
    EXPECT_THROW(SettingsWrite(registry(), kHKeyCurrentUser, key(), "count", "7", 0), EOSError);
    EXPECT_EQ((std::vector<std::uint8_t>{1, 0, 0, 0}), rawValue(key(), "count").data);
}

TEST_F(RegistryHelpersConformance, SettingsWriteWithAnUnknownTypeRaisesTheMessageOf1013) {
    const std::string expected = registry().systemMessage(kErrorBadConfiguration);
    ASSERT_FALSE(expected.empty());
    struct Row {
        const char* what;
        int type;
    };
    // A missing value has no present type to take.
    for (const Row& row : {Row{"type 7", 7}, Row{"type 0 without a value", 0}, Row{"type -1", -1}}) {
        SCOPED_TRACE(row.what);
        try {
            SettingsWrite(registry(), kHKeyCurrentUser, key(), "fresh", "1", row.type);
            ADD_FAILURE() << "no error raised";
        } catch (const EOSError& e) {
            EXPECT_EQ(expected, e.what());
        }
        EXPECT_EQ(kErrorFileNotFound, rawValue(key(), "fresh").rc);
    }
}

TEST_F(RegistryHelpersConformance, ShellFolderOfAMissingValueIsEmpty) {
    EXPECT_EQ("", ShellFolder(registry(), "KeltoraNoSuchFolder"));
}

TEST_F(RegistryHelpersConformance, ShellFolderReadsTheUsersShellFoldersKey) {
    // The real key holds the user's folders; only a value of our own is added and taken away.
    // A folder of any length, longer than the string read takes, is read whole.
    const std::string deep = "C:\\Somewhere\\" + std::string(300, 'd') + "\\Else";
    putString(kShellFoldersKey, "KeltoraConformance", "C:\\Somewhere\\Else");
    putString(kShellFoldersKey, "KeltoraConformanceDeep", deep);
    const std::string folder = ShellFolder(registry(), "KeltoraConformance");
    const std::string deepFolder = ShellFolder(registry(), "KeltoraConformanceDeep");
    TRegistry cleanup(registry());
    if (cleanup.OpenKey(kShellFoldersKey, false)) {
        cleanup.DeleteValue("KeltoraConformance");
        cleanup.DeleteValue("KeltoraConformanceDeep");
    }
    EXPECT_EQ("C:\\Somewhere\\Else", folder);
    EXPECT_EQ(deep, deepFolder);
}

}  // namespace
}  // namespace keltora::conformance
