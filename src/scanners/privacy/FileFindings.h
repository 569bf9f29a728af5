#pragma once
// What every file category shares: the bounded walk of a browser store, the five columns and the
// finding of a file, and the one removal that deletes the files of the checked findings.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "scan/FileListing.h"
#include "scan/ResultList.h"
#include "scan/ScanContext.h"

namespace keltora {

// The walk of a browser store (History.IE5, Content.IE5) from its root: three levels, a name with
// an extension other than ".IE5" taken for a file, everything at the third level taken for a
// file, "index.dat" never reported, links never listed nor entered. A first-level entry named
// skipFirstLevel is not entered.
std::vector<FoundPath> WalkStore(Platform& platform, const ListedFolder& root, const std::string& skipFirstLevel = {});

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
// column followed by its caption) through the one place that acts on listed files.
void RemoveCheckedFiles(ScanContext& context, ResultList& list);

}  // namespace keltora
