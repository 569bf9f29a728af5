#include "maintenance/UndoJournal.h"

#include <cctype>

#include "maintenance/BackupName.h"
#include "platform/RegText.h"

namespace keltora {

namespace {

constexpr const char* kImplicitCommand = "removal";
// Names tried within one second before the journal gives up.
constexpr int kMaxSequence = 1000;

std::string Bytes(const std::u16string& text) { return EncodeRegFile(text).substr(2); }

}  // namespace

void UndoJournal::start(const std::string& command) {
    file_.reset();
    command_ = command;
    outcome_ = {};
    told_.clear();
}

void UndoJournal::begin(const std::string& command) {
    if (depth_++ == 0) start(command);
    implicit_ = false;
}

void UndoJournal::end() {
    if (depth_ == 0 || --depth_ > 0) return;
    file_.reset();
}

bool UndoJournal::refuse(const std::string& why, std::string& reason) {
    ++outcome_.refused;
    const std::string text = "Nothing was removed that the undo journal could not keep: " + why +
                             ". Those findings stay listed.";
    // The user hears each reason once per command, not once per finding.
    if (text != told_) reason = told_ = text;
    return false;
}

bool UndoJournal::record(const RegistryChange& change, std::string& reason) {
    auto& api = platform_.registry;
    JournalEntry entry;
    entry.root = change.root;
    entry.keyPath = change.keyPath;
    long rc = kErrorSuccess;
    switch (change.kind) {
        case RegistryChange::Kind::DeleteKeyTree:
            entry.kind = JournalEntry::Kind::KeyTree;
            rc = CaptureKeyTree(api, change.root, change.keyPath, entry.keys);
            break;
        case RegistryChange::Kind::DeleteValue:
            entry.kind = JournalEntry::Kind::Value;
            rc = CaptureValue(api, change.root, change.keyPath, change.valueName, entry.value);
            break;
        case RegistryChange::Kind::EmptyDefaultValue:
            entry.kind = JournalEntry::Kind::DefaultValue;
            rc = CaptureValue(api, change.root, change.keyPath, u"", entry.value);
            break;
    }
    if (rc != kErrorSuccess)
        return refuse(Utf16ToUtf8(RegKeyText(change.root, change.keyPath)) + " could not be read (" +
                          api.systemMessage(rc) + ")",
                      reason);
    return add(entry, reason);
}

bool UndoJournal::recordMove(const std::string& from, const std::string& to, std::string& reason) {
    JournalEntry entry;
    entry.kind = JournalEntry::Kind::FileMove;
    entry.from = platform_.codePage.toWide(from);
    entry.to = platform_.codePage.toWide(to);
    return add(entry, reason);
}

bool UndoJournal::add(const JournalEntry& entry, std::string& reason) {
    if (depth_ == 0 && !implicit_) {
        start(kImplicitCommand);
        implicit_ = true;
    }
    if (const std::string why = UnwritableReason(entry); !why.empty()) return refuse(why, reason);
    std::string problem;
    if (!open(problem) || !append(entry, problem)) return refuse(problem, reason);
    return true;
}

// The command's journal file, made at its first change: a new name in the pattern of the
// backups, never a file that exists, the header written and checked before anything follows.
bool UndoJournal::open(std::string& problem) {
    if (file_) return true;
    // The folder rule has judged the program-files folder at start: unusable, it is empty.
    if (!paths_.hasProgramFolders()) {
        problem = "the value ProgramFilesDir of HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion, "
                  "the folder it keeps its journals below, is missing, empty, relative or a drive root";
        return false;
    }
    auto& files = platform_.files;
    const std::string folder = paths_.undo();
    if (!files.createDirectories(folder)) {
        problem = "its folder " + folder + " cannot be made";
        return false;
    }
    header_ = JournalHeader();
    header_.command = command_;
    header_.made = platform_.clock.now();
    for (int sequence = 1; !file_ && sequence <= kMaxSequence; ++sequence) {
        const std::string name = JournalFileName(header_.made, sequence);
        if (files.exists(folder + "\\" + name)) continue;
        file_ = files.createNew(folder + "\\" + name);
        if (!file_) break;
        outcome_.name = name;
    }
    const std::string bytes = EncodeRegFile(FormatHeader(header_));
    if (!file_ || !file_->writeAt(0, bytes) || !file_->flush() || file_->readAt(0, bytes.size()) != bytes) {
        problem = "no journal file could be made in " + folder;
        if (file_) files.deleteFile(folder + "\\" + outcome_.name);
        file_.reset();
        outcome_.name.clear();
        return false;
    }
    headerBytes_ = bytes.size();
    return true;
}

// The entry goes after the last one, then the header counts it; both are flushed, read back and
// compared, the entry also read as a journal reader reads it. On any failure the file is cut
// back to what it held, so a journal never claims a change that was not made.
bool UndoJournal::append(const JournalEntry& entry, std::string& problem) {
    const std::string bytes = Bytes(FormatEntry(entry));
    const std::uint64_t offset = headerBytes_ + header_.length;
    JournalHeader next = header_;
    ++next.changes;
    next.length += bytes.size();
    next.checksum = Checksum(header_.checksum, bytes);
    const std::string headerBytes = Bytes(FormatHeader(next));
    bool same = false;
    if (file_->writeAt(offset, bytes) && file_->writeAt(2, headerBytes) && file_->flush()) {
        const auto entryBack = file_->readAt(offset, bytes.size());
        const auto headerBack = file_->readAt(2, headerBytes.size());
        same = entryBack == bytes && headerBack == headerBytes;
        if (same) {
            try {
                const auto text = Utf16LeText(reinterpret_cast<const std::uint8_t*>(entryBack->data()), entryBack->size());
                const auto read = ParseEntries(text);
                same = read.size() == 1 && read.front() == entry;
            } catch (const JournalError&) {
                same = false;
            }
        }
    }
    if (!same) {
        file_->truncate(offset);
        file_->writeAt(2, Bytes(FormatHeader(header_)));
        file_->flush();
        problem = "the journal " + outcome_.name + " could not be written and read back whole";
        return false;
    }
    header_ = next;
    outcome_.changes = header_.changes;
    return true;
}

}  // namespace keltora
