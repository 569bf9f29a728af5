#include "platform/memory/MemoryFileSystem.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <stdexcept>

#include "platform/memory/AsciiCase.h"
#include "platform/memory/DosNames.h"
#include "platform/memory/WideCase.h"
#include "platform/memory/WindowsPaths.h"

namespace keltora {

namespace {

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

std::u16string upperKey(std::u16string_view name) {
    std::u16string key(name);
    for (auto& c : key) c = upper(c);
    return key;
}

// Links followed in a row before a lookup gives up, as the system does with a loop.
constexpr int kMaxLinkDepth = 8;

// The system error codes the act reports.
constexpr long kPathNotFound = 3;
constexpr long kAccessDenied = 5;
constexpr long kSharingViolation = 32;
constexpr long kInvalidName = 123;
constexpr long kDirectoryNotEmpty = 145;
constexpr long kDirectoryName = 267;

// File IDs are never reused, across every memory file system of the process.
std::uint64_t NewFileId() {
    static std::atomic<std::uint64_t> next{16};
    return next++;
}

}  // namespace

struct MemoryFileSystem::Entry {
    std::u16string name;
    std::uint32_t attributes = kAttrArchive;
    std::uint64_t size = 0;
    std::uint64_t lastWritten = 0;
    std::string content;
    bool locked = false;
    bool heldShared = false;  // held open by another program that allows deletion
    bool denied = false;
    std::uint64_t id = NewFileId();
    std::uint32_t serial = 0;  // a drive root: its volume's serial number
    std::u16string linkTarget;  // a link: the full path it points at
    Entry* parent = nullptr;    // none for a drive root
    // Keyed by the upper-cased name: the order in which NTFS lists a folder.
    std::map<std::u16string, std::unique_ptr<Entry>> children;

    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
    bool isLink() const { return !linkTarget.empty(); }
    Entry* child(std::u16string_view childName) const {
        auto it = children.find(upperKey(childName));
        return it == children.end() ? nullptr : it->second.get();
    }
    Entry& add(const std::u16string& childName, std::uint32_t attrs) {
        auto entry = std::make_unique<Entry>();
        entry->name = childName;
        entry->attributes = attrs;
        entry->parent = this;
        return *(children[upperKey(childName)] = std::move(entry));
    }
    std::unique_ptr<Entry> detach() {
        auto it = parent->children.find(upperKey(name));
        auto self = std::move(it->second);
        parent->children.erase(it);
        return self;
    }
};

// What a path leads to: the entry, or why there is none.
struct MemoryFileSystem::Lookup {
    Entry* entry = nullptr;
    bool denied = false;
};

namespace {

using Entry = MemoryFileSystem::Entry;

bool isValidName(std::u16string_view name) {
    if (name.empty()) return false;
    for (char16_t c : name)
        if (c < 0x20 || std::u16string_view(u"<>:\"/\\|?*").find(c) != std::u16string_view::npos) return false;
    return true;
}

bool holdsLock(const Entry& entry) {
    if (entry.locked) return true;
    for (const auto& [upperName, child] : entry.children)
        if (holdsLock(*child)) return true;
    return false;
}

const Entry* rootOf(const Entry* entry) {
    while (entry->parent) entry = entry->parent;
    return entry;
}

// A detached entry put into a folder under a (new) name.
void reattach(std::unique_ptr<Entry> moving, Entry& folder, const std::u16string& leaf) {
    moving->name = leaf;
    moving->parent = &folder;
    folder.children[upperKey(leaf)] = std::move(moving);
}

FileIdentity identityOf(const Entry& entry) { return {rootOf(&entry)->serial, entry.id}; }

FileActOutcome outcome(FileActResult result, FileActFault fault = FileActFault::None, long error = 0) {
    return {result, fault, error};
}

bool isWithin(const Entry* entry, const Entry* ancestor) {
    for (; entry; entry = entry->parent)
        if (entry == ancestor) return true;
    return false;
}

}  // namespace

MemoryFileSystem::MemoryFileSystem()
    : environment{{u"SystemRoot", u"C:\\Windows"},
                  {u"windir", u"C:\\Windows"},
                  {u"SystemDrive", u"C:"},
                  {u"ProgramFiles", u"C:\\Program Files"},
                  {u"ProgramW6432", u"C:\\Program Files"},
                  {u"ProgramFiles(x86)", u"C:\\Program Files (x86)"},
                  {u"CommonProgramFiles", u"C:\\Program Files\\Common Files"},
                  {u"CommonProgramFiles(x86)", u"C:\\Program Files (x86)\\Common Files"},
                  {u"ProgramData", u"C:\\ProgramData"},
                  {u"ALLUSERSPROFILE", u"C:\\ProgramData"}} {
    addDirectory("C:\\");
}

std::optional<std::u16string> MemoryFileSystem::environmentVariable(const std::u16string& name) {
    for (const auto& [variable, value] : environment)
        if (EqualsNoCaseWide(variable, name)) return value;
    return std::nullopt;
}

MemoryFileSystem::~MemoryFileSystem() = default;

std::u16string MemoryFileSystem::wide(const std::string& path) { return codePage_.toWide(path); }

std::string MemoryFileSystem::fullPath(const std::string& path) {
    return codePage_.toAnsi(FullPathName(wide(path), current_));
}

// Follows a full path part by part; links on the way are followed, the last one only when asked.
MemoryFileSystem::Lookup MemoryFileSystem::resolve(const std::u16string& fullPath, bool followLast) {
    char drive = 0;
    std::vector<std::u16string> parts;
    if (!SplitFullPath(fullPath, drive, parts)) return {};
    Entry* entry = nullptr;
    if (auto alias = driveLetters_.find(drive); alias != driveLetters_.end()) {
        // A drive letter for a folder of another drive reaches that folder's own entries.
        const Lookup folder = resolve(alias->second, true);
        if (!folder.entry || folder.denied) return folder;
        entry = folder.entry;
    } else if (auto it = drives_.find(drive); it != drives_.end()) {
        entry = it->second.get();
    } else {
        return {};
    }
    for (std::size_t i = 0; i <= parts.size(); ++i) {
        const bool last = i == parts.size();
        for (int depth = 0; entry->isLink() && (!last || followLast); ++depth) {
            if (depth == kMaxLinkDepth) return {};
            Lookup target = resolve(entry->linkTarget, true);
            if (!target.entry) return target;
            entry = target.entry;
        }
        if (entry->denied && !last) return {nullptr, true};
        if (last) break;
        if (!entry->isDirectory() || !(entry = entry->child(parts[i]))) return {};
    }
    // "name\" names a folder only.
    if (fullPath.back() == u'\\' && !entry->isDirectory()) return {};
    return {entry, false};
}

Entry* MemoryFileSystem::lookup(const std::string& path, bool followLast) {
    const Lookup found = resolve(FullPathName(wide(path), current_), followLast);
    return found.entry && !found.entry->denied ? found.entry : nullptr;
}

Entry* MemoryFileSystem::parentFor(const std::string& path, std::u16string& leaf) {
    const std::u16string full = FullPathName(wide(path), current_);
    const auto cut = full.find_last_of(u'\\');
    if (cut == std::u16string::npos || cut + 1 == full.size()) return nullptr;
    leaf = full.substr(cut + 1);
    Entry* parent = resolve(full.substr(0, cut + 1), true).entry;
    return parent && !parent->denied && parent->isDirectory() && isValidName(leaf) ? parent : nullptr;
}

FoundFile MemoryFileSystem::found(const Entry& entry) {
    bool exact = true;
    FoundFile file{codePage_.toAnsi(entry.name, &exact), entry.attributes, entry.size};
    if (!exact) file.wideName = entry.name;
    file.lastWritten = entry.lastWritten;
    return file;
}

std::vector<FoundFile> MemoryFileSystem::find(const std::string& pattern) { return findWide(wide(pattern)); }

std::vector<FoundFile> MemoryFileSystem::findWide(const std::u16string& pattern) {
    std::u16string text = pattern;
    std::replace(text.begin(), text.end(), u'/', u'\\');
    const auto cut = text.find_last_of(u'\\');
    const bool driveOnly = cut == std::u16string::npos && text.size() >= 2 && text[1] == u':';
    const std::u16string folder = cut != std::u16string::npos ? text.substr(0, cut + 1)
                                  : driveOnly                  ? text.substr(0, 2)
                                                               : u".";
    const std::u16string mask = cut != std::u16string::npos ? text.substr(cut + 1) : driveOnly ? text.substr(2) : text;
    if (mask.empty()) return {};
    if (!HasWildcards(mask)) {
        Entry* entry = resolve(asWritten(text), false).entry;
        if (!entry || !entry->parent) return {};
        return {found(*entry)};
    }
    const Lookup dir = resolve(asWritten(folder), true);
    if (!dir.entry || dir.entry->denied || !dir.entry->isDirectory()) return {};
    std::vector<FoundFile> result;
    // A drive root has no "." and "..".
    if (dir.entry->parent) {
        for (const char16_t* dots : {u".", u".."})
            if (FindMatches(mask, dots)) result.push_back(FoundFile{Narrowed(dots), dir.entry->attributes, 0});
    }
    for (const auto& [upperName, child] : dir.entry->children) {
        // A link whose target is gone is not listed, as Wine leaves out a dangling Unix link.
        if (child->isLink() && !resolve(child->linkTarget, true).entry) continue;
        if (FindMatches(mask, child->name)) result.push_back(found(*child));
    }
    return result;
}

std::optional<std::uint32_t> MemoryFileSystem::attributes(const std::string& path) {
    const Lookup found = resolve(FullPathName(wide(path), current_), false);
    if (!found.entry || found.entry->denied) return std::nullopt;
    if (found.entry->isLink() && !resolve(found.entry->linkTarget, true).entry) return std::nullopt;
    return found.entry->attributes;
}

PathPresence MemoryFileSystem::probe(const std::string& path, std::uint32_t* attributes) {
    const std::string upper = UpperAscii(path);
    for (const auto& denied : deniedProbes_) {
        if (upper.starts_with(denied) && (upper.size() == denied.size() || upper[denied.size()] == '\\'))
            return PathPresence::Unknown;
    }
    // An entry the user may not open (or one below it) is there, as far as anyone may know.
    const Lookup looked = resolve(FullPathName(wide(path), current_), false);
    if (looked.denied || (looked.entry && looked.entry->denied)) return PathPresence::Unknown;
    const auto found = this->attributes(path);
    if (!found) return PathPresence::Missing;
    if (attributes != nullptr) *attributes = *found;
    return PathPresence::Present;
}

void MemoryFileSystem::denyProbes(const std::string& path) { deniedProbes_.push_back(UpperAscii(path)); }

bool MemoryFileSystem::deleteFile(const std::string& path) {
    Entry* entry = lookup(path);
    if (!entry || entry->isDirectory() || entry->locked || (entry->attributes & kAttrReadOnly)) return false;
    entry->detach();
    return true;
}

bool MemoryFileSystem::moveFile(const std::string& from, const std::string& to) {
    Entry* source = lookup(from);
    std::u16string leaf;
    Entry* target = parentFor(to, leaf);
    if (!source || !source->parent || !target || holdsLock(*source)) return false;
    Entry* clash = target->child(leaf);
    // A name that differs only in case is the same entry: the move renames it.
    if (clash && clash != source) return false;
    const bool otherVolume = rootOf(source) != rootOf(target);
    if (source->isDirectory() && (otherVolume || isWithin(target, source))) return false;
    auto moving = source->detach();
    if (otherVolume) moving->id = NewFileId();  // copied, as MoveFileA moves a file across volumes
    reattach(std::move(moving), *target, leaf);
    return true;
}

std::u16string MemoryFileSystem::asWritten(const std::u16string& path) {
    if (path.starts_with(u"\\\\?\\")) return path.substr(4);
    return FullPathName(path, current_);
}

std::optional<FolderListing> MemoryFileSystem::listFolder(const std::u16string& folder) {
    const Lookup dir = resolve(folder, false);
    if (!dir.entry || dir.denied || dir.entry->denied || dir.entry->isLink() || !dir.entry->isDirectory())
        return std::nullopt;
    FolderListing listing{identityOf(*dir.entry), {}};
    for (const auto& [upperName, child] : dir.entry->children) {
        // A link whose target is gone is not listed, as Wine leaves out a dangling Unix link.
        const Entry* target = child->isLink() ? resolve(child->linkTarget, true).entry : child.get();
        if (!target) continue;
        FoundFile file = found(*child);
        // A link is listed as itself, unless it shows as Wine shows a Unix link to a file: as
        // that file.
        file.identity = identityOf((child->attributes & kAttrReparsePoint) ? *child : *target);
        file.folderIdentity = listing.folder;
        listing.entries.push_back(std::move(file));
    }
    return listing;
}

// The folder is opened without following a final link, the entry by its exact name in it, as
// itself; both must be what the listing saw.
FileActOutcome MemoryFileSystem::act(const FileAct& act) {
    const auto cut = act.path.find_last_of(u'\\');
    char drive = 0;
    std::vector<std::u16string> parts;
    if (cut == std::u16string::npos || !SplitFullPath(act.path, drive, parts))
        return outcome(FileActResult::Failed, FileActFault::System, kInvalidName);
    const Lookup folder = resolve(act.path.substr(0, cut == 2 ? 3 : cut), false);
    if (folder.denied || (folder.entry && folder.entry->denied))
        return outcome(FileActResult::Failed, FileActFault::System, kAccessDenied);
    if (!folder.entry || !folder.entry->isDirectory()) return outcome(FileActResult::Absent);
    if (folder.entry->isLink()) return outcome(FileActResult::Unsafe, FileActFault::Link);
    if (act.folder.known() && identityOf(*folder.entry) != act.folder)
        return outcome(FileActResult::Unsafe, FileActFault::NotListed);
    Entry* entry = folder.entry->child(act.path.substr(cut + 1));
    if (!entry) return outcome(FileActResult::Absent);
    if (entry->denied) return outcome(FileActResult::Failed, FileActFault::System, kAccessDenied);
    if (entry->isLink()) return outcome(FileActResult::Unsafe, FileActFault::Link);
    if (!act.file.known() || identityOf(*entry) != act.file) return outcome(FileActResult::Unsafe, FileActFault::NotListed);
    if (!act.moveTo.empty()) return moveEntry(*entry, act);
    if (act.emptyFolder) return deleteEmptyFolder(*entry, act.dryRun);
    if (entry->isDirectory()) return outcome(FileActResult::Failed, FileActFault::Folder);
    return deleteEntry(*entry, act.dryRun);
}

// Only a folder, and only while nothing is in it.
FileActOutcome MemoryFileSystem::deleteEmptyFolder(Entry& entry, bool dryRun) {
    if (!entry.isDirectory()) return outcome(FileActResult::Failed, FileActFault::System, kDirectoryName);
    if (!entry.children.empty()) return outcome(FileActResult::Failed, FileActFault::System, kDirectoryNotEmpty);
    if (entry.locked) return outcome(FileActResult::Failed, FileActFault::System, kSharingViolation);
    if (dryRun) return outcome(FileActResult::Done);
    entry.detach();
    return outcome(FileActResult::Done);
}

FileActOutcome MemoryFileSystem::deleteEntry(Entry& entry, bool dryRun) {
    if (entry.locked) return outcome(FileActResult::Failed, FileActFault::System, kSharingViolation);
    // The classic disposition fails on a read-only file, and leaves the name of a file another
    // program holds until it closes it.
    if (!posixDeletes && (entry.attributes & kAttrReadOnly))
        return outcome(FileActResult::Failed, FileActFault::System, kAccessDenied);
    if (dryRun) return outcome(FileActResult::Done);
    if (!posixDeletes && entry.heldShared) return outcome(FileActResult::Failed, FileActFault::HeldOpen);
    entry.detach();
    return outcome(FileActResult::Done);
}

// Moves a checked entry to an exact path in a folder that is no link, never over another entry;
// a folder moves as a whole, on its own drive and never into itself; a file on another volume
// is copied, and the copy is a new file.
FileActOutcome MemoryFileSystem::moveEntry(Entry& entry, const FileAct& act) {
    const std::u16string& to = act.moveTo;
    const auto cut = to.find_last_of(u'\\');
    const std::u16string leaf = cut == std::u16string::npos ? std::u16string() : to.substr(cut + 1);
    const Lookup folder = resolve(to.substr(0, cut == 2 ? 3 : cut), false);
    if (folder.denied || (folder.entry && folder.entry->denied))
        return outcome(FileActResult::Failed, FileActFault::System, kAccessDenied);
    if (!folder.entry || !folder.entry->isDirectory() || !isValidName(leaf))
        return outcome(FileActResult::Failed, FileActFault::System, kPathNotFound);
    if (folder.entry->isLink()) return outcome(FileActResult::Unsafe, FileActFault::Link);
    if (folder.entry->child(leaf)) return outcome(FileActResult::Failed, FileActFault::NameTaken);
    if (holdsLock(entry)) return outcome(FileActResult::Failed, FileActFault::System, kSharingViolation);
    const bool otherVolume = rootOf(&entry) != rootOf(folder.entry);
    if (entry.isDirectory() && (otherVolume || isWithin(folder.entry, &entry)))
        return outcome(FileActResult::Failed, FileActFault::Folder);
    if (act.dryRun) return outcome(FileActResult::Done);
    const std::uint64_t id = otherVolume ? NewFileId() : entry.id;
    if (act.beforeMove && !act.beforeMove({rootOf(folder.entry)->serial, id}))
        return outcome(FileActResult::Failed, FileActFault::Refused);
    // What Windows' own calls find once the move is told: a name another program took meanwhile
    // (a rename and a new file never replace one), and on another volume the copy's original that
    // the classic disposition cannot delete (read-only), which takes the copy away again.
    if (folder.entry->child(leaf)) return outcome(FileActResult::Failed, FileActFault::NameTaken);
    if (otherVolume && !posixDeletes && (entry.attributes & kAttrReadOnly))
        return outcome(FileActResult::Failed, FileActFault::System, kAccessDenied);
    if (otherVolume && entry.heldShared && !posixDeletes) {
        // The copy is made; the original is only marked, and goes when its holder closes it.
        Entry& copy = folder.entry->add(leaf, entry.attributes);
        copy.id = id;
        copy.size = entry.size;
        copy.content = entry.content;
        return outcome(FileActResult::Failed, FileActFault::HeldOpen);
    }
    auto moving = entry.detach();
    moving->id = id;
    reattach(std::move(moving), *folder.entry, leaf);
    return outcome(FileActResult::Done);
}

bool MemoryFileSystem::createDirectory(const std::string& path) {
    std::string full = fullPath(path);
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    std::u16string leaf;
    Entry* parent = parentFor(full, leaf);
    if (!parent || parent->child(leaf)) return false;
    parent->add(leaf, kAttrDirectory);
    return true;
}

std::optional<std::string> MemoryFileSystem::readFile(const std::string& path) {
    Entry* entry = lookup(path);
    if (!entry || entry->isDirectory()) return std::nullopt;
    return entry->content;
}

bool MemoryFileSystem::store(const std::string& path, const std::string& content, bool append) {
    std::u16string leaf;
    Entry* parent = parentFor(path, leaf);
    if (!parent) return false;
    Entry* entry = parent->child(leaf);
    if (entry && entry->isLink()) entry = lookup(path);
    if (!entry) entry = &parent->add(leaf, kAttrArchive);
    if (entry->isDirectory() || entry->locked || entry->denied || (entry->attributes & kAttrReadOnly)) return false;
    entry->content = append ? entry->content + content : content;
    entry->size = entry->content.size();
    return true;
}

bool MemoryFileSystem::writeFile(const std::string& path, const std::string& content) {
    return store(path, content, false);
}

bool MemoryFileSystem::appendFile(const std::string& path, const std::string& content) {
    return store(path, content, true);
}

bool MemoryFileSystem::createNewFile(const std::string& path) {
    return lookup(path) == nullptr && store(path, "", false);
}

// What a handle of an open file reaches: the entry of its full path while it is a file there
// (a final link followed only when it was opened through one).
class MemoryOpenFile : public OpenedFile {
public:
    MemoryOpenFile(MemoryFileSystem& files, std::u16string path, bool followLast)
        : files_(files), path_(std::move(path)), followLast_(followLast) {}

