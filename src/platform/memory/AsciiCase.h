#pragma once
// Windows compares registry and file names without regard to case; for the 8-bit names the
// program uses, ASCII upper-casing is the rule the memory backends apply.
#include <string>
#include <string_view>

namespace keltora {

inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string UpperAscii(std::string_view text) {
    std::string result(text);
    for (auto& c : result) c = UpperAscii(c);
    return result;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    }
    return true;
}

}  // namespace keltora
