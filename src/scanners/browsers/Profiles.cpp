#include "scanners/browsers/Profiles.h"

#include "scanners/browsers/ProfileFiles.h"

namespace keltora {

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
