#pragma once
// Which console commands need an administrator's token: those that change HKEY_LOCAL_MACHINE,
// the program's folders below Program Files, or files of the Windows folder and the system
// drive's root. Without the token they are refused before they change anything, and a category
// that also lists the user's own data leaves the rest in place; listing never needs it.
#include <string>
#include <string_view>
#include <vector>

namespace keltora {

struct AdminRow {
    // A command name, or the code of a category whose removal (remove, repair) needs it.
    std::string_view what;
    // What it changes that needs the token, for the message.
    std::string_view changes;
    // A category that lists the user's own data beside the machine's: what it lists below
    // HKEY_CURRENT_USER a standard user removes (and undoes, through the user's own journal); only
    // the rest needs the token, and stays listed (NeedsAdministrator, orchestration/UserData).
    bool userFindingsOpen;
};

extern const AdminRow kNeedsAdministrator[13];

// The rows of the commands and categories given that need the token; with whole, only those
// that need it for everything they change.
std::vector<const AdminRow*> AdministratorNeeds(const std::vector<std::string>& commandsAndCodes, bool whole = true);

// The refusal the user sees: the command, what it would change and how to go on.
std::string AdministratorRefusal(const std::string& command, const std::vector<const AdminRow*>& needs,
                                 bool takesDryRun);

}  // namespace keltora
