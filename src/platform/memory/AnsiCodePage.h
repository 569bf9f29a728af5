#pragma once
// The 8-bit code page the program's texts are in (Windows-1252) against the UTF-16LE that
// registry files of version 5.00 carry.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CodePage.h"

namespace keltora {

// UTF-16LE bytes (an odd last byte is ignored) as 8-bit text; characters outside the code page
// become '?', as WideCharToMultiByte does by default.
std::string Utf16LeToAnsi(const std::uint8_t* bytes, std::size_t size);
std::vector<std::uint8_t> AnsiToUtf16Le(const std::string& text);

// Windows-1252 as the ANSI calls use it, best fit included: full-width forms and Latin letters
// with marks that the code page lacks become their plain letters, the rest '?'.
class MemoryCodePage : public CodePage {
public:
    std::string toAnsi(const std::u16string& wide, bool* exact = nullptr) override;
    std::u16string toWide(const std::string& ansi) override;
};

// The UTF-8 code page, which Windows 10 1903 and later can make the ANSI one: every character
// is carried exactly, in one to four bytes, so an ANSI name may be three times as long as its
// UTF-16 form.
class MemoryUtf8CodePage : public CodePage {
public:
    std::string toAnsi(const std::u16string& wide, bool* exact = nullptr) override;
    std::u16string toWide(const std::string& ansi) override { return Utf8ToUtf16(ansi); }
};

}  // namespace keltora
