#pragma once
// What of a scan's findings is one user's own data, and who that user is.
//
// A standard user who starts the program with an administrator's password gets a process of the
// administrator: its HKEY_CURRENT_USER, shell folders, Recycle Bin and clipboard owner are the
// administrator's, not those of the user who sits at the screen. What the per-user categories
// list in such a process is not that user's data, so its removal is refused and both accounts
// are named; the machine's own data is removed as always.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Account.h"
#include "platform/CodePage.h"
#include "scan/Finding.h"

namespace keltora {

enum class UserScope {
    Machine,   // the machine's data, the same for every account
    User,      // wholly one user's data
    Location,  // one user's where the finding is: HKEY_CURRENT_USER, or a folder outside Windows'
};

UserScope ScopeOf(std::string_view code);

// Whether a finding of the category is one user's data. A finding's location is its fourth
// column: a registry key ("HKCU\...", "HKLM\...") or a folder; systemRoot is the Windows folder.
bool IsUserData(std::string_view code, const Finding& finding, const std::string& systemRoot);

// The folder a finding of one user's data names, when it names one (a file's folder, its exact
// form where it has one); nullopt for a registry location, for none, and for the machine's folders.
std::optional<std::u16string> UserFolderOf(std::string_view code, const Finding& finding,
                                           const std::string& systemRoot, CodePage& codePage);

struct AccountPair {
    AccountId process;
    AccountId session;
};

// The process's account and the signed-in one when they differ; nullopt when they are the same
// or the system cannot tell either (then the process is taken to be the user's own).
std::optional<AccountPair> RunsAsAnotherUser(Account& account);

// What the user is told when the named categories kept their per-user findings.
std::string HeldBackMessage(const AccountPair& accounts, const std::vector<std::string>& categories);

// Whether a finding of the category needs an administrator's token to be removed. The registry
// categories journal every change before making it: a change of HKEY_CURRENT_USER in the user's
// own journal, every other one (and the startup removal's moves into startbug) in the
// administrator's below Program Files, so only what they list below HKEY_CURRENT_USER is open to
// a standard user. Every other category decides by the files it may delete.
bool NeedsAdministrator(std::string_view code, const Finding& finding);
// What the user is told when the named categories kept what needs the token.
std::string NeedsAdministratorMessage(const std::vector<std::string>& categories);

}  // namespace keltora
