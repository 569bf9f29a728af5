#pragma once
// Whether a browser runs: one of its programs runs in the user's session, or a profile lock of
// it is held. A browser that runs, or of which the system will not tell, is left as it is.
#include <optional>
#include <string>
#include <vector>

#include "scanners/browsers/Profiles.h"

namespace keltora {

enum class BrowserState {
    Closed,
    ProgramRuns,  // its program runs in the session (or the system does not tell which run)
    LockHeld,     // its lock file is held by another process
};

// Chromium's lock is the browser's (in User Data), Firefox's the profile's (in its folder).
BrowserState BrowserRunning(Platform& platform, const Browser& browser, const BrowserProfiles& profiles,
                            const BrowserProfile& profile);
// The same, given the programs of the session as the system told them a moment ago (a scan of
// many profiles asks once).
BrowserState BrowserRunning(Platform& platform, const Browser& browser, const BrowserProfiles& profiles,
                            const BrowserProfile& profile, const std::optional<std::vector<std::u16string>>& programs);

// Whether the lock file at a path is held: there, and not to be had for writing by this process.
bool IsLockHeld(Platform& platform, const std::u16string& path);

}  // namespace keltora
