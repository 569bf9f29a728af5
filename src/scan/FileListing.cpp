#include "scan/FileListing.h"

#include <algorithm>

#include "platform/ExtendedPath.h"
#include "platform/FileMask.h"
#include "platform/FolderRule.h"

namespace keltora {

namespace {

ListedFolder listed(CodePage& codePage, std::u16string path) {
    bool exact = true;
    std::string ansi = codePage.toAnsi(path, &exact);
    return ListedFolder{std::move(path), std::move(ansi), exact};
}

// The folder is no link (a drive root never is), as the folder above it lists it, at any length.
// One that is not there lists nothing anyway.
bool noLink(FileSystem& fs, const std::u16string& path) {
    if (path.size() == 3 && path[1] == u':') return true;
    const auto found = fs.findWide(ExtendedPath(path));
    return found.empty() || !found.front().isReparsePoint();
}

std::u16string exactName(const FoundFile& entry, CodePage& codePage) {
    if (!entry.wideName.empty()) return entry.wideName;
    const bool ascii = std::all_of(entry.name.begin(), entry.name.end(), [](char c) { return c >= 0; });
    return ascii ? Widened(entry.name) : codePage.toWide(entry.name);
}

}  // namespace

std::string ListedFolder::column() const { return ansi.ends_with('\\') ? ansi : ansi + "\\"; }

std::u16string ListedFolder::below(std::u16string_view name) const {
    return path.ends_with(u'\\') ? path + std::u16string(name) : path + u"\\" + std::u16string(name);
}

std::optional<ListedFolder> ValueFolder(Platform& platform, const std::u16string& value) {
    auto path = UsableFolder(value);
    if (!path || !noLink(platform.files, *path)) return std::nullopt;
    return listed(platform.codePage, std::move(*path));
}

std::optional<ListedFolder> ValueFolder(Platform& platform, const std::string& value) {
    return ValueFolder(platform, platform.codePage.toWide(value));
}

std::optional<ListedFolder> Subfolder(Platform& platform, const ListedFolder& folder, std::u16string_view relative) {
    std::u16string path = folder.path;
    std::size_t start = 0;
    while (start < relative.size()) {
        const auto end = std::min(relative.find(u'\\', start), relative.size());
        path = (path.ends_with(u'\\') ? path : path + u"\\") + std::u16string(relative.substr(start, end - start));
        if (!noLink(platform.files, path)) return std::nullopt;
        start = end + 1;
    }
    return listed(platform.codePage, std::move(path));
}

std::optional<ListedFolder> DriveRootOf(Platform& platform, const ListedFolder& folder) {
    if (folder.path.size() < 3 || folder.path[1] != u':') return std::nullopt;
    return listed(platform.codePage, folder.path.substr(0, 3));
}

std::vector<FoundFile> ListEntries(Platform& platform, const ListedFolder& folder, std::u16string_view mask) {
    std::vector<FoundFile> entries;
    auto listing = platform.files.listFolder(folder.path);
    if (!listing) return entries;
    for (auto& found : listing->entries) {
        const std::u16string name = exactName(found, platform.codePage);
        // What could reach outside the folder, or name a stream of another file, is never listed.
        if (name == u"." || name == u".." || name.find_first_of(u"\\/:") != std::u16string::npos) continue;
        if (found.isReparsePoint() || !MatchesMask(mask, name)) continue;
        entries.push_back(std::move(found));
    }
    return entries;
}

FoundPath Found(Platform& platform, const ListedFolder& folder, FoundFile entry) {
    std::u16string name = exactName(entry, platform.codePage);
    return FoundPath{folder, std::move(entry), std::move(name)};
}

void CollectEntries(Platform& platform, const ListedFolder& folder, std::u16string_view mask,
                    std::vector<FoundPath>& out) {
    for (auto& entry : ListEntries(platform, folder, mask)) out.push_back(Found(platform, folder, std::move(entry)));
}

ListedFolder EntryFolder(Platform& platform, const ListedFolder& folder, const FoundFile& entry) {
    return listed(platform.codePage, folder.below(exactName(entry, platform.codePage)));
}

Finding FileFinding(const FoundPath& found, std::vector<std::string> subItems) {
    Finding finding{found.file.name, std::move(subItems), true};
    finding.listedFile = found.file.identity;
    finding.listedFolder = found.file.folderIdentity;
    if (!found.folder.exact || !found.file.wideName.empty()) {
        finding.exactName = found.name;
        finding.exactLocation = found.folder.path;
    }
    return finding;
}

}  // namespace keltora
