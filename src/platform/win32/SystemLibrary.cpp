#include "platform/win32/SystemLibrary.h"

namespace keltora {

bool RestrictDllSearchToSystem() { return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != 0; }

// Never freed: the functions looked up in it are kept for the life of the process. A second load
// of a loaded DLL only counts it once more.
HMODULE SystemModule(const wchar_t* name) { return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); }

}  // namespace keltora
