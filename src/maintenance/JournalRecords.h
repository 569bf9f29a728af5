#pragma once
// How an undo journal's entries stand in its file (format 2): each entry, and each mark that an
// entry's change was not made, is a record closed by an end line that holds the record's number
// and a checksum of its bytes:
//
//   ; Entry: value                       ; Not made: 0000000001
//   [HKEY_CURRENT_USER\...]              ; End: 0000000002 5a0c...
//   "url1"="http://one.example/"
//
//   ; End: 0000000001 9f3e...
//
// All of it is comment lines to the registry editor, so the file still imports with `regedit /s`.
// A journal cut short by a power loss keeps every whole record before the cut: the reader takes
// records up to the first that is not whole, and checks the header's counts (which only ever name
// records already on the disk) against what it read. A change is made only after its record is
// on the disk, so a record cut short names a change that was never made.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "maintenance/JournalText.h"
#include "scan/RegistryJournal.h"

namespace keltora {

// A record: its body (an entry's text, or a mark) closed by its end line.
std::u16string FormatRecord(JournalEntryNumber number, const std::u16string& body);
// The body of the mark that the change of `entry` was not made.
std::u16string FormatNotMade(JournalEntryNumber entry);

// The running checksum of a journal's text (format 2: the records' and the header's), over its
// UTF-16 units.
std::uint64_t ChecksumText(std::uint64_t running, std::u16string_view text);

struct JournalRecord {
    JournalEntryNumber number = 0;
    std::optional<JournalEntry> entry;  // an entry; none: a mark
    JournalEntryNumber notMade = 0;     // a mark: the entry whose change was not made
    std::size_t end = 0;                // where the record ends in the text, in UTF-16 units
};

// The whole records of text from `at` on, numbered on from `first`, up to the first that is not
// whole (cut short, its checksum or number wrong) or blank space. A whole record that is not one
// this program writes raises JournalError.
std::vector<JournalRecord> ReadRecords(std::u16string_view text, std::size_t at, JournalEntryNumber first);

struct JournalContents {
    JournalHeader header;
    // The changes made, in the order they were made: entries marked as not made are left out.
    std::vector<JournalEntry> entries;
    std::size_t notMade = 0;  // entries marked as not made
    // Bytes after the last whole record: changes that were being written when the program
    // stopped, never made. Blank space the journal kept ahead of its entries is none.
    std::uint64_t unfinished = 0;
};
// A whole journal file, checked: a journal that lost records its header says were on the disk,
// altered or malformed raises JournalError.
JournalContents ReadJournal(const std::string& fileBytes);

}  // namespace keltora
