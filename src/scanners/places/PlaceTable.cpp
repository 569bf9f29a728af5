#include "scanners/places/PlaceTable.h"

namespace keltora {

namespace {

constexpr auto Temp = PlaceBase::Temp;
constexpr auto Local = PlaceBase::LocalAppData;
constexpr auto Roaming = PlaceBase::RoamingAppData;
constexpr auto Machine = PlaceBase::ProgramData;

constexpr std::string_view kProgramHolds =
    "A running program keeps it open; close that program, then remove the file again.";
constexpr std::string_view kExplorerHolds =
    "Explorer keeps the thumbnail cache open while you are signed in; it can go after you sign out and in again.";
constexpr std::string_view kSystemHolds =
    "Windows keeps parts of the Internet cache open while it runs; they can go after a restart.";
// The pins of Quick Access live in the list of this fixed application ID.
constexpr std::u16string_view kQuickAccessPins = u"f01b4d95cf55d32a.automaticDestinations-ms";

// clang-format off
constexpr Place kPlaces[] = {
    {"utemp", Temp, u"", u"*", true, 24, "utempminhours", u"", false, true, "temp",
     "Temporary file not written for a while", kProgramHolds},
    {"wer", Local, u"Microsoft\\Windows\\WER\\ReportArchive", u"*", true, 0, "", u"", false, true, "",
     "Windows error report", kProgramHolds},
    {"wer", Local, u"Microsoft\\Windows\\WER\\ReportQueue", u"*", true, 0, "", u"", false, true, "",
     "Windows error report", kProgramHolds},
    {"wer", Machine, u"Microsoft\\Windows\\WER\\ReportArchive", u"*", true, 0, "", u"", true, true, "",
     "Windows error report of the machine", kProgramHolds},
    {"wer", Machine, u"Microsoft\\Windows\\WER\\ReportQueue", u"*", true, 0, "", u"", true, true, "",
     "Windows error report of the machine", kProgramHolds},
    {"cdump", Local, u"CrashDumps", u"*.dmp", false, 0, "", u"", false, false, "",
     "Crash dump of a program", kProgramHolds},
    {"thumb", Local, u"Microsoft\\Windows\\Explorer", u"thumbcache_*.db;iconcache_*.db", false, 0, "", u"", false,
     false, "", "Thumbnail and icon cache", kExplorerHolds},
    {"jump", Roaming, u"Microsoft\\Windows\\Recent\\AutomaticDestinations", u"*.automaticDestinations-ms", false, 0, "",
     kQuickAccessPins, false, false, "", "Jump list of recent items", kProgramHolds},
    {"jump", Roaming, u"Microsoft\\Windows\\Recent\\CustomDestinations", u"*.customDestinations-ms", false, 0, "",
     u"", false, false, "", "Jump list of recent items", kProgramHolds},
    {"inet", Local, u"Microsoft\\Windows\\INetCache", u"*", true, 0, "", u"WebCache", false, false, "tempie",
     "Internet cache file", kSystemHolds},
};
// clang-format on

}  // namespace

std::span<const Place> Places() { return kPlaces; }

std::string_view BaseName(PlaceBase base) {
    switch (base) {
        case PlaceBase::Temp: return "the temporary folder";
        case PlaceBase::LocalAppData: return "Local AppData";
        case PlaceBase::RoamingAppData: return "Roaming AppData";
        case PlaceBase::ProgramData: return "ProgramData";
    }
    return "";
}

}  // namespace keltora
