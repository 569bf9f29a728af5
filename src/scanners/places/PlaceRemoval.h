#pragma once
// The one removal of the places of today's Windows. A checked finding is acted on only when its
// file lies in a place of its category as that place is now (the known folder reported again,
// the folder rule, the profile rule for a per-user place, no link on the way), its place's rules
// still list it (its name, the folders between, its age read again from a new listing), and then
// through the one place that acts on listed files, on the very file the scan listed (its
// identity and its folder's). A file another program holds stays listed and is counted; the
// program never ends another program. Folders a removal leaves empty go where the place asks for
// it, below its folder only, each as its folder's listing shows it.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "scan/FileRemoval.h"
#include "scanners/places/PlaceFolder.h"
#include "scanners/places/PlaceRules.h"

namespace keltora {

class PlaceRemoval {
public:
    PlaceRemoval(ScanContext& context, std::string_view code);

    RemovalOutcome remove(const Finding& finding);
    // After the last finding: the emptied folders, then what the user must be told (files left
    // for safety, files in use).
    void finish();

private:
    struct Target {
        std::size_t place;  // index into folders_ and rules_
        std::u16string folder;
        std::u16string name;
    };
    std::optional<Target> locate(const Finding& finding) const;
    // Whether the file is still as old as its place asks; nullopt when the listing no longer
    // shows it as a file (the act then finds out what it is).
    std::optional<bool> stillOldEnough(const Target& target, const Finding& finding);
    void removeEmptiedFolders();

    ScanContext& context_;
    std::vector<PlaceFolder> folders_;
    std::vector<PlaceRules> rules_;
    FileRemoval files_;
    // The files of one folder come together: the act opens and checks their folder once.
    std::optional<KeptActFolder> keptFolder_;
    // Each folder's files as listed again during this removal, by exact name: when last written.
    // Keyed by the folder as the findings name it (all of a folder's findings spell it alike).
    std::unordered_map<std::u16string, std::unordered_map<std::u16string, std::uint64_t>> listings_;
    std::set<std::pair<std::size_t, std::u16string>> emptied_;
    // What the user can do about the first file found in use, by its place.
    std::string_view inUseHint_;
};

}  // namespace keltora
