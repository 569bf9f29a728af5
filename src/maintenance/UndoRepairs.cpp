#include "maintenance/UndoRepairs.h"

#include <algorithm>
#include <tuple>

#include "maintenance/BackupName.h"
#include "platform/Helpers.h"
#include "platform/RegText.h"
#include "scan/FileRemoval.h"

namespace keltora {

namespace {

constexpr std::uint32_t kDeleteStepMs = 50;

// The header of a journal file, or none.
std::optional<JournalHeader> HeaderOf(FileSystem& files, const std::string& path) {
    const auto bytes = files.readFile(path);
    if (!bytes || bytes->size() < 2 || static_cast<unsigned char>((*bytes)[0]) != 0xFF) return std::nullopt;
    try {
        std::size_t start = 0;
        return ParseHeader(Utf16LeText(reinterpret_cast<const std::uint8_t*>(bytes->data()) + 2, bytes->size() - 2),
                           start);
    } catch (const JournalError&) {
        return std::nullopt;
    }
}

// "Undo_9-5-3_7-1-2026_2.reg" was made after "Undo_9-5-3_7-1-2026.reg" in the same second.
int SequenceOf(const std::string& name) {
    const auto cut = name.rfind('_');
    if (cut == std::string::npos || name.size() < cut + 5) return 1;
    const std::string digits = name.substr(cut + 1, name.size() - cut - 5);
    return !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos && digits.size() < 6
               ? std::stoi(digits)
               : 1;
}

auto Newness(const JournalListing& listing) {
    const LocalTime t = listing.header ? listing.header->made : LocalTime{0, 0, 0, 0, 0, 0};
    return std::make_tuple(listing.header.has_value(), t.year, t.month, t.day, t.hour, t.minute, t.second,
                           SequenceOf(listing.name));
}

// The undone mark in place; the header keeps its size, the changes are not touched.
bool MarkUndone(FileSystem& files, const std::string& path, JournalHeader header) {
    header.undone = true;
    auto file = files.openForUpdate(path);
    const std::string bytes = EncodeRegFile(FormatHeader(header));
    return file && file->writeAt(0, bytes) && file->flush() && file->readAt(0, bytes.size()) == bytes;
}

}  // namespace

std::vector<std::string> JournalListing::columns() const {
    if (!header) return {"", "", "", "", "Unreadable"};
    const LocalTime& t = header->made;
    return {ShortDateText(t.day, t.month, t.year), LongTimeText(t.hour, t.minute, t.second), header->command,
            std::to_string(header->changes), header->undone ? "Undone" : ""};
}

std::string JournalFolder(const Paths& paths, JournalOwner owner) {
    if (owner == JournalOwner::User) return paths.userUndo();
    return paths.hasProgramFolders() ? paths.undo() : std::string();
}

std::vector<JournalListing> ListJournals(FileSystem& files, const Paths& paths) {
    std::vector<JournalListing> listings;
    for (const JournalOwner owner : {JournalOwner::Administrator, JournalOwner::User}) {
        const std::string folder = JournalFolder(paths, owner);
        if (folder.empty()) continue;
        for (const auto& name : FileNames(files, folder + "\\", JournalFilePattern(owner)))
            listings.push_back({name, owner, HeaderOf(files, folder + "\\" + name)});
    }
    std::stable_sort(listings.begin(), listings.end(),
                     [](const JournalListing& a, const JournalListing& b) { return Newness(a) > Newness(b); });
    return listings;
}

UndoOutcome UndoJournalFile(Platform& platform, const Paths& paths, const std::string& name) {
    UndoOutcome outcome;
    const auto owner = JournalOwnerOf(name);
    const std::string folder = owner ? JournalFolder(paths, *owner) : std::string();
    const std::string path = folder + "\\" + name;
    const auto bytes = folder.empty() ? std::nullopt : platform.files.readFile(path);
    JournalContents journal;
    try {
        if (!bytes) throw JournalError("it cannot be read");
        journal = ReadJournal(*bytes);
    } catch (const JournalError& e) {
        outcome.refused = "The undo journal " + name + " was not applied: " + e.what() + ".";
        return outcome;
    }
    if (journal.unfinished > 0)
        outcome.note = "The changes the journal was adding when the program stopped were never made; they are passed over.";
    if (journal.notMade > 0)
        outcome.note += std::string(outcome.note.empty() ? "" : " ") + std::to_string(journal.notMade) +
                        (journal.notMade == 1 ? " change" : " changes") +
                        " the journal kept could not be made at the time; undo passes over them.";
    // Without the program-files folder no file was ever moved into startbug.
    const std::string startbug = paths.hasProgramFolders() ? paths.startbug() : std::string();
    outcome.report = UndoChanges(platform, startbug, journal.entries, *owner);
    if (outcome.report.complete() && !journal.header.undone && !MarkUndone(platform.files, path, journal.header))
        outcome.note += std::string(outcome.note.empty() ? "" : " ") + "The journal could not be marked as undone.";
    return outcome;
}

std::string UndoSummary(const std::string& name, const UndoOutcome& outcome) {
    if (outcome.refused) return *outcome.refused;
    const UndoReport& r = outcome.report;
    std::string text = "Undo of " + name + ": " + std::to_string(r.restored) +
                       (r.restored == 1 ? " change restored" : " changes restored");
    if (!r.left.empty()) text += ", " + std::to_string(r.left.size()) + " left as they stand";
    if (!r.failed.empty()) text += ", " + std::to_string(r.failed.size()) + " failed";
    text += ".";
    for (const auto& item : r.left) text += "\nLeft: " + item;
    for (const auto& item : r.failed) text += "\nFailed: " + item;
    if (!outcome.note.empty()) text += "\n" + outcome.note;
    return text;
}

void UndoRepairs::fill() {
    list_.clear();
    std::vector<Finding> rows;
    for (const auto& listing : ListJournals(context_.platform.files, context_.paths))
        rows.push_back(Finding{listing.name, listing.columns(), false});
    list_.replaceAll(std::move(rows));
}

void UndoRepairs::undoSelected() {
    const int row = list_.selected();
    if (row < 0) return;
    auto& host = context_.host;
    host.setCursor(Cursor::Hourglass);
    const std::string name = list_.at(static_cast<std::size_t>(row)).caption;
    const UndoOutcome outcome = UndoJournalFile(context_.platform, context_.paths, name);
    fill();
    host.setCursor(Cursor::Default);
    host.showMessage(UndoSummary(name, outcome));
}

// Deleted as the file categories delete theirs: a link is never followed, and a journal that
// stays is said with its reason.
void UndoRepairs::deleteSelected() {
    const int row = list_.selected();
    if (row < 0) return;
    auto& host = context_.host;
    host.setCursor(Cursor::Hourglass);
    const std::string name = list_.at(static_cast<std::size_t>(row)).caption;
    const auto owner = JournalOwnerOf(name);
    const std::string folder = owner ? JournalFolder(context_.paths, *owner) : std::string();
    const FileActOutcome outcome =
        folder.empty() ? FileActOutcome{FileActResult::Absent} : RemoveStoredFile(context_.platform, folder, name);
    host.processMessages();
    context_.ramp(0, 100, kDeleteStepMs);
    fill();
    context_.progress.setPosition(0);
    host.setCursor(Cursor::Default);
    if (outcome.result == FileActResult::Unsafe || outcome.result == FileActResult::Failed)
        host.showMessage("The undo journal " + folder + "\\" + name + " is left as it is: " +
                         WhyLeft(context_.platform, outcome) + ".");
}

}  // namespace keltora
