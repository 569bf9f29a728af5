#include "cli/AdminRights.h"

namespace keltora {

// clang-format off
const AdminRow kNeedsAdministrator[13] = {
    {"sp", "the machine's Run key and the startbug folder below Program Files", true},
    {"ue", "the Uninstall key of HKEY_LOCAL_MACHINE", true},
    {"fe", "the classes of HKEY_LOCAL_MACHINE", true},
    {"ax", "the classes of HKEY_LOCAL_MACHINE", true},
    {"da", "HKEY_LOCAL_MACHINE\\SOFTWARE", true},
    {"dump", "memory dumps in the Windows folder", false},
    {"chk", "chkdsk files in the system drive's root", false},
    {"log", "log files in the Windows folder", false},
    {"ignore", "the ignore files below Program Files", false},
    {"backup", "the Backups folder below Program Files", false},
    {"restore", "the whole registry, HKEY_LOCAL_MACHINE included", false},
    {"delete", "the Backups folder below Program Files", false},
    {"undo", "the keys and values the administrator's journal names, HKEY_LOCAL_MACHINE among them", false},
};
// clang-format on

std::vector<const AdminRow*> AdministratorNeeds(const std::vector<std::string>& commandsAndCodes, bool whole) {
    std::vector<const AdminRow*> needs;
    for (const auto& what : commandsAndCodes)
        for (const auto& row : kNeedsAdministrator)
            if (row.what == what && (!whole || !row.userFindingsOpen)) needs.push_back(&row);
    return needs;
}

std::string AdministratorRefusal(const std::string& command, const std::vector<const AdminRow*>& needs,
                                 bool takesDryRun) {
    std::string text = command + " needs administrator rights: it changes ";
    for (std::size_t i = 0; i < needs.size(); ++i) {
        if (i) text += "; ";
        text += std::string(needs[i]->changes) + (needs[i]->what == command ? "" : " (" + std::string(needs[i]->what) + ")");
    }
    return text + ". Nothing was changed. Run it from an elevated console" +
           (takesDryRun ? ", or add --dry-run to see what it would do." : ".");
}

}  // namespace keltora
