#include "platform/win32/Win32Account.h"

#include <windows.h>
#include <sddl.h>
#include <userenv.h>

#include <vector>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Paths.h"

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

// userenv.dll is no KnownDLL: it comes from the system folder at run time. The answer is the
// machine's record of the account (its ProfileList entry), in its long form.
namespace {

std::optional<std::u16string> tokenProfileFolder() {
    static const SystemProc<decltype(::GetUserProfileDirectoryW)> profileOf(L"userenv.dll",
                                                                              "GetUserProfileDirectoryW");
    HANDLE token = nullptr;
    if (!profileOf || !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::nullopt;
    ScopedHandle owned(token);
    DWORD size = 0;
    profileOf(token, nullptr, &size);
    if (size == 0) return std::nullopt;
    std::vector<wchar_t> folder(size + 1);
    if (!profileOf(token, folder.data(), &size)) return std::nullopt;
    return LongPathOf(FromWide(folder.data()));
}

}  // namespace

std::optional<std::u16string> Win32Account::profileFolder() {
    if (!profile_) profile_ = tokenProfileFolder();
    return *profile_;
}

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
