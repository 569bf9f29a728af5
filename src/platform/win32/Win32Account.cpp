#include "platform/win32/Win32Account.h"

#include <windows.h>
#include <sddl.h>

#include <vector>

#include "platform/win32/Win32Handle.h"

namespace keltora {
namespace {

std::optional<AccountId> tokenUser(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return std::nullopt;
    PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    AccountId id;
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return std::nullopt;
    id.sid = text;
    LocalFree(text);
    char name[256], domain[256];
    DWORD nameSize = sizeof name, domainSize = sizeof domain;
    SID_NAME_USE use;
    id.display = LookupAccountSidA(nullptr, sid, name, &nameSize, domain, &domainSize, &use)
                     ? std::string(domain) + "\\" + name
                     : id.sid;
    return id;
}

std::optional<AccountId> userOfProcess(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
    ScopedHandle owned(token);
    return tokenUser(token);
}

}  // namespace

bool Win32Account::elevated() {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        ScopedHandle owned(token);
        TOKEN_ELEVATION elevation{};
        DWORD size = 0;
        if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size))
            return elevation.TokenIsElevated != 0;
    }
    // Without the elevation class (older systems): membership of Administrators that is not
    // only for denying.
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

std::optional<AccountId> Win32Account::processUser() { return userOfProcess(GetCurrentProcess()); }

std::optional<AccountId> Win32Account::sessionUser() {
    HWND shell = GetShellWindow();
    if (shell == nullptr) return std::nullopt;
    DWORD processId = 0;
    GetWindowThreadProcessId(shell, &processId);
    if (processId == 0) return std::nullopt;
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.valid()) return std::nullopt;
    return userOfProcess(process.get());
}

}  // namespace keltora
