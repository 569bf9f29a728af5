#pragma once
// The undo journals, the administrator's in the program's Undo folder and the user's own in the
// Undo folder of the user's Local AppData: listed together newest first with what their headers
// say, undone by name (refused whole when a journal is truncated, altered or unreadable), marked
// once undone completely, and deleted. The Undo Repairs page and the console share it.
#include <optional>
#include <string>
#include <vector>

#include "maintenance/UndoRestore.h"
#include "scan/ResultList.h"
#include "scan/ScanContext.h"

namespace keltora {

struct JournalListing {
    std::string name;
    JournalOwner owner = JournalOwner::Administrator;
    std::optional<JournalHeader> header;  // none: the file is not a readable journal
    // The list's columns after the name: date, time, command, changes, state.
    std::vector<std::string> columns() const;
};

// The folder of an owner's journals; empty when it is not known (no usable program-files folder,
// or no Local AppData).
std::string JournalFolder(const Paths& paths, JournalOwner owner);

// Every journal of both folders, newest first (by the time its header holds, a later journal of
// the same second first); files whose header cannot be read come last.
std::vector<JournalListing> ListJournals(FileSystem& files, const Paths& paths);

struct UndoOutcome {
    std::optional<std::string> refused;  // why the journal was not applied at all
    UndoReport report;
    std::string note;  // said besides: an unfinished last change, a mark that could not be set
    bool complete() const { return !refused && report.complete(); }
};

// Undoes the journal of that name (its owner's folder by its name) and marks it undone when
// nothing was left.
UndoOutcome UndoJournalFile(Platform& platform, const Paths& paths, const std::string& name);

// What the user is told of an undo: a line of totals, then every item left or failed.
std::string UndoSummary(const std::string& name, const UndoOutcome& outcome);

// The Undo Repairs page over its list.
class UndoRepairs {
public:
    UndoRepairs(ScanContext& context, ResultList& list) : context_(context), list_(list) {}

    void fill();
    bool hasSelection() const { return list_.selected() >= 0; }
    // Undoes the selected journal, refills the list and tells the user what became of it.
    void undoSelected();
    void deleteSelected();

    static constexpr const char* kNoSelection = "Please select an undo journal";

private:
    ScanContext& context_;
    ResultList& list_;
};

}  // namespace keltora
