#pragma once
// UTF-16 paths for the wide calls: the exact "\\?\" form Windows does not normalise, and the
// long form of a path.
#include <windows.h>

#include <string>

#include "platform/ExtendedPath.h"

namespace keltora {

inline const wchar_t* WideText(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline std::u16string FromWide(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

// The path with every 8.3 short name in it made long (GetLongPathNameW); as given when that fails.
std::u16string LongPathOf(const std::u16string& path);

}  // namespace keltora
