#pragma once
// The file of one undo journal while its command runs: made under a new name, its header written
// and checked, then each change added after the last one, flushed, read back and compared before
// the change may be made.
//
// The space ahead of the entries is written beforehand as blank comment lines, a growing share of
// the file at a time, so that adding a change writes inside the file instead of making it longer:
// the flush every change waits for then commits no new file size, which is most of what a flush
// of a growing file costs. The blank lines are cut off when the command ends; a journal whose
// program stopped before that keeps them, and they read as nothing (to this program and to the
// registry editor alike).
#include <cstdint>
#include <memory>
#include <string>

#include "maintenance/JournalText.h"
#include "platform/FileSystem.h"

namespace keltora {

class JournalFile {
public:
    // A new file in folder (a name in the pattern of the backups that no file has yet) holding
    // header; nullptr when none can be made.
    static std::unique_ptr<JournalFile> create(FileSystem& files, const std::string& folder,
                                               const JournalHeader& header);
    // Cuts the blank lines off.
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // The entry after the last one and the header's counts with it, flushed, read back and
    // compared, the entry also read as a journal reader reads it. false: the file holds what it
    // held before (the journal never claims a change that was not made).
    bool append(const JournalEntry& entry);

    const std::string& name() const { return name_; }
    const JournalHeader& header() const { return header_; }

private:
    JournalFile(std::unique_ptr<OpenedFile> file, std::string name, const JournalHeader& header,
                std::uint64_t headerBytes, std::uint64_t countsAt);
    // What follows the entry written at `end`, up to a line of the blank space: its first line
    // completed, or new blank space when too little is left.
    std::string blankAfter(std::uint64_t end);
    bool verify(std::uint64_t offset, const std::string& written, std::size_t entryBytes, const JournalEntry& entry,
                const std::string& counts);
    void restore(std::uint64_t end);

    std::unique_ptr<OpenedFile> file_;
    std::string name_;
    JournalHeader header_;
    std::uint64_t headerBytes_;  // with the byte-order mark
    std::uint64_t countsAt_;     // where the header's counts stand
    std::uint64_t blankFrom_;    // where the blank lines begin: a line starts every kBlankLine bytes
    std::uint64_t blankEnd_;     // the end of the file
};

}  // namespace keltora
