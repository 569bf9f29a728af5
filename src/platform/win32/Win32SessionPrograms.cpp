// Shell::sessionPrograms through the Tool Help snapshot: every process of the system, kept when
// the system places it in this process's session. A process whose session cannot be asked (a
// protected one of the system) is not the user's and is passed over.
#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32Shell.h"

namespace keltora {

std::optional<std::vector<std::u16string>> Win32Shell::sessionPrograms() {
    DWORD ownSession = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &ownSession)) return std::nullopt;
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) return std::nullopt;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    if (!Process32FirstW(snapshot.get(), &entry)) return std::nullopt;
    std::vector<std::u16string> programs;
    do {
        DWORD session = 0;
        if (ProcessIdToSessionId(entry.th32ProcessID, &session) && session == ownSession)
            programs.push_back(FromWide(entry.szExeFile));
    } while (Process32NextW(snapshot.get(), &entry));
    return programs;
}

}  // namespace keltora
