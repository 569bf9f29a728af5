#pragma once
// The system's ANSI code page against UTF-16, the form Windows keeps every name in. The ANSI
// calls convert with it, and they do not only turn unmappable characters into '?': they map
// look-alikes onto plain letters (a full-width "ｒｅｐｏｒｔ" reads as "report"), so an ANSI
// name may name another item than the one it was read from.
#include <string>

namespace keltora {

class CodePage {
public:
    virtual ~CodePage() = default;
    // The text as the ANSI calls give it; exact is false when converting it back does not give
    // the wide text again (an unmappable or a look-alike character).
    virtual std::string toAnsi(const std::u16string& wide, bool* exact = nullptr) = 0;
    virtual std::u16string toWide(const std::string& ansi) = 0;
};

// UTF-8 of a UTF-16 text (for output that leaves the ANSI world, such as JSON); an unpaired
// surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& wide);
std::u16string Utf8ToUtf16(const std::string& utf8);

}  // namespace keltora
