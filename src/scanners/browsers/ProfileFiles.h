#pragma once
// How the browsers' room reaches files: small files read whole by their exact path, folders of a
// profile judged by the folder rule and reached without links, and the files of a cache walked.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/FolderLookup.h"
#include "scanners/browsers/BrowserTable.h"

namespace keltora {

// A settings file of a browser (Local State, profiles.ini) by its exact path: nullopt when it is
// not there, cannot be read, is no plain file or is larger than a browser ever writes one.
std::optional<std::string> ReadSettingsFile(Platform& platform, const std::u16string& path);

// A folder below a listed one that is there, a folder, and reached without a link, found by
// listings (FolderLookup), so it keeps what its listing saw of it.
std::optional<ListedFolder> ExistingFolder(Platform& platform, const ListedFolder& folder,
                                           std::u16string_view relative);

// The folder a profile path names (absolute, or relative to base when base is given): resolved
// by the folder rule, inside one of the user's folders, reached from it without a link, and
// there. nullopt with why set otherwise.
std::optional<ListedFolder> JudgedProfileFolder(Platform& platform, const UserFolders& user, std::u16string_view text,
                                                std::string& why);

// Every file below a folder, walked at most depth levels down, never into or through a link.
std::vector<FoundPath> WalkFiles(Platform& platform, const ListedFolder& folder, int depth = 6);
std::uint64_t TotalSize(const std::vector<FoundPath>& files);

// Whether a file by its exact path is there as a plain file.
bool IsPlainFile(Platform& platform, const std::u16string& path);

// Whether path lies inside folder (or is it), compared as Windows compares names of ASCII.
bool IsInsideFolder(std::u16string_view path, std::u16string_view folder);

}  // namespace keltora
