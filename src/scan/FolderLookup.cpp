#include "scan/FolderLookup.h"

#include "platform/FileMask.h"

namespace keltora {

FolderLookup::FolderLookup(Platform& platform, ListedFolder base) : platform_(platform), base_(std::move(base)) {}

const std::vector<FoundFile>& FolderLookup::listingOf(const ListedFolder& folder) {
    auto listed = listings_.find(folder.path);
    if (listed == listings_.end()) listed = listings_.emplace(folder.path, ListEntries(platform_, folder, u"*")).first;
    return listed->second;
}

const FoundFile* FolderLookup::entry(const ListedFolder& folder, std::u16string_view name) {
    // A name, never a mask: "*" in a name some file gave would otherwise stand for any entry.
    if (name.empty() || HasWildcards(name)) return nullptr;
    // Without wildcards the mask is the name itself, compared as the system compares names.
    for (const auto& found : listingOf(folder)) {
        if (MatchesMask(name, ExactName(found, platform_.codePage))) return &found;
    }
    return nullptr;
}

std::optional<ListedFolder> FolderLookup::folder(std::u16string_view relative) {
    ListedFolder at = base_;
    for (std::size_t start = 0; start < relative.size();) {
        const auto end = std::min(relative.find(u'\\', start), relative.size());
        const FoundFile* found = entry(at, relative.substr(start, end - start));
        if (!found || !found->isDirectory()) return std::nullopt;
        at = EntryFolder(platform_, at, *found);
        start = end + 1;
    }
    return at;
}

std::optional<FoundPath> FolderLookup::file(std::u16string_view relative) {
    const auto cut = relative.find_last_of(u'\\');
    std::optional<ListedFolder> in = cut == std::u16string_view::npos ? base_ : folder(relative.substr(0, cut));
    if (!in) return std::nullopt;
    const std::u16string_view name = cut == std::u16string_view::npos ? relative : relative.substr(cut + 1);
    const FoundFile* found = entry(*in, name);
    if (!found || found->isDirectory()) return std::nullopt;
    return Found(platform_, std::make_shared<const ListedFolder>(std::move(*in)), *found);
}

}  // namespace keltora
