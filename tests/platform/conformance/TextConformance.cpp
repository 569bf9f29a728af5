// The size texts and the substring remover: the same texts whatever the backend.
#include <gtest/gtest.h>

#include "ConformanceEnv.h"
#include "platform/Helpers.h"

namespace keltora {
namespace {

TEST(TextConformance, SizeTextRows) {
    struct Row {
        const char* decimal;
        const char* text;
    };
    const Row rows[] = {
        {"0", "0 bytes"},          {"1023", "1023 bytes"},     {"1024", "1.00 KB"},
        {"1536", "1.50 KB"},       {"1048576", "1.00 MB"},     {"1572864", "1.50 MB"},
        {"3221225472", "3.00 GB"}, {"5368709120", "5.00 GB"}, {"-1", "-1 bytes"},
        {"-1536", "-1.50 KB"},     {"not a number", "0 bytes"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.decimal);
        EXPECT_EQ(row.text, SizeText(row.decimal));
    }
    EXPECT_EQ("3.00 GB", SizeText(std::int64_t{3} << 30));
}

TEST(TextConformance, RemoveSubstringIsCaseSensitiveAndRepeats) {
    struct Row {
        const char* pattern;
        const char* text;
        const char* result;
    };
    const Row rows[] = {
        {"WINDOWS", "C:\\WINDOWS", "C:\\"},
        {"WINDOWS", "C:\\Windows", "C:\\Windows"},
        {"HKCU\\", "HKCU\\Software\\Run", "Software\\Run"},
        {"ab", "aabb", ""},  // removing one occurrence makes the next
        {"x", "", ""},
        {"", "kept", "kept"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.pattern) + " in " + row.text);
        EXPECT_EQ(row.result, RemoveSubstring(row.pattern, row.text));
    }
}

// What the ANSI calls make of a wide name, and whether the ANSI form names the same thing: a
// look-alike mapped onto a plain letter or an unmappable character must never pass as exact.
TEST(TextConformance, AnsiFormsOfWideNamesAndWhetherTheyAreExact) {
    struct Row {
        std::u16string wide;
        const char* ansi;
        bool exact;
    };
    const Row rows[] = {
        {u"Updater", "Updater", true},
        {u"caf\u00e9", "caf\xe9", true},
        {u"\uff35\uff50\uff44\uff41\uff54\uff45\uff52", "Updater", false},  // full-width
        {u"\u0101", "a", false},
        {u"\u4e2d\u6587", "??", false},
        {u"??", "??", true},
    };
    CodePage& codePage = conformance::conformanceEnv().platform().codePage;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ansi);
        bool exact = !row.exact;
        EXPECT_EQ(row.ansi, codePage.toAnsi(row.wide, &exact));
        EXPECT_EQ(row.exact, exact);
        if (row.exact) {
            EXPECT_EQ(row.wide, codePage.toWide(row.ansi));
        }
    }
    EXPECT_EQ("\xe4\xb8\xad|\xf0\x9f\x98\x80", Utf16ToUtf8(u"\u4e2d|\U0001F600"));
    EXPECT_EQ(u"\u4e2d|\U0001F600", Utf8ToUtf16("\xe4\xb8\xad|\xf0\x9f\x98\x80"));
}

}  // namespace
}  // namespace keltora
