#pragma once
// The process's ANSI code page (CP_ACP) with the conversion the ANSI calls make, best fit included.
#include "platform/CodePage.h"

namespace keltora {

class Win32CodePage : public CodePage {
public:
    std::string toAnsi(const std::u16string& wide, bool* exact = nullptr) override;
    std::u16string toWide(const std::string& ansi) override;
};

}  // namespace keltora
