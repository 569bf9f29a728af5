#include "maintenance/UndoJournal.h"

#include <algorithm>
#include <cctype>

#include "platform/RegText.h"

namespace keltora {

namespace {

constexpr const char* kImplicitCommand = "removal";

}  // namespace

void UndoJournal::start(const std::string& command) {
    group_.clear();
    written_.clear();
    file_.reset();
    command_ = command;
    outcome_ = {};
    told_.clear();
}

void UndoJournal::begin(const std::string& command) {
    if (depth_++ == 0) start(command);
    implicit_ = false;
}

// A group never written is dropped with its command: none of its changes was made.
void UndoJournal::end() {
    if (depth_ == 0 || --depth_ > 0) return;
    group_.clear();
    written_.clear();
    file_.reset();
}

bool UndoJournal::refuse(const std::string& why, std::string& reason, int changes) {
    outcome_.refused += changes;
    const std::string text = "Nothing was removed that the undo journal could not keep: " + why +
                             ". Those findings stay listed.";
    // The user hears each reason once per command, not once per finding.
    if (text != told_) reason = told_ = text;
    return false;
}

// Read through the removal's own handle when it holds one, so that the key is not opened again.
JournalEntryNumber UndoJournal::record(const RegistryChange& change, std::string& reason) {
    auto& api = platform_.registry;
    JournalEntry entry;
    entry.root = change.root;
    entry.keyPath = change.keyPath;
    const bool opened = change.opened != 0;
    long rc = kErrorSuccess;
    switch (change.kind) {
        case RegistryChange::Kind::DeleteKeyTree:
            entry.kind = JournalEntry::Kind::KeyTree;
            rc = opened ? CaptureOpenedKeyTree(api, change.opened, change.keyPath, entry.keys)
                        : CaptureKeyTree(api, change.root, change.keyPath, entry.keys);
            break;
        case RegistryChange::Kind::DeleteValue:
        case RegistryChange::Kind::EmptyDefaultValue:
            entry.kind = change.kind == RegistryChange::Kind::DeleteValue ? JournalEntry::Kind::Value
                                                                          : JournalEntry::Kind::DefaultValue;
            rc = opened ? CaptureOpenedValue(api, change.opened, change.valueName, entry.value)
                        : CaptureValue(api, change.root, change.keyPath, change.valueName, entry.value);
            break;
    }
    if (rc != kErrorSuccess)
        return refuse(Utf16ToUtf8(RegKeyText(change.root, change.keyPath)) + " could not be read (" +
                          api.systemMessage(rc) + ")",
                      reason);
    return add(std::move(entry), reason);
}

JournalEntryNumber UndoJournal::recordMove(const std::string& from, const std::string& to, std::string& reason) {
    JournalEntry entry;
    entry.kind = JournalEntry::Kind::FileMove;
    entry.from = platform_.codePage.toWide(from);
    entry.to = platform_.codePage.toWide(to);
    return add(std::move(entry), reason);
}

JournalEntryNumber UndoJournal::add(JournalEntry entry, std::string& reason) {
    if (depth_ == 0 && !implicit_) {
        start(kImplicitCommand);
        implicit_ = true;
    }
    if (const std::string why = UnwritableReason(entry); !why.empty()) return refuse(why, reason);
    std::string problem;
    if (!open(problem)) return refuse(problem, reason);
    group_.push_back(std::move(entry));
    return file_->records() + group_.size();
}

bool UndoJournal::write(std::string& reason) {
    if (group_.empty()) return true;
    const JournalEntryNumber first = file_->records() + 1;
    std::vector<JournalEntry> group = std::move(group_);
    group_.clear();
    written_.clear();
    const bool kept = file_->append(group);
    outcome_.flushes = file_->flushes();
    if (!kept)
        return refuse("the journal " + outcome_.name + " could not be written and read back whole", reason,
                      static_cast<int>(group.size()));
    for (std::size_t i = 0; i < group.size(); ++i) written_.emplace_back(first + i, std::move(group[i]));
    outcome_.changes = file_->header().changes;
    outcome_.flushes = file_->flushes();
    return true;
}

// A tree of which a part went keeps its entry: undo brings back what went. Every other change
// that failed changed nothing.
bool UndoJournal::untouched(const JournalEntry& entry) {
    if (entry.kind != JournalEntry::Kind::KeyTree) return true;
    std::vector<CapturedKey> now;
    return CaptureKeyTree(platform_.registry, entry.root, entry.keyPath, now) == kErrorSuccess && now == entry.keys;
}

void UndoJournal::notMade(const std::vector<JournalEntryNumber>& entries) {
    std::string ignored;
    if (!write(ignored)) return;
    std::vector<JournalEntryNumber> marks;
    for (const auto& [number, entry] : written_)
        if (std::find(entries.begin(), entries.end(), number) != entries.end() && untouched(entry))
            marks.push_back(number);
    // A mark that cannot be written leaves an entry undo finds as it kept it, and passes over.
    if (!marks.empty() && file_->appendNotMade(marks)) outcome_.changes = file_->header().changes;
    outcome_.flushes = file_->flushes();
    written_.clear();
}

// The command's journal file, made at its first change.
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
    JournalHeader header;
    header.command = command_;
    header.made = platform_.clock.now();
    file_ = JournalFile::create(files, folder, header);
    if (!file_) {
        problem = "no journal file could be made in " + folder;
        return false;
    }
    outcome_.name = file_->name();
    outcome_.flushes = file_->flushes();
    return true;
}

}  // namespace keltora
