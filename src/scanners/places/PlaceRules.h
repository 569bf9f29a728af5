#pragma once
// What a place lists: the names its masks take and its exclusions leave, the folders it enters,
// and how old a file must be. The scan lists by these rules and the removal checks them again
// right before it acts.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "scan/FileListing.h"
#include "scanners/places/PlaceTable.h"

namespace keltora {

class PlaceRules {
public:
    // Reads the place's age setting and the time now.
    PlaceRules(Platform& platform, const Place& place);

    const Place& place() const { return place_; }
    // A file of this name is listed: a mask takes its long name and no exclusion names it.
    bool lists(std::u16string_view name) const;
    // The same for a file found by a walk, whose name is then only looked at when it matters.
    bool lists(const FoundPath& file) const { return takesEvery_ || lists(file.name()); }
    // A folder of this name is walked into.
    bool enters(std::u16string_view name) const;
    // Whether the age of a file counts at all, and whether a file last written then is old enough.
    bool checksAge() const { return minAge_ > 0; }
    bool oldEnough(std::uint64_t lastWritten) const;
    // Whether a path below the place's folder ("a\b", empty for the folder itself) is a folder the
    // place's walk enters: every part of it one that the walk goes into.
    bool reaches(std::u16string_view relative) const;

private:
    bool excluded(std::u16string_view name) const;

    const Place& place_;
    std::vector<std::u16string_view> masks_;
    std::vector<std::u16string_view> excluded_;
    std::uint64_t minAge_ = 0;  // FILETIME units
    std::uint64_t now_ = 0;
    bool takesEvery_ = false;  // every name: a mask of all and no exclusion
};

// The files below a place's folder that its rules list, in the order the file system returns
// them, each folder's files before the folders below it are walked. Links are neither listed nor
// entered (the listing rules every file category shares).
std::vector<FoundPath> WalkPlace(Platform& platform, const PlaceRules& rules, const ListedFolder& folder);

}  // namespace keltora
