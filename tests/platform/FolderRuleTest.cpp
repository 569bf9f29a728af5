// The one folder rule, as the system resolves a path: what a value names, or that it names none.
#include <gtest/gtest.h>

#include "platform/FolderRule.h"

namespace keltora {
namespace {

TEST(FolderRule, ResolvedRows) {
    struct Row {
        std::u16string text;
        std::optional<std::u16string> usable;  // nullopt: names no folder a category may use
    };
    const Row rows[] = {
        {u"C:\\Users\\pat", u"C:\\Users\\pat"},
        {u"C:/Users//pat/./x/../", u"C:\\Users\\pat"},
        {u"\\\\?\\C:\\Users", u"C:\\Users"},
        {u"\\\\.\\C:\\Users", u"C:\\Users"},
        {u"\\\\server\\share\\dir", u"\\\\server\\share\\dir"},
        {u"\\\\?\\UNC\\server\\share\\dir", u"\\\\server\\share\\dir"},
        {u"C:\\...\\x", std::nullopt},
        {u"", std::nullopt},
        {u"rel", std::nullopt},
        {u"\\X", std::nullopt},
        {u"C:", std::nullopt},
        {u"C:X", std::nullopt},
        {u"C:\\", std::nullopt},
        {u"C:\\Windows\\..", std::nullopt},
        {u"C:\\..\\..", std::nullopt},
        {u"\\\\server\\share", std::nullopt},
        {u"\\\\server\\share\\..", std::nullopt},
        {u"\\\\server", std::nullopt},
        {u"%USERPROFILE%\\x", std::nullopt},
        {u"C:\\dir.\\x", std::nullopt},
        {u"C:\\dir \\x", std::nullopt},
        {u"C:\\a*b", std::nullopt},
        {u"C:\\a:b", std::nullopt},
        {u"\\\\?\\Volume{1234}\\x", std::nullopt},
        {u"\\\\.\\PhysicalDrive0", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(UsableFolder(row.text), row.usable) << std::string(row.text.begin(), row.text.end());
        EXPECT_TRUE(!row.usable || IsResolvedFolder(*row.usable));
    }
    EXPECT_TRUE(IsResolvedFolder(u"C:\\"));
    EXPECT_FALSE(IsResolvedFolder(u"C:\\a\\..\\b"));
    EXPECT_FALSE(IsResolvedFolder(u"C:\\a\\"));
}

// The profile rule: strictly inside the profile by whole parts, in any ASCII case (another case of
// another letter counts as another folder), and clear of the machine's folders either way.
TEST(FolderRule, ProfileRuleRows) {
    const std::u16string pat = u"C:\\Users\\pat";
    const std::vector<std::u16string> machine = {u"C:\\Windows", u"C:\\Users\\pat\\Apps"};
    struct Row {
        std::u16string folder;
        UserFolderVerdict verdict;
    };
    const Row rows[] = {
        {u"C:\\Users\\pat\\AppData\\Roaming\\Recent", UserFolderVerdict::Allowed},
        {u"c:\\USERS\\Pat\\Cookies", UserFolderVerdict::Allowed},
        {u"C:\\Users\\pat", UserFolderVerdict::OutsideProfile},
        {u"C:\\Users\\patrick\\Cookies", UserFolderVerdict::OutsideProfile},
        {u"C:\\Users\\p\u00C5t\\Cookies", UserFolderVerdict::OutsideProfile},
        {u"C:\\Users\\pat\\Apps\\Tool", UserFolderVerdict::MachineFolder},
        {u"C:\\Users\\pat\\AppsData", UserFolderVerdict::Allowed},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CheckUserFolder(row.folder, pat, machine), row.verdict) << std::string(row.folder.begin(), row.folder.end());
    // Around a machine folder is as bad as in it; without a profile nothing is allowed.
    EXPECT_EQ(CheckUserFolder(u"C:\\Users\\pat\\A", pat, {u"C:\\Users\\pat\\A\\Windows"}), UserFolderVerdict::MachineFolder);
    EXPECT_EQ(CheckUserFolder(u"C:\\Users\\pat\\A", std::nullopt, {}), UserFolderVerdict::NoProfile);
}

}  // namespace
}  // namespace keltora
