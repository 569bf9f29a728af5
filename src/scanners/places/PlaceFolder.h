#pragma once
// Where a place is now: its known folder as the system reports it, taken only as the folder rule
// allows, a per-user one only as the profile rule allows too, then the path below it, no part of
// the way a link. A place that cannot be reached so lists nothing, and says why.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/FileListing.h"
#include "scan/ScanContext.h"
#include "scanners/places/PlaceTable.h"

namespace keltora {

struct PlaceFolder {
    const Place* place = nullptr;
    std::optional<ListedFolder> folder;  // none: nothing is listed there
    std::string problem;                 // why not, when the place cannot be reached as it should
};

// Who asks for a place's folder. A scan reads a per-user known folder through UserFolder, which
// tells the user why it passes one over. A removal looks again by the text of the profile rule
// alone (UserFolderRefusal), without telling the user a second time: the act on each file makes
// sure the file and its folder are what the scan listed.
enum class PlaceLook { Scan, Removal };

// The folder of one place. A known folder that the system does not report, that the folder rule
// refuses (a root, a relative or unusable text), that the profile rule refuses (a per-user place
// outside the user's profile, or in a folder of the machine's) or that is a link, and a link on
// the way below it, give no folder and a problem; a folder that is simply not there gives no
// folder and none.
PlaceFolder FolderOf(ScanContext& context, const Place& place, PlaceLook look);

// The places of a category, each with its folder now: what its scan lists and what its removal
// may act in. The machine's places only with an administrator's token.
std::vector<PlaceFolder> PlaceFoldersOf(ScanContext& context, std::string_view code, PlaceLook look);

// The folders of the machine's places of a category (ProgramData's error reports), by the folder
// rule, whether they are there or not: what is found below them is the machine's data, not one
// user's, and keeps the machine's rules.
std::vector<std::u16string> MachinePlaceFolders(Platform& platform, std::string_view code);

// The problems of the places, as the line the category's page shows; empty when there are none.
std::string PlaceProblems(const std::vector<PlaceFolder>& folders);

}  // namespace keltora
