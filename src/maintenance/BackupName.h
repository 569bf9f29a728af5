#pragma once
// The name of a registry backup holds its creation time: "Backup_" H-M-S "_" D-Mo-Y ".reg",
// each part in decimal without leading zeros.
#include <optional>
#include <string>

#include "platform/Clock.h"

namespace keltora {

std::string BackupFileName(const LocalTime& time);
// Whose undo journal a file is: the administrator's (below Program Files, any change) or the
// user's own (in the user's Local AppData, changes of HKEY_CURRENT_USER only).
enum class JournalOwner { Administrator, User };
// An undo journal's name in the same pattern: "Undo_" (the user's own: "UserUndo_") H-M-S "_"
// D-Mo-Y ".reg"; a later journal of the same second adds "_2", "_3" ... before ".reg".
std::string JournalFileName(JournalOwner owner, const LocalTime& time, int sequence = 1);
// The journals of an owner as a file pattern ("Undo_*.reg"), and the owner a name stands for.
std::string JournalFilePattern(JournalOwner owner);
std::optional<JournalOwner> JournalOwnerOf(const std::string& name);

// What the backup list shows of a name; a part that does not parse ends what is known.
struct BackupNameParts {
    std::optional<std::string> date;  // short date format
    std::optional<std::string> time;  // long time format
    bool complete() const { return date && time; }
};
BackupNameParts ParseBackupFileName(const std::string& name);

// The user's formats as a fresh system has them: "1/7/2026" and "9:05:03 AM".
std::string ShortDateText(int day, int month, int year);
std::string LongTimeText(int hour, int minute, int second);

}  // namespace keltora
