#pragma once
// The undo journal behind the removals' journal seam: for every change it captures what the
// change takes away, adds it to the command's journal file, flushes it, reads it back and
// compares it with what it captured, and only then lets the change happen. One journal per
// command that changes something, made at its first change in the Undo folder below the
// program-files folder; any failure refuses the change, so nothing is changed that the journal
// could not bring back.
#include <cstdint>
#include <memory>
#include <string>

#include "maintenance/JournalFile.h"
#include "platform/Platform.h"
#include "scan/Paths.h"
#include "scan/RegistryJournal.h"

namespace keltora {

class UndoJournal : public RegistryJournal {
public:
    UndoJournal(Platform& platform, const Paths& paths) : platform_(platform), paths_(paths) {}

    // A command that may change the registry starts (a page's "Remove Checked Items", the repair
    // pass, the console's remove and repair): every change until it ends goes into one journal.
    // A command inside another belongs to the outer one. A change outside any command starts a
    // journal of its own, which the next command closes.
    void begin(const std::string& command);
    void end();

    bool record(const RegistryChange& change, std::string& reason) override;
    bool recordMove(const std::string& from, const std::string& to, const FileIdentity& moved,
                    std::string& reason) override;

    // What the latest command came to.
    struct Outcome {
        std::string name;  // the journal's file name; empty when none was made
        std::uint64_t changes = 0;
        int refused = 0;  // changes the journal refused
    };
    const Outcome& outcome() const { return outcome_; }

private:
    void start(const std::string& command);
    bool add(const JournalEntry& entry, std::string& reason);
    bool open(std::string& problem);
    bool append(const JournalEntry& entry, std::string& problem);
    bool refuse(const std::string& why, std::string& reason);

    Platform& platform_;
    const Paths& paths_;
    int depth_ = 0;
    bool implicit_ = false;  // a journal of changes made outside any command is open
    std::string command_;
    std::unique_ptr<JournalFile> file_;
    Outcome outcome_;
    std::string told_;  // the reason the user was last given in this command
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
