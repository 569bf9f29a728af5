#pragma once
// The file of one undo journal while its command runs: made under a new name, its header written
// and checked, then each group of entries added after the last record as records of their own
// (JournalRecords), flushed once, read back and compared before any change of the group may be
// made; marks that a change was not made are added the same way.
//
// The header's counts written with a group are those of the records on the disk before it, so
// that a power loss during the write never leaves a header naming records the disk lost; the
// counts of the last group go in when the command ends.
//
// The space ahead of the records is written beforehand as blank comment lines, a growing share of
// the file at a time, so that adding a group writes inside the file instead of making it longer:
// the flush then commits no new file size, which is most of what a flush of a growing file costs.
// The blank lines are cut off when the command ends; a journal whose program stopped before that
// keeps them, and they read as nothing (to this program and to the registry editor alike).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "maintenance/BackupName.h"
#include "maintenance/JournalRecords.h"
#include "platform/Platform.h"
#include "scan/RegistryJournal.h"

namespace keltora {

class JournalFile {
public:
    // A new file in folder (a name of the owner's journals that no file has yet) holding header;
    // nullptr when none can be made (one whose header does not read back is deleted again as the
    // program's stored files are: the entry listed, never a link).
    static std::unique_ptr<JournalFile> create(Platform& platform, const std::string& folder, JournalOwner owner,
                                               const JournalHeader& header);
    // Writes the last counts and cuts the blank lines off.
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // The entries as records after the last one (numbered on from records() + 1), flushed once,
    // read back and compared, each also read as a journal reader reads it. false: the file holds
    // what it held before (the journal never claims a change that was not made).
    bool append(const std::vector<JournalEntry>& entries);
    // The marks that the changes of these entries were not made, the same way.
    bool appendNotMade(const std::vector<JournalEntryNumber>& entries);

    const std::string& name() const { return name_; }
    const JournalHeader& header() const { return header_; }
    // The records the file holds: the number of the last one.
    JournalEntryNumber records() const { return records_; }
    // How often it was flushed to the disk, its header's first write included.
    std::uint64_t flushes() const { return flushes_; }

private:
    JournalFile(std::unique_ptr<OpenedFile> file, std::string name, const JournalHeader& header,
                std::uint64_t headerBytes, std::uint64_t countsAt);
    // The records of the entries, or of the marks (one of them given), numbered on from
    // records_ + 1, with the header's counts before them.
    bool appendRecords(const std::vector<JournalEntry>* entries, const std::vector<JournalEntryNumber>* marks);
    // What follows the records written up to `end`, up to a line of the blank space: its first
    // line completed, or new blank space when too little is left.
    std::string blankAfter(std::uint64_t end);
    bool verify(std::uint64_t offset, const std::string& written, const std::vector<JournalEntry>* entries,
                const std::vector<JournalEntryNumber>* marks, const std::string& counts);
    void restore(std::uint64_t end);

    std::unique_ptr<OpenedFile> file_;
    std::string name_;
    JournalHeader header_;  // its counts: of every record written
    JournalEntryNumber records_ = 0;
    std::uint64_t flushes_ = 1;
    bool flush();
    std::uint64_t headerBytes_;  // with the byte-order mark
    std::uint64_t countsAt_;     // where the header's counts stand
    std::uint64_t blankFrom_;    // where the blank lines begin: a line starts every kBlankLine bytes
    std::uint64_t blankEnd_;     // the end of the file
};

}  // namespace keltora
