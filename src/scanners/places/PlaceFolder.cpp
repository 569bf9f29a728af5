#include "scanners/places/PlaceFolder.h"

#include "platform/FileMask.h"
#include "platform/FolderRule.h"
#include "scan/UserFolder.h"

namespace keltora {

namespace {

std::u16string reportedFolder(Platform& platform, PlaceBase base) {
    const auto known = [&](KnownFolder folder) { return platform.shell.knownFolder(folder, KnownFolderPath::Current); };
    switch (base) {
        case PlaceBase::Temp: return platform.files.temporaryFolder();
        case PlaceBase::LocalAppData: return known(KnownFolder::LocalAppData);
        case PlaceBase::RoamingAppData: return known(KnownFolder::RoamingAppData);
        case PlaceBase::ProgramData: return known(KnownFolder::ProgramData);
    }
    return {};
}

// What the profile rule's message says named a per-user folder.
std::string sourceOf(PlaceBase base) {
    if (base == PlaceBase::Temp) return "the temporary folder (TMP, TEMP)";
    return "the known folder " + std::string(BaseName(base));
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

// The known folder of a place as the rules for its data allow it; a problem when they do not.
std::optional<ListedFolder> baseFolder(ScanContext& context, const Place& place, const std::u16string& reported,
                                       PlaceLook look, std::string& problem) {
    Platform& platform = context.platform;
    const std::string quoted = "\"" + platform.codePage.toAnsi(reported) + "\"";
    if (!place.machine) {
        // A per-user folder: the user can redirect a known folder and set TMP and TEMP, so the
        // profile rule holds, whoever runs the program.
        if (look == PlaceLook::Removal) {
            if (auto why = UserFolderRefusal(context, reported)) {
                problem = quoted + " is passed over: " + *why;
                return std::nullopt;
            }
        } else if (auto folder = UserFolder(context, sourceOf(place.base), reported)) {
            return folder;
        } else {
            const auto why = UserFolderRefusal(context, reported);
            problem = quoted + (why ? " is passed over: " + *why : " is reached through a link or junction");
            return std::nullopt;
        }
    }
    // The machine's folder, or a per-user one the removal has looked at again: the folder rule
    // every file category lists by; the known folder itself is no link.
    auto folder = ValueFolder(platform, reported);
    if (!folder) problem = quoted + " is a link or junction";
    return folder;
}

}  // namespace

PlaceFolder FolderOf(ScanContext& context, const Place& place, PlaceLook look) {
    Platform& platform = context.platform;
    PlaceFolder result{&place, std::nullopt, {}};
    const std::u16string reported = reportedFolder(platform, place.base);
    std::string why = refusal(platform.codePage, reported);
    const auto base = why.empty() ? baseFolder(context, place, reported, look, why) : std::nullopt;
    if (!base) {
        result.problem = placeText(place) + ": " + why;
        return result;
    }
    result.folder = place.below.empty() ? base : Subfolder(platform, *base, place.below);
    if (!result.folder) result.problem = placeText(place) + ": a folder on the way is a link or junction";
    return result;
}

std::vector<PlaceFolder> PlaceFoldersOf(ScanContext& context, std::string_view code, PlaceLook look) {
    std::vector<PlaceFolder> folders;
    for (const auto& place : Places()) {
        if (place.code != code || (place.machine && !context.platform.account.elevated())) continue;
        folders.push_back(FolderOf(context, place, look));
    }
    return folders;
}

std::vector<std::u16string> MachinePlaceFolders(Platform& platform, std::string_view code) {
    std::vector<std::u16string> folders;
    for (const auto& place : Places()) {
        if (place.code != code || !place.machine) continue;
        const auto base = UsableFolder(reportedFolder(platform, place.base));
        if (!base) continue;
        if (const auto folder = place.below.empty() ? base : UsableFolder(*base + u"\\" + std::u16string(place.below)))
            folders.push_back(*folder);
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