    bool writeAt(std::uint64_t offset, const std::string& bytes) override {
        Entry* entry = writable();
        if (!entry || offset > entry->content.size()) return false;
        entry->content.replace(static_cast<std::size_t>(offset), std::min(bytes.size(), entry->content.size() - offset),
                               bytes);
        entry->size = entry->content.size();
        return true;
    }
    std::optional<std::string> readAt(std::uint64_t offset, std::size_t size) override {
        Entry* entry = file();
        if (!entry || offset > entry->content.size() || entry->content.size() - offset < size) return std::nullopt;
        return entry->content.substr(static_cast<std::size_t>(offset), size);
    }
    bool truncate(std::uint64_t size) override {
        Entry* entry = writable();
        if (!entry || size > entry->content.size()) return false;
        entry->content.resize(static_cast<std::size_t>(size));
        entry->size = size;
        return true;
    }
    std::optional<std::uint64_t> size() override {
        Entry* entry = file();
        return entry ? std::optional<std::uint64_t>(entry->content.size()) : std::nullopt;
    }
    bool flush() override { return writable() != nullptr; }
    // A file another program holds is one whose database lock another engine holds.
    bool lock(bool) override { return writable() != nullptr; }

private:
    Entry* file() {
        const MemoryFileSystem::Lookup found = files_.resolve(path_, followLast_);
        Entry* entry = found.entry;
        return entry && !entry->denied && !entry->isDirectory() ? entry : nullptr;
    }
    Entry* writable() {
        Entry* entry = file();
        return entry && !entry->locked ? entry : nullptr;
    }
    MemoryFileSystem& files_;
    std::u16string path_;
    bool followLast_;
};

std::unique_ptr<OpenedFile> MemoryFileSystem::createNew(const std::string& path) {
    std::u16string leaf;
    Entry* parent = parentFor(path, leaf);
    // A link of that name counts as a file there: it is never followed.
    if (!parent || parent->child(leaf)) return nullptr;
    parent->add(leaf, kAttrArchive);
    return std::make_unique<MemoryOpenFile>(*this, FullPathName(wide(path), current_), true);
}

// The folder as itself, then the file of that name in it as itself.
std::unique_ptr<OpenedFile> MemoryFileSystem::openForUpdate(const std::string& path, bool create, FileActOutcome* why) {
    FileActOutcome ignored;
    FileActOutcome& told = why ? *why : ignored;
    const std::u16string full = FullPathName(wide(path), current_);
    const auto cut = full.find_last_of(u'\\');
    const std::u16string leaf = full.substr(cut + 1);
    const Lookup folder = resolve(full.substr(0, cut == 2 ? 3 : cut), false);
    told = outcome(FileActResult::Done);
    if (folder.denied || (folder.entry && folder.entry->denied))
        told = outcome(FileActResult::Failed, FileActFault::System, kAccessDenied);
    else if (!folder.entry || !folder.entry->isDirectory()) told = outcome(FileActResult::Absent);
    else if (folder.entry->isLink()) told = outcome(FileActResult::Unsafe, FileActFault::Link);
    if (told.result != FileActResult::Done) return nullptr;
    Entry* entry = folder.entry->child(leaf);
    if (!entry && create && isValidName(leaf)) entry = &folder.entry->add(leaf, kAttrArchive);
    if (!entry) told = outcome(FileActResult::Absent);
    else if (entry->isLink()) told = outcome(FileActResult::Unsafe, FileActFault::Link);
    else if (entry->isDirectory()) told = outcome(FileActResult::Failed, FileActFault::Folder);
    else if (entry->denied || (entry->attributes & kAttrReadOnly))
        told = outcome(FileActResult::Failed, FileActFault::System, kAccessDenied);
    else if (entry->locked) told = outcome(FileActResult::Failed, FileActFault::System, kSharingViolation);
    if (told.result != FileActResult::Done) return nullptr;
    return std::make_unique<MemoryOpenFile>(*this, full, false);
}

std::unique_ptr<OpenedFile> MemoryFileSystem::openExact(const std::u16string& path, bool write, bool create) {
    const Lookup found = resolve(path, false);
    Entry* entry = found.entry;
    if (found.denied || (entry && (entry->denied || entry->isLink() || entry->isDirectory()))) return nullptr;
    if (entry && write && (entry->attributes & kAttrReadOnly)) return nullptr;
    if (!entry) {
        const auto cut = path.find_last_of(u'\\');
        if (!create || !write || cut == std::u16string::npos) return nullptr;
        const Lookup folder = resolve(path.substr(0, cut + 1), true);
        const std::u16string leaf = path.substr(cut + 1);
        if (!folder.entry || folder.entry->denied || !folder.entry->isDirectory() || !isValidName(leaf)) return nullptr;
        folder.entry->add(leaf, kAttrArchive);
    }
    return std::make_unique<MemoryOpenFile>(*this, path, false);
}

// --- setup and inspection -------------------------------------------------------------------

Entry* MemoryFileSystem::make(const std::u16string& path, bool directory, bool exact) {
    char drive = 0;
    std::vector<std::u16string> parts;
    const std::u16string full = exact ? path : FullPathName(path, current_);
    if (!SplitFullPath(full, drive, parts)) throw std::invalid_argument("not a full path: " + codePage_.toAnsi(path));
    if (auto alias = driveLetters_.find(drive); alias != driveLetters_.end())
        return make(alias->second + full.substr(2), directory, true);
    auto& root = drives_[drive];
    if (!root) {
        root = std::make_unique<Entry>();
        root->name = std::u16string(1, static_cast<char16_t>(drive)) + u":";
        root->attributes = kAttrDirectory;
        root->serial = 0x5EED0000u | static_cast<std::uint8_t>(drive);
    }
    Entry* entry = root.get();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        Entry* next = entry->child(parts[i]);
        if (!next) next = &entry->add(parts[i], last && !directory ? kAttrArchive : kAttrDirectory);
        if (!last && !next->isDirectory())
            throw std::invalid_argument("a file is in the way: " + codePage_.toAnsi(path));
        entry = next;
    }
    if (entry->isDirectory() != directory)
        throw std::invalid_argument("exists as the other kind: " + codePage_.toAnsi(path));
    return entry;
}

