#pragma once
// Where a place is now: its known folder as the system reports it, taken only as the folder rule
// allows, then the path below it, no part of the way a link. A place that cannot be reached so
// lists nothing, and says why.
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "scan/FileListing.h"
#include "scanners/places/PlaceTable.h"

namespace keltora {

struct PlaceFolder {
    const Place* place = nullptr;
    std::optional<ListedFolder> folder;  // none: nothing is listed there
    std::string problem;                 // why not, when the place cannot be reached as it should
};

// The folder of one place. A known folder that the system does not report, that the folder rule
// refuses (a root, a relative or unusable text) or that is a link, and a link on the way below
// it, give no folder and a problem; a folder that is simply not there gives no folder and none.
PlaceFolder FolderOf(Platform& platform, const Place& place);

// The places of a category, each with its folder now: what its scan lists and what its removal
// may act in. The machine's places only with an administrator's token.
std::vector<PlaceFolder> PlaceFoldersOf(Platform& platform, std::string_view code);

// The problems of the places, as the line the category's page shows; empty when there are none.
std::string PlaceProblems(const std::vector<PlaceFolder>& folders);

}  // namespace keltora
