#pragma once
// The undo journal behind the removals' journal seam: for every change it captures what the
// change takes away and keeps it in the group of entries it will write; writing a group adds it
// to the command's journal file, flushes it once, reads it back and compares it with what it
// captured, and only then may the group's changes be made. Each command that changes something
// keeps up to two journals, each made at its first change: the user's own in the Undo folder of
// the user's Local AppData for the changes of HKEY_CURRENT_USER (so a standard user can undo
// them), and the administrator's in the Undo folder below the program-files folder for every
// other change. Any failure refuses the changes, so nothing is changed that the journal could not
// bring back. A change that failed after its entry was written is marked as not made.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "maintenance/JournalFile.h"
#include "platform/Platform.h"
#include "scan/Paths.h"
#include "scan/RegistryJournal.h"

namespace keltora {

class UndoJournal : public RegistryJournal {
public:
    UndoJournal(Platform& platform, const Paths& paths) : platform_(platform), paths_(paths) {}

    // A command that may change the registry starts (a page's "Remove Checked Items", the repair
    // pass, the console's remove and repair): every change until it ends goes into its journals.
    // A command inside another belongs to the outer one. A change outside any command starts
    // journals of their own, which the next command closes.
    void begin(const std::string& command);
    void end();

    // The change's entry goes to the user's own journal when it names HKEY_CURRENT_USER, to the
    // administrator's otherwise; the number handed back stands for it in either.
    JournalEntryNumber record(const RegistryChange& change, std::string& reason) override;
    JournalEntryNumber recordMove(const std::string& from, const std::string& to, const FileIdentity& moved,
                                  std::string& reason) override;
    bool write(std::string& reason) override;
    void notMade(const std::vector<JournalEntryNumber>& entries) override;

    // What the latest command came to.
    struct Outcome {
        std::string name;      // the administrator's journal's file name; empty when none was made
        std::string userName;  // the user's own journal's, likewise
        std::uint64_t changes = 0;  // made, or being made: not marked as not made
        int refused = 0;  // changes the journal refused
        std::uint64_t flushes = 0;  // of its files to the disk
    };
    const Outcome& outcome() const { return outcome_; }

private:
    // One of the command's two journal files, made at its first change.
    struct Book {
        JournalOwner owner;
        std::unique_ptr<JournalFile> file;
        struct Kept {
            JournalEntryNumber ticket;  // what the seam's callers hold
            JournalEntryNumber number;  // its number in the file, once written
            JournalEntry entry;
        };
        // Recorded, not yet written: the entries and their tickets.
        std::vector<JournalEntry> group;
        std::vector<JournalEntryNumber> tickets;
        std::vector<Kept> written;  // the group written last: what notMade() is told of
    };

    void start(const std::string& command);
    JournalEntryNumber add(JournalEntry entry, std::string& reason);
    bool open(Book& book, std::string& problem);
    bool writeBook(Book& book);
    void mark(Book& book, const std::vector<JournalEntryNumber>& tickets);
    void count();
    bool refuse(const std::string& why, std::string& reason, int changes = 1);
    // Whether the registry still holds exactly what the entry kept (nothing of its change made).
    bool untouched(const JournalEntry& entry);

    Platform& platform_;
    const Paths& paths_;
    int depth_ = 0;
    bool implicit_ = false;  // journals of changes made outside any command are open
    std::string command_;
    Book admin_{JournalOwner::Administrator, {}, {}, {}, {}};
    Book user_{JournalOwner::User, {}, {}, {}, {}};
    JournalEntryNumber tickets_ = 0;
    Outcome outcome_;
    std::vector<std::string> told_;  // the reasons the user was given in this command
};

// Commands scoped: begin at construction, end when it goes out of scope, on every path.
class JournalCommand {
public:
    JournalCommand(UndoJournal& journal, const std::string& command) : journal_(journal) { journal_.begin(command); }
    ~JournalCommand() { journal_.end(); }
    JournalCommand(const JournalCommand&) = delete;
    JournalCommand& operator=(const JournalCommand&) = delete;

private:
    UndoJournal& journal_;
};


}  // namespace keltora
