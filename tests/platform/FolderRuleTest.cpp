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

}  // namespace
}  // namespace keltora
