#pragma once
// The browsers the privacy side cleans, as one table read by everything that deals with them:
// where each keeps its profiles, which programs are it, which file says a profile is in use.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "scan/FileListing.h"

namespace keltora {

enum class BrowserFamily { Chromium, Firefox };

// The known folders of the user (from the system, never from a value the user's programs can
// set), below which the browsers keep their data.
enum class UserFolder { LocalAppData, RoamingAppData };

struct Browser {
    std::string_view code;  // "edge": the category code
    std::string_view name;  // "Microsoft Edge": the page's and the messages' name
    BrowserFamily family;
    UserFolder dataRoot;          // the known folder its data lies below
    std::u16string_view data;     // below it: "Microsoft\Edge\User Data", "Mozilla\Firefox"
    std::u16string_view program;  // the program file of every one of its processes: "msedge.exe"
    // The file a running browser holds: Chromium's in its data folder, Firefox's in each profile.
    std::u16string_view lockFile;
    // Firefox: the folder below Local AppData whose subfolders mirror the profiles', holding
    // their caches; empty where the caches lie in the profile itself.
    std::u16string_view cacheRoot;
};

std::span<const Browser> Browsers();
const Browser* FindBrowser(std::string_view code);

// The user's own folders as the system reports them: the known folders the browsers' data lies
// below, and the profile folder that holds them (every profile path must lie inside one of them).
struct UserFolders {
    std::optional<ListedFolder> localAppData;
    std::optional<ListedFolder> roamingAppData;
    std::optional<ListedFolder> profile;  // "C:\Users\pat"; none: only the two above count
    const std::optional<ListedFolder>& of(UserFolder folder) const {
        return folder == UserFolder::LocalAppData ? localAppData : roamingAppData;
    }
};

// "Close Microsoft Edge to clean": what the removal column says of a running browser's findings.
std::string CloseToCleanText(const Browser& browser);

}  // namespace keltora
