#pragma once
// Which console commands need an administrator's token: those that change HKEY_LOCAL_MACHINE,
// the program's folders below Program Files, or files of the Windows folder and the system
// drive's root. Without the token they are refused before they change anything; listing never
// needs it.
#include <string>
#include <string_view>
#include <vector>

namespace keltora {

struct AdminRow {
    // A command name, or the code of a category whose removal (remove, repair) needs it.
    std::string_view what;
    // What it changes that needs the token, for the message.
    std::string_view changes;
    // Needed only once registry changes are journaled below Program Files.
    bool journaledOnly;
};

extern const AdminRow kNeedsAdministrator[16];

// Whether registry removals write undo journals (below Program Files).
inline constexpr bool kUndoJournals = true;

// The rows of the commands and categories given that need the token.
std::vector<const AdminRow*> AdministratorNeeds(const std::vector<std::string>& commandsAndCodes);

// The refusal the user sees: the command, what it would change and how to go on.
std::string AdministratorRefusal(const std::string& command, const std::vector<const AdminRow*>& needs,
                                 bool takesDryRun);

}  // namespace keltora
