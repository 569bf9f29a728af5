#include "maintenance/UndoJournal.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "platform/RegText.h"
#include "scan/UserFolder.h"

namespace keltora {

namespace {

constexpr const char* kImplicitCommand = "removal";

}  // namespace

void UndoJournal::start(const std::string& command) {
    for (Book* book : {&admin_, &user_}) {
        book->group.clear();
        book->tickets.clear();
        book->written.clear();
        book->file.reset();
    }
    tickets_ = 0;
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
    for (Book* book : {&admin_, &user_}) {
        book->group.clear();
        book->tickets.clear();
        book->written.clear();
        book->file.reset();
    }
}

bool UndoJournal::refuse(const std::string& why, std::string& reason, int changes) {
    outcome_.refused += changes;
    const std::string text = "Nothing was removed that the undo journal could not keep: " + why +
                             ". Those findings stay listed.";
    // The user hears each reason once per command, not once per finding.
    if (std::find(told_.begin(), told_.end(), text) == told_.end()) told_.push_back(reason = text);
    return false;
}

void UndoJournal::count() {
    outcome_.name = admin_.file ? admin_.file->name() : std::string();
    outcome_.userName = user_.file ? user_.file->name() : std::string();
    outcome_.changes = outcome_.flushes = 0;
    for (const Book* book : {&admin_, &user_}) {
        if (!book->file) continue;
        outcome_.changes += book->file->header().changes;
        outcome_.flushes += book->file->flushes();
    }
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
            rc = opened ? CaptureOpenedKeyTree(api, change.opened, change.keyPath, entry.keys, change.openedInfo)
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

JournalEntryNumber UndoJournal::recordMove(const std::string& from, const std::string& to, const FileIdentity& moved,
                                           std::string& reason) {
    JournalEntry entry;
    entry.kind = JournalEntry::Kind::FileMove;
    entry.from = platform_.codePage.toWide(from);
    entry.to = platform_.codePage.toWide(to);
    entry.moved = moved;
    return add(std::move(entry), reason);
}

// The user's own data goes to the user's own journal: HKEY_CURRENT_USER, never a file move
// (startbug is below Program Files).
JournalEntryNumber UndoJournal::add(JournalEntry entry, std::string& reason) {
    if (depth_ == 0 && !implicit_) {
        start(kImplicitCommand);
        implicit_ = true;
    }
    if (const std::string why = UnwritableReason(entry); !why.empty()) return refuse(why, reason);
    Book& book = entry.kind != JournalEntry::Kind::FileMove && entry.root == kHKeyCurrentUser ? user_ : admin_;
    std::string problem;
    if (!open(book, problem)) return refuse(problem, reason);
    book.group.push_back(std::move(entry));
    book.tickets.push_back(++tickets_);
    return tickets_;
}

// The user's own journal first; when a book cannot be written, none of the group's changes may
// be made, and what the other book wrote of it is marked as not made.
bool UndoJournal::write(std::string& reason) {
    Book* const order[] = {&user_, &admin_};
    const bool wrote[] = {!user_.group.empty(), !admin_.group.empty()};
    std::size_t done = 0;
    while (done < std::size(order) && writeBook(*order[done])) ++done;
    if (done == std::size(order)) {
        count();
        return true;
    }
    for (std::size_t i = done + 1; i < std::size(order); ++i) {
        outcome_.refused += static_cast<int>(order[i]->group.size());
        order[i]->group.clear();
        order[i]->tickets.clear();
    }
    for (std::size_t i = 0; i < done; ++i) {
        if (!wrote[i]) continue;
        std::vector<JournalEntryNumber> tickets;
        for (const auto& kept : order[i]->written) tickets.push_back(kept.ticket);
        outcome_.refused += static_cast<int>(tickets.size());
        mark(*order[i], tickets);
    }
    count();
    return refuse("the journal " + order[done]->file->name() + " could not be written and read back whole", reason, 0);
}

bool UndoJournal::writeBook(Book& book) {
    if (book.group.empty()) return true;
    book.written.clear();
    const JournalEntryNumber first = book.file->records() + 1;
    const bool kept = book.file->append(book.group);
    if (!kept) outcome_.refused += static_cast<int>(book.group.size());
    for (std::size_t i = 0; kept && i < book.group.size(); ++i)
        book.written.push_back({book.tickets[i], first + i, std::move(book.group[i])});
    book.group.clear();
    book.tickets.clear();
    return kept;
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
    for (Book* book : {&user_, &admin_}) mark(*book, entries);
    count();
}

// A mark that cannot be written leaves an entry undo finds as it kept it, and passes over.
void UndoJournal::mark(Book& book, const std::vector<JournalEntryNumber>& tickets) {
    std::vector<JournalEntryNumber> marks;
    for (const auto& kept : book.written)
        if (std::find(tickets.begin(), tickets.end(), kept.ticket) != tickets.end() && untouched(kept.entry))
            marks.push_back(kept.number);
    if (!marks.empty()) book.file->appendNotMade(marks);
    book.written.clear();
}

// The book's journal file, made at its first change.
bool UndoJournal::open(Book& book, std::string& problem) {
    if (book.file) return true;
    const bool user = book.owner == JournalOwner::User;
    // The folder rule has judged the program-files folder and Local AppData at start: unusable, they are empty.
    if (!user && !paths_.hasProgramFolders()) {
        problem = "the value ProgramFilesDir of HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion, "
                  "the folder it keeps its journals below, is missing, empty, relative or a drive root";
        return false;
    }
    if (user && paths_.userUndo().empty()) {
        problem = "Windows names no Local AppData folder of this user that it can keep the user's own journals in";
        return false;
    }
    auto& files = platform_.files;
    const std::string folder = user ? paths_.userUndo() : paths_.undo();
    // The user's own folder is the user's to change: no link in it may lead the journal elsewhere.
    if (user) {
        if (const auto why = MakeOwnUserFolder(platform_, paths_, folder)) {
            problem = "its folder " + folder + " cannot be used: " + *why;
            return false;
        }
    } else if (!files.createDirectories(folder)) {
        problem = "its folder " + folder + " cannot be made";
        return false;
    }
    JournalHeader header;
    header.command = command_;
    header.made = platform_.clock.now();
    book.file = JournalFile::create(platform_, folder, book.owner, header);
    if (!book.file) {
        problem = "no journal file could be made in " + folder;
        return false;
    }
    count();
    return true;
}

}  // namespace keltora
