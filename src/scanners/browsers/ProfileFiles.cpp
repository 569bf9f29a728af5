#include "scanners/browsers/ProfileFiles.h"

#include "platform/FolderRule.h"

namespace keltora {
namespace {

// Local State of a browser with many profiles is a few hundred kilobytes; more is no settings file.
constexpr std::uint64_t kSettingsLimit = 16u << 20;

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

}  // namespace

bool IsInsideFolder(std::u16string_view path, std::u16string_view folder) {
    if (path.size() < folder.size()) return false;
    for (std::size_t i = 0; i < folder.size(); ++i)
        if (upper(path[i]) != upper(folder[i])) return false;
    return path.size() == folder.size() || folder.ends_with(u'\\') || path[folder.size()] == u'\\';
}

bool IsPlainFile(Platform& platform, const std::u16string& path) {
    const auto found = platform.files.findWide(path);
    return found.size() == 1 && !found.front().isDirectory() && !found.front().isReparsePoint();
}

std::optional<std::string> ReadSettingsFile(Platform& platform, const std::u16string& path) {
    if (!IsPlainFile(platform, path)) return std::nullopt;
    const auto file = platform.files.openExact(path, false, false);
    if (!file) return std::nullopt;
    const auto size = file->size();
    if (!size || *size > kSettingsLimit) return std::nullopt;
    return file->readAt(0, static_cast<std::size_t>(*size));
}

std::optional<ListedFolder> ExistingFolder(Platform& platform, const ListedFolder& folder,
                                           std::u16string_view relative) {
    return FolderLookup(platform, folder).folder(relative);
}

std::optional<ListedFolder> JudgedProfileFolder(Platform& platform, const UserFolders& user, std::u16string_view text,
                                                std::string& why) {
    const auto path = UsableFolder(text);
    if (!path) {
        why = "not a folder the program may list";
        return std::nullopt;
    }
    for (const auto* base : {&user.localAppData, &user.roamingAppData, &user.profile}) {
        if (!*base || !IsInsideFolder(*path, (*base)->path)) continue;
        std::u16string_view rest = std::u16string_view(*path).substr((*base)->path.size());
        while (rest.starts_with(u'\\')) rest.remove_prefix(1);
        if (rest.empty()) {
            why = "a folder of the user's own, not a profile";
            return std::nullopt;
        }
        if (auto folder = ExistingFolder(platform, **base, rest)) return folder;
        why = "not there, or reached through a link";
        return std::nullopt;
    }
    why = "outside the user's folders";
    return std::nullopt;
}

std::vector<FoundPath> WalkFiles(Platform& platform, const ListedFolder& folder, int depth) {
    std::vector<FoundPath> files;
    const auto shared = std::make_shared<const ListedFolder>(folder);
    for (auto& entry : ListEntries(platform, folder, u"*")) {
        if (entry.isDirectory()) {
            if (depth <= 0) continue;
            auto inner = WalkFiles(platform, EntryFolder(platform, folder, entry), depth - 1);
            files.insert(files.end(), std::make_move_iterator(inner.begin()), std::make_move_iterator(inner.end()));
            continue;
        }
        files.push_back(Found(platform, shared, std::move(entry)));
    }
    return files;
}

std::uint64_t TotalSize(const std::vector<FoundPath>& files) {
    std::uint64_t total = 0;
    for (const auto& file : files) total += file.file.size;
    return total;
}

}  // namespace keltora
