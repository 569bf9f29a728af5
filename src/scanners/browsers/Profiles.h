#pragma once
// The profiles of a browser, as the browser itself lists them: Chromium's Local State
// (profile.info_cache), Firefox's profiles.ini. What such a file names is judged like any
// folder a category lists; what cannot be listed safely is skipped and said.
#include <string>
#include <vector>

#include "scanners/browsers/BrowserTable.h"
#include "scanners/places/PlaceFolder.h"

namespace keltora {

struct BrowserProfile {
    std::string displayName;  // UTF-8, as the browser shows it: "Person 1", "default-release"
    ListedFolder folder;      // the profile's own folder
    // Where its caches are: the same folder for Chromium, below Local AppData for Firefox; none
    // when that folder is not there.
    std::optional<ListedFolder> cacheFolder;
};

struct BrowserProfiles {
    // The folder the browser's data lies in ("...\User Data", "...\Mozilla\Firefox"); none when
    // it is not there, and then there are no profiles.
    std::optional<ListedFolder> dataFolder;
    std::vector<BrowserProfile> profiles;
    // What was not listed and why, one text each, for the user.
    std::vector<std::string> skipped;
};

BrowserProfiles DiscoverProfiles(Platform& platform, const Browser& browser, const UserFolders& user);

// The user's folders a browser's data lies below (its data root, and Local AppData for a cache
// kept apart), each as the system reports it now and as the places take a known folder (the
// folder rule, the profile rule, no link); and the profile folder Windows records for the
// account. A known folder that cannot be used is left out and said in problems.
UserFolders UserFoldersOf(ScanContext& context, const Browser& browser, PlaceLook look,
                          std::vector<std::string>& problems);

// The two readers, given the browser's data folder.
void DiscoverChromiumProfiles(Platform& platform, const UserFolders& user, BrowserProfiles& found);
void DiscoverFirefoxProfiles(Platform& platform, const Browser& browser, const UserFolders& user,
                             BrowserProfiles& found);

}  // namespace keltora
