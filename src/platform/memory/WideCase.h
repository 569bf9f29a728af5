#pragma once
// Windows compares registry names without regard to case over the whole of UTF-16. The memory
// registry upper-cases the letters it meets in names: ASCII, Latin-1, Greek, Cyrillic and the
// full-width forms; every other unit compares as it is.
#include <string>
#include <string_view>

namespace keltora {

inline char16_t UpperUnit(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);
    return c;
}

inline std::u16string UpperWide(std::u16string_view text) {
    std::u16string result(text);
    for (auto& c : result) c = UpperUnit(c);
    return result;
}

inline bool EqualsNoCaseWide(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperUnit(a[i]) != UpperUnit(b[i])) return false;
    }
    return true;
}

}  // namespace keltora
