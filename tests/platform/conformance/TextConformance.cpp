// The size texts and the substring remover: the same texts whatever the backend.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace keltora
