#include "platform/memory/MemoryFileSystem.h"

#include <algorithm>
#include <stdexcept>

#include "platform/memory/AsciiCase.h"
#include "platform/memory/DosNames.h"
#include "platform/memory/WindowsPaths.h"

namespace keltora {

struct MemoryFileSystem::Entry {
    std::string name;
    std::uint32_t attributes = kAttrArchive;
    std::uint64_t size = 0;
    std::string content;
    bool locked = false;
    Entry* parent = nullptr;  // none for a drive root
    // Keyed by the upper-cased name: the order in which NTFS lists a folder.
    std::map<std::string, std::unique_ptr<Entry>> children;

    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
    Entry* child(const std::string& childName) const {
        auto it = children.find(UpperAscii(childName));
        return it == children.end() ? nullptr : it->second.get();
    }
    Entry& add(const std::string& childName, std::uint32_t attrs) {
        auto entry = std::make_unique<Entry>();
        entry->name = childName;
        entry->attributes = attrs;
        entry->parent = this;
        return *(children[UpperAscii(childName)] = std::move(entry));
    }
    std::unique_ptr<Entry> detach() {
        auto it = parent->children.find(UpperAscii(name));
        auto self = std::move(it->second);
        parent->children.erase(it);
        return self;
    }
};

namespace {

using Entry = MemoryFileSystem::Entry;

bool IsValidName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string("<>:\"/\\|?*").find(c) != std::string::npos) {
            return false;
        }
    }
    return true;
}

bool HoldsLock(const Entry& entry) {
    if (entry.locked) return true;
    for (const auto& [upper, child] : entry.children) {
        if (HoldsLock(*child)) return true;
    }
    return false;
}

const Entry* RootOf(const Entry* entry) {
    while (entry->parent) entry = entry->parent;
    return entry;
}

bool IsWithin(const Entry* entry, const Entry* ancestor) {
    for (; entry; entry = entry->parent) {
        if (entry == ancestor) return true;
    }
    return false;
}

FoundFile Found(const Entry& entry) { return FoundFile{entry.name, entry.attributes, entry.size}; }

