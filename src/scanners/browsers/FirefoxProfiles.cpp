// Firefox's profiles: the [Profile...] sections of profiles.ini in its Roaming folder, each with
// its Name and its Path, relative to that folder (IsRelative=1, with '/' as Firefox writes it)
// or absolute. A relative profile keeps its cache in the same path below Local AppData's
// Mozilla\Firefox; an absolute one keeps it in itself.
#include <map>

#include "scanners/browsers/ProfileFiles.h"
#include "scanners/browsers/Profiles.h"

namespace keltora {
namespace {

struct IniSection {
    std::string name;
    std::map<std::string, std::string> values;
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

// The sections of an INI text in their order; lines outside a section, comments and lines
// without '=' are passed over, and a truncated last line counts as far as it goes.
std::vector<IniSection> readIni(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<IniSection> sections;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.starts_with('[') && line.ends_with(']')) {
            sections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        const auto equals = line.find('=');
        if (sections.empty() || line.starts_with(';') || equals == std::string_view::npos) continue;
        sections.back().values.emplace(std::string(trimmed(line.substr(0, equals))),
                                       std::string(trimmed(line.substr(equals + 1))));
    }
    return sections;
}

std::string valueOf(const IniSection& section, const std::string& key) {
    const auto found = section.values.find(key);
    return found == section.values.end() ? std::string() : found->second;
}

std::u16string backslashed(std::string_view utf8) {
    std::u16string path = Utf8ToUtf16(std::string(utf8));
    for (auto& c : path)
        if (c == u'/') c = u'\\';
    return path;
}

void addProfile(Platform& platform, const Browser& browser, const UserFolders& user, const IniSection& section,
                BrowserProfiles& found) {
    const std::string path = valueOf(section, "Path");
    std::string name = valueOf(section, "Name");
    if (name.empty()) name = section.name;
    if (path.empty()) {
        found.skipped.push_back("profiles.ini: the profile \"" + name + "\" names no folder");
        return;
    }
    const bool relative = valueOf(section, "IsRelative") != "0";
    const std::u16string text = relative ? found.dataFolder->below(backslashed(path)) : backslashed(path);
    std::string why;
    auto folder = JudgedProfileFolder(platform, user, text, why);
    if (!folder) {
        found.skipped.push_back("profiles.ini: the profile \"" + name + "\" (" + path + ") is " + why);
        return;
    }
    for (const auto& listed : found.profiles) {
        if (IsInsideFolder(listed.folder.path, folder->path) && IsInsideFolder(folder->path, listed.folder.path)) {
            found.skipped.push_back("profiles.ini: the profile \"" + name + "\" names a folder listed already");
            return;
        }
    }
    // The cache mirrors the profile's place below the Firefox folder; where the profile is
    // elsewhere (an absolute path, or a relative one that leaves the Firefox folder), in itself.
    std::optional<ListedFolder> cache = folder;
    if (relative && IsInsideFolder(folder->path, found.dataFolder->path) && user.localAppData) {
        std::u16string_view below = std::u16string_view(folder->path).substr(found.dataFolder->path.size() + 1);
        const auto cacheRoot = ExistingFolder(platform, *user.localAppData, browser.cacheRoot);
        cache = cacheRoot ? ExistingFolder(platform, *cacheRoot, below) : std::nullopt;
    }
    found.profiles.push_back(BrowserProfile{std::move(name), *folder, std::move(cache)});
}

}  // namespace

void DiscoverFirefoxProfiles(Platform& platform, const Browser& browser, const UserFolders& user,
                             BrowserProfiles& found) {
    const auto text = ReadSettingsFile(platform, found.dataFolder->below(u"profiles.ini"));
    if (!text) {
        found.skipped.push_back("profiles.ini cannot be read: no profile is listed");
        return;
    }
    for (const auto& section : readIni(*text))
        if (section.name.starts_with("Profile")) addProfile(platform, browser, user, section, found);
}

}  // namespace keltora
