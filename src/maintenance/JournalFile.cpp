#include "maintenance/JournalFile.h"

#include <algorithm>

#include "maintenance/BackupName.h"
#include "platform/RegText.h"
#include "platform/RegistryWide.h"
#include "scan/FileRemoval.h"

namespace keltora {

namespace {

// Names tried within one second before the journal gives up.
constexpr int kMaxSequence = 1000;
// The blank space, in bytes of UTF-16: lines of ';', blanks and CR LF. The shortest line is ';'
// with its CR LF.
constexpr std::uint64_t kBlankLine = 256;
constexpr std::uint64_t kShortestLine = 6;
// Added a quarter of the file at a time, so that a journal of any size grows a few dozen times at
// most; never less than this.
constexpr std::uint64_t kLeastBlankSpace = 64 * 1024;

std::string Bytes(const std::u16string& text) { return EncodeRegFile(text).substr(2); }

std::string BlankLine(std::uint64_t bytes) {
    return Bytes(u";" + std::u16string(static_cast<std::size_t>(bytes / 2 - 3), u' ') + u"\r\n");
}

}  // namespace

std::unique_ptr<JournalFile> JournalFile::create(Platform& platform, const std::string& folder, JournalOwner owner,
                                                 const JournalHeader& header) {
    FileSystem& files = platform.files;
    std::unique_ptr<OpenedFile> file;
    std::string name;
    for (int sequence = 1; !file && sequence <= kMaxSequence; ++sequence) {
        name = JournalFileName(owner, header.made, sequence);
        if (files.exists(folder + "\\" + name)) continue;
        file = files.createNew(folder + "\\" + name);
        if (!file) return nullptr;
    }
    if (!file) return nullptr;
    const std::u16string text = FormatHeader(header);
    const std::string bytes = EncodeRegFile(text);
    if (!file->writeAt(0, bytes) || !file->flush() || file->readAt(0, bytes.size()) != bytes) {
        // Closed first: Windows deletes no file that is still open without shared deletion. Then
        // deleted as every stored file is, never through a link another program put in its place.
        file.reset();
        RemoveStoredFile(platform, folder, name);
        return nullptr;
    }
    const std::uint64_t countsAt = 2 + 2 * static_cast<std::uint64_t>(text.find(FormatCounts(header)));
    return std::unique_ptr<JournalFile>(new JournalFile(std::move(file), name, header, bytes.size(), countsAt));
}

JournalFile::JournalFile(std::unique_ptr<OpenedFile> file, std::string name, const JournalHeader& header,
                         std::uint64_t headerBytes, std::uint64_t countsAt)
    : file_(std::move(file)),
      name_(std::move(name)),
      header_(header),
      headerBytes_(headerBytes),
      countsAt_(countsAt),
      blankFrom_(headerBytes),
      blankEnd_(headerBytes) {}

JournalFile::~JournalFile() {
    file_->writeAt(countsAt_, Bytes(FormatCounts(header_)));
    file_->truncate(headerBytes_ + header_.length);
}

std::string JournalFile::blankAfter(std::uint64_t end) {
    if (end + kShortestLine <= blankEnd_) {
        const std::uint64_t lines = (end + kShortestLine - blankFrom_ + kBlankLine - 1) / kBlankLine;
        return BlankLine(blankFrom_ + lines * kBlankLine - end);
    }
    const std::uint64_t lines = std::max(kLeastBlankSpace, end / 4) / kBlankLine;
    const std::string line = BlankLine(kBlankLine);
    std::string space;
    space.reserve(static_cast<std::size_t>(lines * kBlankLine));
    for (std::uint64_t i = 0; i < lines; ++i) space += line;
    blankFrom_ = end;
    blankEnd_ = end + lines * kBlankLine;
    return space;
}

bool JournalFile::append(const std::vector<JournalEntry>& entries) { return appendRecords(&entries, nullptr); }

bool JournalFile::appendNotMade(const std::vector<JournalEntryNumber>& entries) {
    return appendRecords(nullptr, &entries);
}

bool JournalFile::appendRecords(const std::vector<JournalEntry>* entries, const std::vector<JournalEntryNumber>* marks) {
    const std::size_t count = entries ? entries->size() : marks->size();
    if (count == 0) return true;
    std::u16string text;
    JournalHeader next = header_;
    for (std::size_t i = 0; i < count; ++i) {
        text += FormatRecord(records_ + 1 + i, entries ? FormatEntry((*entries)[i]) : FormatNotMade((*marks)[i]));
        next.changes = entries ? next.changes + 1 : next.changes - 1;
    }
    const std::string bytes = Bytes(text);
    const std::uint64_t offset = headerBytes_ + header_.length;
    next.length += bytes.size();
    next.checksum = ChecksumText(header_.checksum, text);
    const std::string written = bytes + blankAfter(offset + bytes.size());
    const std::string counts = Bytes(FormatCounts(header_));
    if (!file_->writeAt(offset, written) || !file_->writeAt(countsAt_, counts) || !flush() ||
        !verify(offset, written, entries, marks, counts)) {
        restore(offset);
        return false;
    }
    header_ = next;
    records_ += count;
    return true;
}

bool JournalFile::flush() {
    ++flushes_;
    return file_->flush();
}

// The bytes as written, and the records read from them as a journal reader reads them.
bool JournalFile::verify(std::uint64_t offset, const std::string& written, const std::vector<JournalEntry>* entries,
                         const std::vector<JournalEntryNumber>* marks, const std::string& counts) {
    const auto back = file_->readAt(offset, written.size());
    if (back != written || file_->readAt(countsAt_, counts.size()) != counts) return false;
    try {
        const std::u16string text = Utf16LeText(reinterpret_cast<const std::uint8_t*>(back->data()), back->size());
        const auto read = ReadRecords(text, 0, records_ + 1);
        if (read.size() != (entries ? entries->size() : marks->size())) return false;
        for (std::size_t i = 0; i < read.size(); ++i)
            if (entries ? read[i].entry != (*entries)[i] : read[i].entry || read[i].notMade != (*marks)[i]) return false;
        return true;
    } catch (const JournalError&) {
        return false;
    }
}

// The file cut back to the records it held and its counts to theirs; blank space is added anew
// with the next group.
void JournalFile::restore(std::uint64_t end) {
    file_->truncate(end);
    file_->writeAt(countsAt_, Bytes(FormatCounts(header_)));
    flush();
    blankFrom_ = blankEnd_ = end;
}

}  // namespace keltora
