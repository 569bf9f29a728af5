#include "platform/win32/Win32Paths.h"

#include <vector>

namespace keltora {

namespace {

// The path without the "\\?\" of the extended form, shares as "\\server\share".
std::u16string WithoutExtendedPrefix(std::u16string path) {
    constexpr std::u16string_view kExtended = u"\\\\?\\";
    constexpr std::u16string_view kExtendedUnc = u"\\\\?\\UNC\\";
    if (path.starts_with(kExtendedUnc)) return u"\\\\" + path.substr(kExtendedUnc.size());
    if (path.starts_with(kExtended)) return path.substr(kExtended.size());
    return path;
}

}  // namespace

std::u16string LongPathOf(const std::u16string& path) {
    const std::u16string extended = ExtendedPath(path);
    const DWORD needed = GetLongPathNameW(WideText(extended), nullptr, 0);
    if (needed == 0) return path;
    std::vector<wchar_t> buffer(needed);
    const DWORD length = GetLongPathNameW(WideText(extended), buffer.data(), needed);
    if (length == 0 || length >= needed) return path;
    return WithoutExtendedPrefix(FromWide(buffer.data()));
}

}  // namespace keltora
