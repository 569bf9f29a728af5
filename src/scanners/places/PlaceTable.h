#pragma once
// The places today's Windows keeps a user's traces in, as rows of one table: a known folder from
// the system, a path below it, the names listed there and the rules that hold them back. One
// scanner reads the rows of a category and one removal acts on what they list; a rule file can
// add rows (keeping its own texts alive) without new code.
#include <span>
#include <string_view>

namespace keltora {

// Where a place starts: a folder the system reports, never one a value names.
enum class PlaceBase {
    Temp,            // the user's temporary folder (GetTempPathW)
    LocalAppData,    // SHGetKnownFolderPath(FOLDERID_LocalAppData)
    RoamingAppData,  // SHGetKnownFolderPath(FOLDERID_RoamingAppData)
    ProgramData,     // SHGetKnownFolderPath(FOLDERID_ProgramData), the machine's
};

struct Place {
    std::string_view code;
    PlaceBase base;
    std::u16string_view below;  // the path below the base folder; empty for the folder itself
    // The names listed, ';' between masks, matched against the long name without case.
    std::u16string_view masks;
    bool subfolders;  // whether the folders below are walked too (links never are)
    // A file last written less than this long ago is left alone; 0 lists every file.
    int minAgeHours;
    // A value of the program's settings key (decimal hours, 0 allowed) that overrides
    // minAgeHours; empty: none.
    std::string_view ageSetting;
    // Names never listed and folders never entered, ';' between them, compared without case.
    std::u16string_view excluded;
    // The machine's data: listed and removed only in a process with an administrator's token.
    bool machine;
    // Folders that a removal leaves empty go too, up to (never including) the place's folder.
    bool removeEmptied;
    // A classic category whose findings this place leaves to it; empty: none.
    std::string_view leftTo;
    std::string_view detail;  // the "Detail Info" of its findings
    // Why a file of the place is usually held open, for the message that says it stayed.
    std::string_view inUse;
};

std::span<const Place> Places();
// A text for a place in messages: "Local AppData\Microsoft\Windows\Explorer".
std::string_view BaseName(PlaceBase base);

}  // namespace keltora
