#pragma once
// UTF-16 paths for the wide calls: the exact "\\?\" form Windows does not normalise, the long
// form of a path, and the one act on a listed file.
#include <windows.h>

#include <string>

#include "platform/FileSystem.h"

namespace keltora {

inline const wchar_t* WideText(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline std::u16string FromWide(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

// "\\?\C:\x" for "C:\x", "\\?\UNC\server\share\x" for "\\server\share\x": the path as written.
std::u16string ExtendedPath(const std::u16string& path);
// The path with every 8.3 short name in it made long (GetLongPathNameW); as given when that fails.
std::u16string LongPathOf(const std::u16string& path);
// FileSystem::act on the real file system.
FileActResult ActOnListedFile(const FileAct& act);
// FileSystem::removeEmptyFolder and FileSystem::heldOpen on the real file system.
FileActResult RemoveListedEmptyFolder(const FileAct& act);
bool HeldOpenByAnother(const std::u16string& path);

}  // namespace keltora
