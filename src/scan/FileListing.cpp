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

// Whether a listed name could reach outside its folder, or name a stream of another file.
template <typename Char>
bool reachesOut(std::basic_string_view<Char> name) {
    constexpr Char kDot = '.', kSlash = '/', kBackslash = '\\', kColon = ':';
    if (name.empty() || (name[0] == kDot && (name.size() == 1 || (name.size() == 2 && name[1] == kDot)))) return true;
    return std::any_of(name.begin(), name.end(), [](Char c) { return c == kSlash || c == kBackslash || c == kColon; });
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0; });
}

}  // namespace

std::u16string ExactName(const FoundFile& entry, CodePage& codePage) {
    if (!entry.wideName.empty()) return entry.wideName;
    return isAscii(entry.name) ? Widened(entry.name) : codePage.toWide(entry.name);
}

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
    auto listing = platform.files.listFolder(folder.path, folder.identity);
    if (!listing) return entries;
    entries = std::move(listing->entries);
    const bool everything = mask == u"*" || mask == u"*.*";
    std::erase_if(entries, [&](const FoundFile& found) {
        if (found.isReparsePoint()) return true;
        // Most names are ASCII and exact: tested as they are, without a wide copy.
        if (found.wideName.empty() && isAscii(found.name))
            return reachesOut(std::string_view(found.name)) || (!everything && !MatchesMask(mask, Widened(found.name)));
        const std::u16string name = ExactName(found, platform.codePage);
        return reachesOut(std::u16string_view(name)) || !MatchesMask(mask, name);
    });
    return entries;
}

FoundPath Found(Platform& platform, std::shared_ptr<const ListedFolder> folder, FoundFile entry) {
    std::u16string name = entry.wideName.empty() && isAscii(entry.name) ? std::u16string()
                                                                          : ExactName(entry, platform.codePage);
    return FoundPath{std::move(folder), std::move(entry), std::move(name)};
}

std::u16string FoundPath::name() const { return otherName.empty() ? Widened(file.name) : otherName; }

void CollectEntries(Platform& platform, const ListedFolder& folder, std::u16string_view mask,
                    std::vector<FoundPath>& out) {
    const auto shared = std::make_shared<const ListedFolder>(folder);
    for (auto& entry : ListEntries(platform, folder, mask)) out.push_back(Found(platform, shared, std::move(entry)));
}

ListedFolder EntryFolder(Platform& platform, const ListedFolder& folder, const FoundFile& entry) {
    ListedFolder below = listed(platform.codePage, folder.below(ExactName(entry, platform.codePage)));
    below.identity = entry.identity;
    return below;
}

std::vector<std::string> FileSubItems(std::string report, std::string_view detail, std::string folder, std::string size) {
    std::vector<std::string> items;
    items.reserve(4);
    items.push_back(std::move(report));
    items.emplace_back(detail);
    items.push_back(std::move(folder));
    items.push_back(std::move(size));
    return items;
}

Finding FileFinding(const FoundPath& found, std::vector<std::string> subItems) {
    Finding finding{found.file.name, std::move(subItems), true};
    finding.listedFile = found.file.identity;
    finding.listedFolder = found.file.folderIdentity;
    if (!found.folder().exact || !found.file.wideName.empty()) {
        finding.exactName = found.name();
        finding.exactLocation = found.folder().path;
    }
    return finding;
}

}  // namespace keltora
