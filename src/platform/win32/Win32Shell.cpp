#include "platform/win32/Win32Shell.h"

#include <algorithm>

#include <windows.h>
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Paths.h"

namespace keltora {

bool Win32Shell::open(const std::string& target, const std::string& parameters) {
    HINSTANCE result = ShellExecuteA(nullptr, nullptr, target.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                                     nullptr, SW_SHOWNORMAL);
    // ShellExecuteA reports success as a value above 32 in its HINSTANCE.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// The version record of the system's own shell32.dll, by its full path: a bare name would be
// looked for in the program's folder first. version.dll is no KnownDLL, so it comes from the
// system folder at run time.
std::optional<std::uint32_t> Win32Shell::shell32Version() {
    static const SystemProc<decltype(::GetFileVersionInfoSizeW)> infoSize(L"version.dll", "GetFileVersionInfoSizeW");
    static const SystemProc<decltype(::GetFileVersionInfoW)> info(L"version.dll", "GetFileVersionInfoW");
    static const SystemProc<decltype(::VerQueryValueW)> query(L"version.dll", "VerQueryValueW");
    if (!infoSize || !info || !query) return std::nullopt;
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    const std::wstring path = std::wstring(system, length) + L"\\shell32.dll";
    DWORD ignored = 0;
    const DWORD size = infoSize(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<char> block(size);
    if (!info(path.c_str(), 0, size, block.data())) return std::nullopt;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (!query(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLength) || fixed == nullptr ||
        fixedLength < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    // The high word of dwFileVersionMS is the major version, the low word the minor one.
    return fixed->dwFileVersionMS;
}

std::optional<RecycleBinInfo> Win32Shell::queryRecycleBin() {
    SHQUERYRBINFO query{};
    query.cbSize = sizeof query;
    if (SHQueryRecycleBinA(nullptr, &query) != S_OK) return std::nullopt;
    return RecycleBinInfo{query.i64Size, query.i64NumItems};
}

bool Win32Shell::emptyRecycleBin(std::uint32_t flags) {
    return SHEmptyRecycleBinA(nullptr, nullptr, flags) == S_OK;
}

std::optional<std::uint32_t> Win32Shell::runAndWait(const std::string& program, const std::string& parameters,
                                                    std::uint32_t timeoutMs,
                                                    const std::function<void()>& whileWaiting, long* startError) {
    if (startError) *startError = 0;
    // The program is quoted so that a path with blanks stays one word of the command line.
    std::string commandLine = !program.empty() && program.front() == '"' ? program : "\"" + program + "\"";
    if (!parameters.empty()) commandLine += " " + parameters;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        if (startError) *startError = static_cast<long>(GetLastError());
        return std::nullopt;
    }
    ScopedHandle processHandle(process.hProcess);
    ScopedHandle threadHandle(process.hThread);

    // A program that outlives the wait is left running: ending it could lose what it was writing.
    const DWORD started = GetTickCount();
    for (;;) {
        const DWORD waited = GetTickCount() - started;
        if (waited >= timeoutMs) return std::nullopt;
        const DWORD slice = whileWaiting ? std::min<DWORD>(kWaitTickMs, timeoutMs - waited) : timeoutMs - waited;
        const DWORD result = WaitForSingleObject(process.hProcess, slice);
        if (result == WAIT_OBJECT_0) break;
        if (result != WAIT_TIMEOUT) return std::nullopt;
        if (whileWaiting) whileWaiting();
    }
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.hProcess, &exitCode)) return std::nullopt;
    return exitCode;
}

std::string Win32Shell::windowsFolder() {
    // Not GetWindowsDirectory: for a process that is not terminal-server aware that is the
    // user's private Windows folder on a terminal server, where anyone may have put a program.
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string result(folder, length);
    if (!result.empty() && result.back() == '\\') result.pop_back();
    return result;
}

std::u16string Win32Shell::knownFolder(KnownFolder folder, KnownFolderPath which) {
    const KNOWNFOLDERID* id = &FOLDERID_LocalAppData;
    switch (folder) {
        case KnownFolder::LocalAppData: id = &FOLDERID_LocalAppData; break;
        case KnownFolder::RoamingAppData: id = &FOLDERID_RoamingAppData; break;
        case KnownFolder::ProgramData: id = &FOLDERID_ProgramData; break;
    }
    PWSTR path = nullptr;
    const DWORD flags = which == KnownFolderPath::Default ? DWORD{KF_FLAG_DEFAULT_PATH} : 0;
    const HRESULT result = SHGetKnownFolderPath(*id, flags, nullptr, &path);
    std::u16string text = SUCCEEDED(result) && path != nullptr ? FromWide(path) : std::u16string();
    CoTaskMemFree(path);
    return text;
}

}  // namespace keltora
