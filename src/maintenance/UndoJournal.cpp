#include "maintenance/UndoJournal.h"

#include <cctype>

#include "platform/RegText.h"

namespace keltora {

namespace {

constexpr const char* kImplicitCommand = "removal";

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

// Read through the removal's own handle when it holds one, so that the key is not opened again.
bool UndoJournal::record(const RegistryChange& change, std::string& reason) {
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
    return add(entry, reason);
}

bool UndoJournal::recordMove(const std::string& from, const std::string& to, const FileIdentity& moved,
                             std::string& reason) {
    JournalEntry entry;
    entry.kind = JournalEntry::Kind::FileMove;
    entry.from = platform_.codePage.toWide(from);
    entry.to = platform_.codePage.toWide(to);
    entry.moved = moved;
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
    return true;
}

bool UndoJournal::append(const JournalEntry& entry, std::string& problem) {
    if (!file_->append(entry)) {
        problem = "the journal " + outcome_.name + " could not be written and read back whole";
        return false;
    }
    outcome_.changes = file_->header().changes;
    return true;
}

}  // namespace keltora
