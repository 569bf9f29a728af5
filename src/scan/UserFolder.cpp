#include "scan/UserFolder.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/FolderRule.h"
#include "platform/Helpers.h"

namespace keltora {

namespace {

// What the user is told for each verdict of the profile rule; {profile} stands for the profile folder.
constexpr std::pair<UserFolderVerdict, std::string_view> kReasons[] = {
    {UserFolderVerdict::NoProfile, "Windows does not tell the profile folder of this account"},
    {UserFolderVerdict::OutsideProfile, "it is not inside the profile folder {profile}"},
    {UserFolderVerdict::MachineFolder, "it is a folder of Windows or of the programs"},
};
constexpr std::string_view kLinkOnTheWay =
    "a part of it below the profile folder is a link (a junction or a symbolic link)";

// The profile folder as the folder rule resolves it; nullopt when the system tells none usable.
std::optional<std::u16string> profileOf(Platform& platform) {
    const auto recorded = platform.account.profileFolder();
    return recorded ? UsableFolder(*recorded) : std::nullopt;
}

// The machine's folders, as the program read them from HKEY_LOCAL_MACHINE at start.
std::vector<std::u16string> machineFolders(CodePage& codePage, const Paths& paths) {
    std::vector<std::u16string> folders;
    for (const std::string* folder :
         {&paths.systemRoot, &paths.programFiles, &paths.programFilesX86, &paths.commonFiles, &paths.commonFilesX86})
        if (!folder->empty()) folders.push_back(codePage.toWide(*folder));
    return folders;
}

std::string reason(CodePage& codePage, UserFolderVerdict verdict, const std::optional<std::u16string>& profile) {
    std::string text;
    for (const auto& [which, why] : kReasons)
        if (which == verdict) text = why;
    const auto at = text.find("{profile}");
    if (at != std::string::npos) text.replace(at, 9, profile ? codePage.toAnsi(*profile) : std::string());
    return text;
}

void tell(ScanContext& context, std::string_view source, const std::u16string& folder, const std::string& why) {
    context.host.showNotice("Nothing was listed from " + context.platform.codePage.toAnsi(folder) + ", which " +
                            std::string(source) + " names: " + why +
                            ". A folder that a per-user setting names is used only inside the user's own profile "
                            "folder: any program the user runs can change such a setting.");
}

}  // namespace

std::optional<ListedFolder> UserFolder(ScanContext& context, std::string_view source, const std::u16string& value) {
    const auto folder = UsableFolder(value);
    if (!folder) return std::nullopt;
    Platform& platform = context.platform;
    const auto profile = profileOf(platform);
    const UserFolderVerdict verdict = CheckUserFolder(*folder, profile, machineFolders(context.platform.codePage, context.paths));
    if (verdict != UserFolderVerdict::Allowed) {
        tell(context, source, *folder, reason(context.platform.codePage, verdict, profile));
        return std::nullopt;
    }
    // From the profile folder down, in the value's own spelling, no part may be a link.
    bool exact = true;
    const std::u16string base = folder->substr(0, profile->size());
    std::string ansi = platform.codePage.toAnsi(base, &exact);
    auto listed = Subfolder(platform, ListedFolder{base, std::move(ansi), exact}, folder->substr(base.size() + 1));
    if (!listed) tell(context, source, *folder, std::string(kLinkOnTheWay));
    return listed;
}

std::optional<ListedFolder> UserShellFolder(ScanContext& context, const std::string& name) {
    Platform& platform = context.platform;
    return UserFolder(context, "the Shell Folders value \"" + name + "\"",
                      platform.codePage.toWide(ShellFolder(platform.registry, name)));
}

std::optional<std::string> UserFolderRefusal(ScanContext& context, std::u16string_view folder) {
    const auto resolved = UsableFolder(folder);
    const auto profile = profileOf(context.platform);
    const UserFolderVerdict verdict =
        resolved ? CheckUserFolder(*resolved, profile, machineFolders(context.platform.codePage, context.paths)) : UserFolderVerdict::OutsideProfile;
    if (verdict == UserFolderVerdict::Allowed) return std::nullopt;
    return reason(context.platform.codePage, verdict, profile);
}

// The parts below the profile are taken in the value's own spelling; each is made only in a part
// already found to be no link, and is looked at itself once it stands.
std::optional<std::string> MakeOwnUserFolder(Platform& platform, const Paths& paths, const std::string& folder) {
    CodePage& codePage = platform.codePage;
    const auto resolved = UsableFolder(codePage.toWide(folder));
    const auto profile = profileOf(platform);
    const UserFolderVerdict verdict = resolved ? CheckUserFolder(*resolved, profile, machineFolders(codePage, paths))
                                               : UserFolderVerdict::OutsideProfile;
    if (verdict != UserFolderVerdict::Allowed) return reason(codePage, verdict, profile);
    ListedFolder at{resolved->substr(0, profile->size()), {}, true};
    at.ansi = codePage.toAnsi(at.path, &at.exact);
    const std::u16string below = resolved->substr(profile->size() + 1);
    for (std::size_t start = 0; start < below.size();) {
        const std::size_t end = std::min(below.find(u'\\', start), below.size());
        const std::u16string part = below.substr(start, end - start);
        const std::string path = at.ansi + "\\" + codePage.toAnsi(part);
        if (platform.files.probe(path) == PathPresence::Missing) platform.files.createDirectory(path);
        auto next = Subfolder(platform, at, part);
        if (!next) return std::string(kLinkOnTheWay);
        if (!platform.files.isDirectory(path)) return "it cannot be made";
        at = std::move(*next);
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace keltora
