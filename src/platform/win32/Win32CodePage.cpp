#include "platform/win32/Win32CodePage.h"

#include <windows.h>

namespace keltora {

std::string Win32CodePage::toAnsi(const std::u16string& wide, bool* exact) {
    std::string ansi;
    if (!wide.empty()) {
        const auto* source = reinterpret_cast<const wchar_t*>(wide.data());
        const int length = static_cast<int>(wide.size());
        // Flags 0: the best-fit mapping the ANSI calls use, so the text is what they would give.
        const int needed = WideCharToMultiByte(CP_ACP, 0, source, length, nullptr, 0, nullptr, nullptr);
        if (needed > 0) {
            ansi.resize(static_cast<std::size_t>(needed));
            WideCharToMultiByte(CP_ACP, 0, source, length, ansi.data(), needed, nullptr, nullptr);
        }
    }
    if (exact != nullptr) *exact = toWide(ansi) == wide;
    return ansi;
}

std::u16string Win32CodePage::toWide(const std::string& ansi) {
    std::u16string wide;
    if (ansi.empty()) return wide;
    const int length = static_cast<int>(ansi.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (needed <= 0) return wide;
    wide.resize(static_cast<std::size_t>(needed));
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, reinterpret_cast<wchar_t*>(wide.data()), needed);
    return wide;
}

}  // namespace keltora
