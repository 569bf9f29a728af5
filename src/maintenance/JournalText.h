#pragma once
// The text of an undo journal: a registry file (version 5.00) that the system's registry editor
// imports as it is, with comment lines that only this program reads. A fixed-size header holds
// what the Undo page lists and a hint of how much of the journal was on disk when it was last
// written: how many changes, how many bytes they take and a checksum of those bytes, rewritten in
// place. Each change follows as one entry: a comment naming its kind, then the keys and values it
// takes away (file moves and registry links, which the editor cannot carry, as comments only).
// How entries are framed in the file is JournalRecords'.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "maintenance/JournalEntry.h"
#include "platform/Clock.h"

namespace keltora {

// Why a journal cannot be read or used, in words for the user.
struct JournalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline constexpr std::uint64_t kChecksumStart = 0xcbf29ce484222325ull;  // FNV-1a, 64 bits
inline constexpr std::uint64_t kChecksumPrime = 0x100000001b3ull;
// FNV-1a over units of any width: bytes (the header's checksum of a journal of format 1) or the
// UTF-16 units of a journal's text (format 2, JournalRecords).
template <typename Unit>
std::uint64_t ChecksumOf(std::uint64_t running, std::basic_string_view<Unit> units) {
    for (const Unit unit : units) {
        running ^= static_cast<std::make_unsigned_t<Unit>>(unit);
        running *= kChecksumPrime;
    }
    return running;
}
inline std::uint64_t Checksum(std::uint64_t running, std::string_view bytes) { return ChecksumOf(running, bytes); }

// 1: the entries follow the header unframed, and the header's counts are their only proof (the
// journals of earlier versions); 2: each entry is a record with its own checksum (JournalRecords).
inline constexpr int kJournalFormat = 2;

struct JournalHeader {
    std::string command;  // one line
    LocalTime made;
    int format = kJournalFormat;
    std::uint64_t changes = 0;  // format 2: entries not marked as not made
    std::uint64_t length = 0;   // bytes of the entries (format 2: of the records), which follow the header
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
// The entries of the text that follows a header (format 1), or of one record's body.
std::vector<JournalEntry> ParseEntries(std::u16string_view entries);

// A number in a fixed count of digits, as the journal writes its counts; and read back (none
// when the text is not a number in that base).
std::u16string JournalNumber(std::uint64_t value, int digits, bool hex);
std::optional<std::uint64_t> ReadJournalNumber(std::u16string_view text, int base);

// Lines of ';' and blanks alone: the space a journal keeps ahead of its entries while its
// command runs, which holds no change.
bool IsBlankSpace(std::u16string_view text);

}  // namespace keltora
