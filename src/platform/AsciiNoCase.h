#pragma once
// Names compared as Windows compares the names of its files and keys, for the ASCII letters the
// program's own fixed names are made of: without regard to case. (Letters beyond ASCII compare as
// they are, so a name that differs there is taken for another: the side a check errs on.)
#include <algorithm>
#include <string>
#include <string_view>

namespace keltora {

inline char16_t UpperAsciiUnit(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

inline std::u16string UpperAsciiText(std::u16string_view text) {
    std::u16string upper(text);
    for (auto& c : upper) c = UpperAsciiUnit(c);
    return upper;
}

inline bool StartsNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char16_t a, char16_t b) {
               return UpperAsciiUnit(a) == UpperAsciiUnit(b);
           });
}

inline bool SameNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsNoCase(a, b);
}

}  // namespace keltora
