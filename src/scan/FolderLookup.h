#pragma once
// Names below one folder found through one listing of each folder on the way. A scan that asks for
// a dozen fixed names in the same few folders (a browser profile's databases, caches and session
// files) would otherwise look each name up on its own, and under Wine every lookup is a handful of
// round trips to its server where a listing is one. What a listing shows is what the folder held
// when it was listed; whatever acts on a found entry checks it again as it acts.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/FileListing.h"

namespace keltora {

class FolderLookup {
public:
    FolderLookup(Platform& platform, ListedFolder base);

    // The folder a relative path ('\' between its parts) names below the base: each part a folder
    // entry of the one above, none a link; nullopt otherwise. The folder keeps the identity its
    // listing saw.
    std::optional<ListedFolder> folder(std::u16string_view relative);
    // The plain file (no folder, no link) a relative path names below the base, as its folder's
    // listing shows it; nullopt when there is none.
    std::optional<FoundPath> file(std::u16string_view relative);
    // Every entry of the base as its listing shows it (ListEntries with "*").
    const std::vector<FoundFile>& entries() { return listingOf(base_); }

private:
    const std::vector<FoundFile>& listingOf(const ListedFolder& folder);
    const FoundFile* entry(const ListedFolder& folder, std::u16string_view name);

    Platform& platform_;
    ListedFolder base_;
    std::map<std::u16string, std::vector<FoundFile>> listings_;
};

}  // namespace keltora
