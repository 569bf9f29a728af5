#pragma once
// The text of an undo journal: a registry file (version 5.00) that the system's registry editor
// imports as it is, with comment lines that only this program reads. A fixed-size header holds
// what the Undo page lists and what makes the journal whole: how many changes it holds, how many
// bytes they take and a checksum of those bytes, rewritten in place as each change is added. Each
// change follows as one entry: a comment naming its kind, then the keys and values it takes away
// (file moves and registry links, which the editor cannot carry, as comments only).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "maintenance/JournalEntry.h"
#include "platform/Clock.h"

namespace keltora {

// Why a journal cannot be read or used, in words for the user.
struct JournalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline constexpr std::uint64_t kChecksumStart = 0xcbf29ce484222325ull;  // FNV-1a, 64 bits
std::uint64_t Checksum(std::uint64_t running, std::string_view bytes);

struct JournalHeader {
    std::string command;  // one line
    LocalTime made;
    std::uint64_t changes = 0;
    std::uint64_t length = 0;  // bytes of the entries, which follow the header
    std::uint64_t checksum = kChecksumStart;
    bool undone = false;
    bool operator==(const JournalHeader&) const = default;
};

// The header with its trailing blank line; its size depends on the command alone.
std::u16string FormatHeader(const JournalHeader& header);
// The lines of the header that change as changes are added (how many, their length, their
// checksum), each of a fixed width: a part of the header's text, rewritten in place.
std::u16string FormatCounts(const JournalHeader& header);
std::u16string FormatEntry(const JournalEntry& entry);

// The header at the start of a journal's text, and where its entries begin (in UTF-16 units).
JournalHeader ParseHeader(std::u16string_view text, std::size_t& entriesStart);
// The entries of the text that follows a header.
std::vector<JournalEntry> ParseEntries(std::u16string_view entries);

struct JournalContents {
    JournalHeader header;
    std::vector<JournalEntry> entries;
    // Bytes after the last counted change: a change that was being added when the program
    // stopped, never made. Blank space the journal kept ahead of its entries is none.
    std::uint64_t unfinished = 0;
};
// A whole journal file, checked: truncated, altered or malformed raises JournalError.
JournalContents ReadJournal(const std::string& fileBytes);

}  // namespace keltora
