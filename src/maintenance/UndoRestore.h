#pragma once
// Undo of a journal: each key and value it kept is made again with its exact name, type and
// bytes, each file moved into startbug goes back, last change first, but only where nothing
// stands in the way: a value made again meanwhile, a key that exists again with other content,
// or a file of that name back in the Startup folder is left as it is and reported, and a file is
// moved back only when it is the very file that was moved (its identity). Whatever undo
// writes it reads back and compares. It writes nothing the journal does not name.
#include <string>
#include <vector>

#include "maintenance/BackupName.h"
#include "maintenance/JournalRecords.h"
#include "platform/Platform.h"

namespace keltora {

struct UndoReport {
    int restored = 0;                // brought back and read back as kept (or found so already)
    std::vector<std::string> left;   // "what: why", left as it stands
    std::vector<std::string> failed; // "what: why", tried and not read back as kept
    bool complete() const { return left.empty() && failed.empty(); }
};

// startbug: the folder the startup removal moves files into; a file is only ever moved back
// from there, into a folder by the same name. The user's own journal may name only the user's
// own data: an entry of it that names anything else (another root than HKEY_CURRENT_USER, a file)
// is left as it is and reported; the user's programs can write that journal, and a process with
// more rights undoes it.
UndoReport UndoChanges(Platform& platform, const std::string& startbug, const std::vector<JournalEntry>& entries,
                       JournalOwner owner);

}  // namespace keltora
