#pragma once
// The "\\?\" form of a resolved path: the system reads it as written, at any length, without
// resolving "." or "..", dropping a trailing dot or blank, or reading a device name.
#include <string>

namespace keltora {

// "\\?\C:\x" for "C:\x", "\\?\UNC\server\share\x" for "\\server\share\x".
inline std::u16string ExtendedPath(const std::u16string& path) {
    if (path.starts_with(u"\\\\")) return u"\\\\?\\UNC\\" + path.substr(2);
    return u"\\\\?\\" + path;
}

}  // namespace keltora
