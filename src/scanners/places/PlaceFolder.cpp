#include "scanners/places/PlaceFolder.h"

#include "platform/FileMask.h"
#include "platform/FolderRule.h"

namespace keltora {

namespace {

std::u16string reportedFolder(Platform& platform, PlaceBase base) {
    switch (base) {
        case PlaceBase::Temp: return platform.files.temporaryFolder();
        case PlaceBase::LocalAppData: return platform.shell.knownFolder(KnownFolder::LocalAppData);
        case PlaceBase::RoamingAppData: return platform.shell.knownFolder(KnownFolder::RoamingAppData);
        case PlaceBase::ProgramData: return platform.shell.knownFolder(KnownFolder::ProgramData);
    }
    return {};
}

// The place as the user reads it: the known folder's name and the path below it.
std::string placeText(const Place& place) {
    std::string text(BaseName(place.base));
    if (!place.below.empty()) text += "\\" + Narrowed(place.below);
    return text;
}

// Why a reported folder is not one to list, or nothing when it is (its own link test aside).
std::string refusal(CodePage& codePage, const std::u16string& reported) {
    if (reported.empty()) return "the system reports no such folder";
    const auto resolved = ResolveFolder(reported);
    if (!resolved) return "\"" + codePage.toAnsi(reported) + "\" is not a full path of a folder";
    if (resolved->root) return "\"" + codePage.toAnsi(reported) + "\" is a drive root";
    return {};
}

}  // namespace

PlaceFolder FolderOf(Platform& platform, const Place& place) {
    PlaceFolder result{&place, std::nullopt, {}};
    const std::u16string reported = reportedFolder(platform, place.base);
    if (std::string why = refusal(platform.codePage, reported); !why.empty()) {
        result.problem = placeText(place) + ": " + why;
        return result;
    }
    // The folder rule every file category lists by; the known folder itself is no link.
    const auto base = ValueFolder(platform, reported);
    if (!base) {
        result.problem = placeText(place) + ": \"" + platform.codePage.toAnsi(reported) + "\" is a link or junction";
        return result;
    }
    result.folder = place.below.empty() ? base : Subfolder(platform, *base, place.below);
    if (!result.folder) result.problem = placeText(place) + ": a folder on the way is a link or junction";
    return result;
}

std::vector<PlaceFolder> PlaceFoldersOf(Platform& platform, std::string_view code) {
    std::vector<PlaceFolder> folders;
    for (const auto& place : Places()) {
        if (place.code != code || (place.machine && !platform.account.elevated())) continue;
        folders.push_back(FolderOf(platform, place));
    }
    return folders;
}

std::string PlaceProblems(const std::vector<PlaceFolder>& folders) {
    std::string text;
    for (const auto& folder : folders)
        if (!folder.problem.empty()) text += (text.empty() ? "Not looked at: " : "; ") + folder.problem;
    return text.empty() ? text : text + ".";
}

}  // namespace keltora
