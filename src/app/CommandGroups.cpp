#include "app/CommandGroups.h"

#include <array>

namespace keltora {

namespace {

struct Conflict {
    CommandGroup running;
    CommandGroup blocked;
};

// A second command on the same lists would change them under the first one's feet; the backup
// page lists anew what a backup command is writing or deleting.
constexpr std::array<Conflict, 5> kConflicts{{
    {CommandGroup::Lists, CommandGroup::Lists},
    {CommandGroup::Lists, CommandGroup::Backups},
    {CommandGroup::Backups, CommandGroup::Lists},
    {CommandGroup::Backups, CommandGroup::Backups},
    {CommandGroup::Backups, CommandGroup::BackupPage},
}};

}  // namespace

bool MayRunBeside(CommandGroup running, CommandGroup starting) {
    for (const auto& conflict : kConflicts)
        if (conflict.running == running && conflict.blocked == starting) return false;
    return true;
}

}  // namespace keltora
