// Chromium's profiles: the folders Local State names in profile.info_cache, with the names the
// browser shows; where Local State cannot be read, the folders "Default" and "Profile N" there.
#include <nlohmann/json.hpp>

#include "platform/FolderRule.h"
#include "scanners/browsers/ProfileFiles.h"
#include "scanners/browsers/Profiles.h"

namespace keltora {
namespace {

// "Default", "Profile 1", "Profile 27": the folders a Chromium browser makes for its profiles.
bool isProfileFolderName(std::u16string_view name) {
    if (name == u"Default") return true;
    if (!name.starts_with(u"Profile ") || name.size() == 8) return false;
    for (char16_t c : name.substr(8))
        if (c < u'0' || c > u'9') return false;
    return true;
}

void addProfile(FolderLookup& inData, BrowserProfiles& found, const std::u16string& folderName, std::string displayName) {
    const std::string shown = Utf16ToUtf8(folderName);
    // One folder of User Data, by a name the system reads as written: never "..", a path, a stream.
    if (!IsExactEntryName(folderName) || folderName.find(u'\\') != std::u16string::npos) {
        found.skipped.push_back("Local State: the profile \"" + shown + "\" is no folder of User Data");
        return;
    }
    auto folder = inData.folder(folderName);
    if (!folder) {
        found.skipped.push_back("Local State: the profile \"" + shown + "\" is not there, or is a link");
        return;
    }
    found.profiles.push_back(BrowserProfile{std::move(displayName), *folder, *folder});
}

// The folders of profile.info_cache; nullopt when Local State gives no such list.
std::optional<std::vector<std::pair<std::u16string, std::string>>> infoCache(const std::string& text) {
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) return std::nullopt;
    const auto profile = json.find("profile");
    if (profile == json.end() || !profile->is_object()) return std::nullopt;
    const auto cache = profile->find("info_cache");
    if (cache == profile->end() || !cache->is_object()) return std::nullopt;
    std::vector<std::pair<std::u16string, std::string>> entries;
    for (const auto& [key, info] : cache->items()) {
        std::string name = key;
        if (info.is_object()) {
            const auto shown = info.find("name");
            if (shown != info.end() && shown->is_string() && !shown->get<std::string>().empty())
                name = shown->get<std::string>();
        }
        entries.emplace_back(Utf8ToUtf16(key), std::move(name));
    }
    return entries;
}

}  // namespace

void DiscoverChromiumProfiles(Platform& platform, const UserFolders&, BrowserProfiles& found) {
    const auto text = ReadSettingsFile(platform, found.dataFolder->below(u"Local State"));
    const auto listed = text ? infoCache(*text) : std::nullopt;
    // User Data listed once for all its profiles.
    FolderLookup inData(platform, *found.dataFolder);
    if (listed) {
        for (const auto& [folder, name] : *listed) addProfile(inData, found, folder, name);
        return;
    }
    found.skipped.push_back(text ? "Local State cannot be read: the profile folders there are listed instead"
                                 : "No Local State: the profile folders there are listed instead");
    for (const auto& entry : inData.entries()) {
        if (!entry.isDirectory()) continue;
        const std::u16string name = ExactName(entry, platform.codePage);
        if (isProfileFolderName(name)) addProfile(inData, found, name, Utf16ToUtf8(name));
    }
}

}  // namespace keltora
