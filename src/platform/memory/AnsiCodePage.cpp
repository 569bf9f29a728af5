#include "platform/memory/AnsiCodePage.h"

namespace keltora {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; 0 marks the five unassigned bytes.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t ToUnit(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0) return kHighControls[byte - 0x80];
    return byte;
}

// Best fit of U+0100..U+017F: the letter without its mark, '?' where there is none.
constexpr char kLatinExtendedA[] =
    "AaAaAaCcCcCcCcDd??EeEeEeEeEeGgGgGgGgHh??IiIiIiIiI???JjKk?LlLlLl????NnNnNn???OoOoOo??RrRrRrSsSsSsSsTtTt??"
    "UuUuUuUuUuUuWwYyYZzZzZz?";

char ToByte(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (unsigned i = 0; i < 32; ++i) {
        if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
    }
    if (unit >= 0xFF01 && unit <= 0xFF5E) return static_cast<char>(unit - 0xFF01 + 0x21);  // full-width forms
    if (unit >= 0x0100 && unit <= 0x017F) return kLatinExtendedA[unit - 0x0100];
    return '?';
}

}  // namespace

std::string Utf16LeToAnsi(const std::uint8_t* bytes, std::size_t size) {
    std::string text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(ToByte(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8))));
    }
    return text;
}

std::vector<std::uint8_t> AnsiToUtf16Le(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char c : text) {
        char16_t unit = ToUnit(static_cast<unsigned char>(c));
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

std::string MemoryCodePage::toAnsi(const std::u16string& wide, bool* exact) {
    std::string text;
    text.reserve(wide.size());
    for (char16_t unit : wide) text.push_back(ToByte(unit));
    if (exact != nullptr) *exact = toWide(text) == wide;
    return text;
}

std::u16string MemoryCodePage::toWide(const std::string& ansi) {
    std::u16string wide;
    wide.reserve(ansi.size());
    for (char c : ansi) wide.push_back(ToUnit(static_cast<unsigned char>(c)));
    return wide;
}

std::string MemoryUtf8CodePage::toAnsi(const std::u16string& wide, bool* exact) {
    std::string text = Utf16ToUtf8(wide);
    if (exact != nullptr) *exact = toWide(text) == wide;
    return text;
}

}  // namespace keltora