void CollectPaths(const Entry& entry, const std::string& path, std::vector<std::string>& out) {
    for (const auto& [upper, child] : entry.children) {
        out.push_back(path + child->name);
        CollectPaths(*child, path + child->name + "\\", out);
    }
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() { addDirectory("C:\\"); }

MemoryFileSystem::~MemoryFileSystem() = default;

std::string MemoryFileSystem::fullPath(const std::string& path) { return FullPathName(path, current_); }

Entry* MemoryFileSystem::lookup(const std::string& path) {
    const std::string full = fullPath(path);
    char drive = 0;
    std::vector<std::string> parts;
    if (!SplitFullPath(full, drive, parts)) return nullptr;
    auto it = drives_.find(drive);
    if (it == drives_.end()) return nullptr;
    Entry* entry = it->second.get();
    for (const auto& part : parts) {
        if (!entry->isDirectory() || !(entry = entry->child(part))) return nullptr;
    }
    // "name\" names a folder only.
    if (full.back() == '\\' && !entry->isDirectory()) return nullptr;
    return entry;
}

Entry* MemoryFileSystem::parentFor(const std::string& path, std::string& leaf) {
    const std::string full = fullPath(path);
    const auto cut = full.find_last_of('\\');
    if (cut == std::string::npos || cut + 1 == full.size()) return nullptr;
    leaf = full.substr(cut + 1);
    Entry* parent = lookup(full.substr(0, cut + 1));
    return parent && parent->isDirectory() && IsValidName(leaf) ? parent : nullptr;
}

std::vector<FoundFile> MemoryFileSystem::find(const std::string& pattern) {
    std::string text = pattern;
    std::replace(text.begin(), text.end(), '/', '\\');
    const auto cut = text.find_last_of('\\');
    const bool driveOnly = cut == std::string::npos && text.size() >= 2 && text[1] == ':';
    const std::string folder = cut != std::string::npos ? text.substr(0, cut + 1) : driveOnly ? text.substr(0, 2) : ".";
    const std::string mask = cut != std::string::npos ? text.substr(cut + 1) : driveOnly ? text.substr(2) : text;
    if (mask.empty()) return {};
    if (!HasWildcards(mask)) {
        Entry* entry = lookup(text);
        if (!entry || !entry->parent) return {};
        return {Found(*entry)};
    }
    Entry* dir = lookup(folder);
    if (!dir || !dir->isDirectory()) return {};
    std::vector<FoundFile> found;
    // A drive root has no "." and "..".
    if (dir->parent) {
        for (const char* dots : {".", ".."}) {
            if (FindMatches(mask, dots)) found.push_back(FoundFile{dots, dir->attributes, 0});
        }
    }
    for (const auto& [upper, child] : dir->children) {
        if (FindMatches(mask, child->name)) found.push_back(Found(*child));
    }
    return found;
}

std::optional<std::uint32_t> MemoryFileSystem::attributes(const std::string& path) {
    Entry* entry = lookup(path);
    return entry ? std::optional<std::uint32_t>(entry->attributes) : std::nullopt;
}

bool MemoryFileSystem::deleteFile(const std::string& path) {
    Entry* entry = lookup(path);
    if (!entry || entry->isDirectory() || entry->locked || (entry->attributes & kAttrReadOnly)) return false;
    entry->detach();
    return true;
}

bool MemoryFileSystem::moveFile(const std::string& from, const std::string& to) {
    Entry* source = lookup(from);
    std::string leaf;
    Entry* target = parentFor(to, leaf);
    if (!source || !source->parent || !target || HoldsLock(*source)) return false;
    Entry* clash = target->child(leaf);
    // A name that differs only in case is the same entry: the move renames it.
    if (clash && clash != source) return false;
    if (source->isDirectory() && (RootOf(source) != RootOf(target) || IsWithin(target, source))) return false;
    auto moving = source->detach();
    moving->name = leaf;
    moving->parent = target;
    target->children[UpperAscii(leaf)] = std::move(moving);
    return true;
}

bool MemoryFileSystem::createDirectory(const std::string& path) {
    std::string full = fullPath(path);
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    std::string leaf;
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
    std::string leaf;
    Entry* parent = parentFor(path, leaf);
    if (!parent) return false;
    Entry* entry = parent->child(leaf);
    if (!entry) entry = &parent->add(leaf, kAttrArchive);
    if (entry->isDirectory() || entry->locked || (entry->attributes & kAttrReadOnly)) return false;
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

// What a handle of an open file reaches: the entry of its path while it is a file there.
class MemoryOpenFile : public OpenFile {
public:
    MemoryOpenFile(MemoryFileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}

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

private:
    Entry* file() {
        Entry* entry = files_.lookup(path_);
        return entry && !entry->isDirectory() ? entry : nullptr;
    }
    Entry* writable() {
        Entry* entry = file();
        return entry && !entry->locked ? entry : nullptr;
    }
    MemoryFileSystem& files_;
    std::string path_;
};

std::unique_ptr<OpenFile> MemoryFileSystem::createNew(const std::string& path) {
    std::string leaf;
    Entry* parent = parentFor(path, leaf);
    if (!parent || parent->child(leaf) || !IsValidName(leaf)) return nullptr;
    parent->add(leaf, kAttrArchive);
    return std::make_unique<MemoryOpenFile>(*this, fullPath(path));
}

std::unique_ptr<OpenFile> MemoryFileSystem::openForUpdate(const std::string& path) {
    Entry* entry = lookup(path);
    if (!entry || entry->isDirectory() || entry->locked || (entry->attributes & kAttrReadOnly)) return nullptr;
    return std::make_unique<MemoryOpenFile>(*this, fullPath(path));
}

// --- setup and inspection -------------------------------------------------------------------

Entry* MemoryFileSystem::make(const std::string& path, bool directory) {
    char drive = 0;
    std::vector<std::string> parts;
    const std::string full = fullPath(path);
    if (!SplitFullPath(full, drive, parts)) throw std::invalid_argument("not a full path: " + path);
    auto& root = drives_[drive];
    if (!root) {
        root = std::make_unique<Entry>();
        root->name = std::string(1, drive) + ":";
        root->attributes = kAttrDirectory;
    }
    Entry* entry = root.get();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        Entry* next = entry->child(parts[i]);
        if (!next) next = &entry->add(parts[i], last && !directory ? kAttrArchive : kAttrDirectory);
        if (!last && !next->isDirectory()) throw std::invalid_argument("a file is in the way: " + path);
        entry = next;
    }
    if (entry->isDirectory() != directory) throw std::invalid_argument("exists as the other kind: " + path);
    return entry;
}

Entry& MemoryFileSystem::existing(const std::string& path) {
    Entry* entry = lookup(path);
    if (!entry) throw std::invalid_argument("no such file or folder: " + path);
    return *entry;
}

void MemoryFileSystem::addDirectory(const std::string& path) { make(path, true); }

void MemoryFileSystem::addFile(const std::string& path, std::uint64_t size, const std::string& content) {
    Entry* entry = make(path, false);
    entry->size = size;
    entry->content = content;
}

void MemoryFileSystem::addTextFile(const std::string& path, const std::string& content) {
    addFile(path, content.size(), content);
}

void MemoryFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
    Entry& entry = existing(path);
    entry.attributes = (attributes & ~kAttrDirectory) | (entry.attributes & kAttrDirectory);
}

void MemoryFileSystem::lock(const std::string& path) { existing(path).locked = true; }

void MemoryFileSystem::unlock(const std::string& path) { existing(path).locked = false; }

std::vector<std::string> MemoryFileSystem::paths() const {
    std::vector<std::string> out;
    for (const auto& [drive, root] : drives_) CollectPaths(*root, root->name + "\\", out);
    return out;
}

}  // namespace keltora
