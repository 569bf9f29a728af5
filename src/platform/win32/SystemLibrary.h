#pragma once
// DLLs beyond Windows' KnownDLLs, reached at run time from the system folder only.
//
// For a DLL a program imports, Windows looks in the program's own folder first, unless the DLL is
// one of the KnownDLLs, which it always takes from its own copy. A portable copy unpacked into
// Downloads would run a version.dll planted beside it inside an administrator's elevated process.
// So the programs import KnownDLLs only (a build test lists their imports) and reach every other
// DLL through here, by LoadLibraryExW with LOAD_LIBRARY_SEARCH_SYSTEM32, which never looks into
// the program's folder, the current folder or PATH. A side-by-side assembly that the manifest
// names (the common controls, version 6) is still the one loaded: the loader resolves it before
// any folder is searched.
#include <windows.h>

#include <utility>

namespace keltora {

// What each program does first: every DLL loaded at run time, and every DLL that one loads in
// turn, comes from the system folder. False where the system cannot restrict the search.
bool RestrictDllSearchToSystem();

// A DLL of the system folder, loaded on first use and kept for the life of the process; nullptr
// when the system has none of that name.
HMODULE SystemModule(const wchar_t* name);

// A function of a system DLL, looked up once where it is declared:
//   static const SystemProc<decltype(::VerQueryValueW)> query(L"version.dll", "VerQueryValueW");
// It tests false when the DLL or the function is missing; its callers then fail as the function
// itself would.
template <typename Function>
class SystemProc {
public:
    SystemProc(const wchar_t* module, const char* name) {
        if (HMODULE handle = SystemModule(module))
            // Through the generic function type, which every function pointer may be cast to and from.
            function_ = reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
    }
    explicit operator bool() const { return function_ != nullptr; }
    template <typename... Args>
    auto operator()(Args&&... args) const {
        return function_(std::forward<Args>(args)...);
    }

private:
    Function* function_ = nullptr;
};

}  // namespace keltora
