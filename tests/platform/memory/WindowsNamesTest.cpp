// The Windows rules the memory file system applies to names and paths: masks, short names and
// full paths, as tables.
#include <gtest/gtest.h>

#include "platform/memory/DosNames.h"
#include "platform/memory/WindowsPaths.h"

namespace keltora {
namespace {

TEST(WindowsNamesTest, MaskRows) {
    struct Row {
        const char* mask;
        const char* name;
        bool matches;
    };
    const Row rows[] = {
        {"*.*", "noext", true},        {"*.*", "a.b.c", true},         {"*", ".hidden", true},
        {"*.tmp", "A.TMP", true},      {"*.tmp", "a.tmp.bak", false},  {"*.tmp", "a.tmp.tmp", true},
        {"*.tmp", "tmp", false},       {"*.", "noext", true},          {"*.", "a.txt", false},
        {"?", "d", true},              {"?", "ab", false},             {"a?", "a", true},
        {"a?", "ab", true},            {"??", "a", true},              {"*.t?", "c.t", true},
        {"*.t?", "c.txt", false},      {"*.?", "noext", true},         {"File*.chk", "FILE0001.CHK", true},
        {"File*.chk", "xFile.chk", false}, {"*log.txt", "setuplog.txt", true}, {"*log.txt", "LOG.TXT", true},
        {"*log.txt", "log.txt.old", false}, {".*", ".hidden", true},   {".*", "abc", false},
        {"*.lo_", "wbem.lo_", true},   {"noext.", "noext", true},      {"*.txt.", "readme.txt", true},
        {"WindowsFile*.chk", "WindowsFile0000.chk", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.mask) + " against " + row.name);
        EXPECT_EQ(row.matches, MatchesMask(row.mask, row.name));
    }
}

TEST(WindowsNamesTest, ShortNameRows) {
    struct Row {
        const char* name;
        const char* shortName;
    };
    const Row rows[] = {
        {"readme.txt", ""},          {"README.TXT", ""},           {"Long File Name.html", "LONGFI~1.HTM"},
        {"x.tmpx", "X~1.TMP"},       {"a.tmp.bak", "ATMP~1.BAK"}, {".hidden", "HIDDEN~1"},
        {"a+b.txt", "A_B~1.TXT"},    {"verylongname", "VERYLO~1"}, {".", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.shortName, DosShortName(row.name));
    }
}

TEST(WindowsNamesTest, FindMatchesTheLongOrTheShortName) {
    EXPECT_TRUE(FindMatches("*.htm", "page.html"));
    EXPECT_TRUE(FindMatches("*.tmp", "x.tmpx"));
    EXPECT_FALSE(FindMatches("*.tmp", "a.tmp.bak"));
    EXPECT_FALSE(FindMatches("*.txt", "notes.text"));  // short name NOTES~1.TEX
}

TEST(WindowsNamesTest, FullPathRows) {
    struct Row {
        const char* path;
        const char* full;
    };
    const Row rows[] = {
        {"C:\\a\\..\\b", "C:\\b"},       {"C:\\a\\.\\b\\", "C:\\a\\b\\"}, {"foo", "C:\\foo"},
        {"\\foo", "C:\\foo"},            {"C:\\a.", "C:\\a"},             {"C:\\a. .", "C:\\a"},
        {"C:\\x\\*.", "C:\\x\\*"},       {"C:\\x\\*.*", "C:\\x\\*.*"},    {"C:\\..\\..", "C:\\"},
        {"C:foo", "C:\\foo"},            {"D:foo", "D:\\foo"},            {"c:\\Mixed\\Case", "c:\\Mixed\\Case"},
        {"C:/fwd/slash", "C:\\fwd\\slash"}, {"C:\\a\\\\b", "C:\\a\\b"},   {"C:\\a\\...", "C:\\a\\"},
        {"", ""},                        {"C:", "C:\\"},                  {"..\\x", "C:\\x"},
        {".", "C:\\"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(row.full, FullPathName(row.path, "C:\\"));
    }
    EXPECT_EQ("C:\\Work\\f.txt", FullPathName("f.txt", "C:\\Work"));
    EXPECT_EQ("C:\\Work\\f.txt", FullPathName("C:f.txt", "C:\\Work"));
}

}  // namespace
}  // namespace keltora