Entry& MemoryFileSystem::existing(const std::string& path) {
    Entry* entry = resolve(FullPathName(wide(path), current_), false).entry;
    if (!entry) throw std::invalid_argument("no such file or folder: " + path);
    return *entry;
}

void MemoryFileSystem::addDirectory(const std::string& path) { make(wide(path), true, false); }

void MemoryFileSystem::addFile(const std::string& path, std::uint64_t size, const std::string& content) {
    Entry* entry = make(wide(path), false, false);
    entry->size = size;
    entry->content = content;
}

void MemoryFileSystem::addFile(const std::u16string& path, std::uint64_t size, const std::string& content) {
    Entry* entry = make(path, false, true);
    entry->size = size;
    entry->content = content;
}

void MemoryFileSystem::addTextFile(const std::string& path, const std::string& content) {
    addFile(path, content.size(), content);
}

void MemoryFileSystem::addLink(const std::string& path, const std::string& target, bool showsAsReparsePoint) {
    const std::u16string targetPath = FullPathName(wide(target), current_);
    Entry* pointed = resolve(targetPath, true).entry;
    if (!pointed) throw std::invalid_argument("no such link target: " + target);
    Entry* link = make(wide(path), pointed->isDirectory(), false);
    link->linkTarget = targetPath;
    link->attributes = (pointed->isDirectory() ? kAttrDirectory : kAttrArchive) |
                       (showsAsReparsePoint ? kAttrReparsePoint : 0);
}

void MemoryFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
    Entry& entry = existing(path);
    entry.attributes = (attributes & ~kAttrDirectory) | (entry.attributes & kAttrDirectory);
}

void MemoryFileSystem::lock(const std::string& path) { existing(path).locked = true; }

void MemoryFileSystem::setLastWritten(const std::string& path, std::uint64_t fileTime) {
    existing(path).lastWritten = fileTime;
}

void MemoryFileSystem::setLastWritten(const std::u16string& exactPath, std::uint64_t fileTime) {
    Entry* entry = resolve(exactPath, false).entry;
    if (!entry) throw std::invalid_argument("no such file or folder: " + codePage_.toAnsi(exactPath));
    entry->lastWritten = fileTime;
}

void MemoryFileSystem::unlock(const std::string& path) { existing(path).locked = false; }

void MemoryFileSystem::holdWithDeleteSharing(const std::string& path) { existing(path).heldShared = true; }

void MemoryFileSystem::addDriveLetter(char letter, const std::string& folder) {
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (drives_.count(drive) || !make(wide(folder), true, false)) throw std::invalid_argument("drive letter in use");
    driveLetters_[drive] = FullPathName(wide(folder), current_);
}

void MemoryFileSystem::deny(const std::string& path) { existing(path).denied = true; }

std::vector<std::string> MemoryFileSystem::paths() const {
    std::vector<std::string> out;
    MemoryCodePage codePage;
    auto collect = [&](auto& self, const Entry& entry, const std::string& path) -> void {
        for (const auto& [upperName, child] : entry.children) {
            out.push_back(path + codePage.toAnsi(child->name));
            self(self, *child, out.back() + "\\");
        }
    };
    for (const auto& [drive, root] : drives_) collect(collect, *root, codePage.toAnsi(root->name) + "\\");
    return out;
}

bool MemoryFileSystem::hasExact(const std::u16string& path) { return resolve(path, false).entry != nullptr; }

}  // namespace keltora
