#pragma once
// What every file category shares: the listing of one folder, the bounded walk of a browser
// store, the five columns and the finding of a file, and the one removal that deletes the files
// of the checked findings.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "scan/ResultList.h"
#include "scan/ScanContext.h"

namespace keltora {

// A file a scan reports: its folder (ending in '\'), its name and the size its listing gave.
struct FoundPath {
    std::string folder;
    std::string name;
    std::uint64_t size = 0;
    std::string path() const { return folder + name; }
    bool operator==(const FoundPath&) const = default;
};

// The ANSI calls refuse paths of this length and more.
constexpr std::size_t kMaxPath = 260;

// The entries folder + mask finds, in the order the file system returns them, without "." and
// "..", and without any name that could reach outside the folder. The folder ends in '\'. A
// folder that does not name its drive or server (what an unreadable folder value leaves, such as
// "\Temp\") lists nothing, so no listing runs against the current drive or folder by accident.
std::vector<FoundFile> ListEntries(FileSystem& fs, const std::string& folder, const std::string& mask);
// The same entries as reported files of that folder.
void CollectEntries(FileSystem& fs, const std::string& folder, const std::string& mask, std::vector<FoundPath>& out);

// The walk of a browser store (History.IE5, Content.IE5) from its root (ending in '\'): three
// levels, a name with an extension other than ".IE5" taken for a file, everything at the third
// level taken for a file, "index.dat" never reported. A first-level entry named skipFirstLevel
// is not entered.
std::vector<FoundPath> WalkStore(FileSystem& fs, const std::string& root, const std::string& skipFirstLevel = {});

// Column captions of the file lists; the widths are the same in all of them.
using FileColumnCaptions = std::array<const char*, 5>;
inline constexpr FileColumnCaptions kPathColumns{"File Names", "Repair Report", "Detail Info", "Path Location", "Size"};
inline constexpr FileColumnCaptions kTempColumns{"File Names", "Repair Report", "Detail info", "Path Location", "Size"};
inline constexpr FileColumnCaptions kErrorColumns{"File Names", "Removal Suggestion", "Extra Detail", "Error Location",
                                                  "Size"};
std::vector<Column> FileColumns(const FileColumnCaptions& captions);

// One checked finding per file: name, "Remove", the detail text, the folder, the size text.
void AddFileFindings(ScanRun& run, std::vector<FoundPath> found, std::string_view detail);

// The removal of every file category: deletes the file each checked finding names (its folder
// column followed by its caption). A finding leaves the list when its file is gone afterwards;
// one that names a folder, a name the system would read as another file, or a path too long for
// the system's calls is never deleted and stays.
void RemoveCheckedFiles(ScanContext& context, ResultList& list);

}  // namespace keltora
