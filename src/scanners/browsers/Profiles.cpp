#include "scanners/browsers/Profiles.h"

#include <tuple>

#include "scanners/browsers/ProfileFiles.h"

namespace keltora {

namespace {

// The known folders themselves, as places with nothing below them.
constexpr Place kLocalAppData{"", PlaceBase::LocalAppData, u"", u"", false, 0, "", u"", false, false, "", "", ""};
constexpr Place kRoamingAppData{"", PlaceBase::RoamingAppData, u"", u"", false, 0, "", u"", false, false, "", "", ""};

}  // namespace

UserFolders UserFoldersOf(ScanContext& context, const Browser& browser, PlaceLook look,
                          std::vector<std::string>& problems) {
    UserFolders user;
    const bool local = browser.dataRoot == UserFolder::LocalAppData || !browser.cacheRoot.empty();
    const bool roaming = browser.dataRoot == UserFolder::RoamingAppData;
    for (auto [needed, place, slot] : {std::tuple{local, &kLocalAppData, &user.localAppData},
                                       std::tuple{roaming, &kRoamingAppData, &user.roamingAppData}}) {
        if (!needed) continue;
        PlaceFolder found = FolderOf(context, *place, look);
        if (!found.problem.empty()) problems.push_back(std::move(found.problem));
        *slot = std::move(found.folder);
    }
    if (const auto recorded = context.platform.account.profileFolder())
        user.profile = ValueFolder(context.platform, *recorded);
    return user;
}

BrowserProfiles DiscoverProfiles(Platform& platform, const Browser& browser, const UserFolders& user) {
    BrowserProfiles found;
    const auto& root = user.of(browser.dataRoot);
    if (!root) return found;
    found.dataFolder = ExistingFolder(platform, *root, browser.data);
    if (!found.dataFolder) return found;
    if (browser.family == BrowserFamily::Chromium)
        DiscoverChromiumProfiles(platform, user, found);
    else
        DiscoverFirefoxProfiles(platform, browser, user, found);
    return found;
}

}  // namespace keltora
