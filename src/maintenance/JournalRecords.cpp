#include "maintenance/JournalRecords.h"

#include <algorithm>

#include "platform/RegText.h"
#include "platform/RegistryWide.h"

namespace keltora {

namespace {

constexpr std::u16string_view kCrLf = u"\r\n";
constexpr std::u16string_view kEnd = u"; End: ";
constexpr std::u16string_view kEndLineStart = u"\r\n; End: ";  // the line break before it
constexpr std::u16string_view kNotMade = u"; Not made: ";
constexpr int kNumberDigits = 10;
constexpr int kChecksumDigits = 16;
// "; End: " number " " checksum CR LF, then the blank line that parts it from the next record.
constexpr std::size_t kEndLine = kEnd.size() + kNumberDigits + 1 + kChecksumDigits + 2 * kCrLf.size();

// The text of the end line up to its checksum, which the checksum covers with the body.
std::u16string EndLineStart(JournalEntryNumber number) {
    return std::u16string(kEnd) + JournalNumber(number, kNumberDigits, false) + u" ";
}

// The record that starts at `at`, when it is whole: its body and where it ends.
struct Framed {
    std::u16string_view body;
    std::size_t end;
};

std::optional<Framed> Frame(std::u16string_view text, std::size_t at, JournalEntryNumber number) {
    const std::size_t found = text.find(kEndLineStart, at);
    if (found == std::u16string_view::npos) return std::nullopt;
    const std::size_t endLine = found + kCrLf.size();
    if (text.size() < endLine + kEndLine) return std::nullopt;
    const std::u16string start = EndLineStart(number);
    const std::u16string_view line = text.substr(endLine, kEndLine);
    if (line.substr(0, start.size()) != start || line.substr(kEndLine - 2 * kCrLf.size()) != u"\r\n\r\n")
        return std::nullopt;
    const auto checksum = ReadJournalNumber(line.substr(start.size(), kChecksumDigits), 16);
    if (!checksum || *checksum != ChecksumText(kChecksumStart, text.substr(at, endLine + start.size() - at)))
        return std::nullopt;
    return Framed{text.substr(at, endLine - at), endLine + kEndLine};
}

// What a whole record holds: a mark, or exactly one entry.
void Read(std::u16string_view body, JournalRecord& record) {
    if (body.substr(0, kNotMade.size()) == kNotMade) {
        const std::u16string_view rest = body.substr(kNotMade.size());
        const auto entry = rest.size() == kNumberDigits + kCrLf.size() && rest.substr(kNumberDigits) == kCrLf
                               ? ReadJournalNumber(rest.substr(0, kNumberDigits), 10)
                               : std::nullopt;
        if (!entry || *entry == 0 || *entry >= record.number)
            throw JournalError("its changes are malformed (record " + std::to_string(record.number) +
                               "): a mark that names no earlier change");
        record.notMade = *entry;
        return;
    }
    auto entries = ParseEntries(body);
    if (entries.size() != 1)
        throw JournalError("its changes are malformed (record " + std::to_string(record.number) +
                           "): not one change");
    record.entry = std::move(entries.front());
}

// The journals of earlier versions: the entries unframed, proved by the header's counts alone.
JournalContents ReadFirstFormat(const std::string& fileBytes, std::u16string_view text, std::size_t start,
                                JournalContents contents) {
    const std::uint64_t offset = 2 + 2 * static_cast<std::uint64_t>(start);
    const JournalHeader& h = contents.header;
    if (h.length % 2 != 0 || fileBytes.size() < offset || fileBytes.size() - offset < h.length)
        throw JournalError("it is truncated: it should hold " + std::to_string(h.changes) + " changes in " +
                           std::to_string(h.length) + " bytes");
    const std::string_view region(fileBytes.data() + offset, static_cast<std::size_t>(h.length));
    if (Checksum(kChecksumStart, region) != h.checksum)
        throw JournalError("it was altered: its changes do not match their checksum");
    contents.entries = ParseEntries(text.substr(start, static_cast<std::size_t>(h.length / 2)));
    if (contents.entries.size() != h.changes)
        throw JournalError("it was altered: it holds " + std::to_string(contents.entries.size()) + " changes, not " +
                           std::to_string(h.changes));
    const std::u16string_view tail = text.substr(start + static_cast<std::size_t>(h.length / 2));
    const std::uint64_t after = fileBytes.size() - offset - h.length;
    contents.unfinished = after % 2 == 0 && IsBlankSpace(tail) ? 0 : after;
    return contents;
}

// What the header says was on the disk: the counts at one boundary between whole records.
struct Counts {
    std::uint64_t changes = 0, length = 0, checksum = kChecksumStart;
    bool matches(const JournalHeader& h) const {
        return changes == h.changes && length == h.length && checksum == h.checksum;
    }
};

}  // namespace

// Over the UTF-16 units: half the steps of the same over the bytes.
std::uint64_t ChecksumText(std::uint64_t running, std::u16string_view text) { return ChecksumOf(running, text); }

std::u16string FormatRecord(JournalEntryNumber number, const std::u16string& body) {
    std::u16string text = body + EndLineStart(number);
    text += JournalNumber(ChecksumText(kChecksumStart, text), kChecksumDigits, true);
    text += u"\r\n\r\n";
    return text;
}

std::u16string FormatNotMade(JournalEntryNumber entry) {
    return std::u16string(kNotMade) + JournalNumber(entry, kNumberDigits, false) + std::u16string(kCrLf);
}

std::vector<JournalRecord> ReadRecords(std::u16string_view text, std::size_t at, JournalEntryNumber first) {
    std::vector<JournalRecord> records;
    for (JournalEntryNumber number = first; at < text.size() && !IsBlankSpace(text.substr(at)); ++number) {
        const auto framed = Frame(text, at, number);
        if (!framed) break;
        JournalRecord& record = records.emplace_back();
        record.number = number;
        record.end = framed->end;
        Read(framed->body, record);
        at = framed->end;
    }
    return records;
}

JournalContents ReadJournal(const std::string& fileBytes) {
    if (fileBytes.size() < 2 || static_cast<unsigned char>(fileBytes[0]) != 0xFF ||
        static_cast<unsigned char>(fileBytes[1]) != 0xFE)
        throw JournalError("it is not an undo journal of this program");
    const std::u16string text = Utf16LeText(reinterpret_cast<const std::uint8_t*>(fileBytes.data()) + 2,
                                            fileBytes.size() - 2);
    JournalContents contents;
    std::size_t start = 0;
    contents.header = ParseHeader(text, start);
    if (contents.header.format < 2) return ReadFirstFormat(fileBytes, text, start, std::move(contents));

    const JournalHeader& h = contents.header;
    const auto records = ReadRecords(text, start, 1);
    Counts counts;
    bool matched = counts.matches(h);
    std::size_t at = start;
    std::vector<bool> made;  // by entry number, from 1
    for (const auto& record : records) {
        counts.length += 2 * static_cast<std::uint64_t>(record.end - at);
        counts.checksum = ChecksumText(counts.checksum, std::u16string_view(text).substr(at, record.end - at));
        at = record.end;
        made.resize(record.number + 1, false);
        if (record.entry) {
            made[record.number] = true;
            ++counts.changes;
        } else if (made[record.notMade]) {
            made[record.notMade] = false;
            --counts.changes;
        } else {
            throw JournalError("its changes are malformed (record " + std::to_string(record.number) +
                               "): a mark that names no change made");
        }
        matched = matched || counts.matches(h);
    }
    if (!matched) {
        const std::uint64_t held = fileBytes.size() - 2 - 2 * static_cast<std::uint64_t>(start);
        throw JournalError(held < h.length ? "it is truncated: it should hold " + std::to_string(h.changes) +
                                                 " changes in " + std::to_string(h.length) + " bytes"
                                           : std::string("it was altered: its changes do not match their checksums"));
    }
    for (const auto& record : records) {
        if (record.entry && made[record.number]) contents.entries.push_back(*record.entry);
        if (!record.entry) ++contents.notMade;
    }
    const std::u16string_view tail = std::u16string_view(text).substr(at);
    contents.unfinished = IsBlankSpace(tail) ? 0 : 2 * static_cast<std::uint64_t>(tail.size());
    return contents;
}

}  // namespace keltora
