#pragma once
// What may run while a long command runs. Every command of the window belongs to one group, by
// what it changes; a running command keeps the groups it conflicts with from starting until it
// ends, and the controls of those commands show disabled meanwhile. Everything else runs.
#include <string_view>

namespace keltora {

enum class CommandGroup {
    Free,        // changes no list: menus, links, the tray, options, timers, pages that need no scan
    BackupPage,  // shows the backup page, which lists the backup files anew
    Lists,       // scans or changes the result lists, the summary, the ignore lists; the optimizer
    Backups,     // makes, restores or deletes backups, and the repair pass, which may make one
};

// Whether a command of group `starting` may start while one of group `running` runs.
bool MayRunBeside(CommandGroup running, CommandGroup starting);

// Whether a command of the group holds the window's commands apart while it runs.
inline bool HoldsOthers(CommandGroup group) { return group == CommandGroup::Lists || group == CommandGroup::Backups; }

}  // namespace keltora
