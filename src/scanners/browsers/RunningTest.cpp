#include "scanners/browsers/RunningTest.h"

#include "scanners/browsers/ProfileFiles.h"

namespace keltora {
namespace {

bool sameProgram(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    return IsInsideFolder(a, b);  // equal length: the same name, compared without case
}

}  // namespace

bool IsLockHeld(Platform& platform, const std::u16string& path) {
    const auto found = platform.files.findWide(path);
    if (found.empty()) return false;
    // A lock file the browser left behind when it ended is not held; one that cannot even be
    // opened, or is no plain file, counts as held.
    if (found.size() != 1 || found.front().isDirectory() || found.front().isReparsePoint()) return true;
    return platform.files.heldElsewhere(path);
}

BrowserState BrowserRunning(Platform& platform, const Browser& browser, const BrowserProfiles& profiles,
                            const BrowserProfile& profile) {
    return BrowserRunning(platform, browser, profiles, profile, platform.shell.sessionPrograms());
}

BrowserState BrowserRunning(Platform& platform, const Browser& browser, const BrowserProfiles& profiles,
                            const BrowserProfile& profile, const std::optional<std::vector<std::u16string>>& programs) {
    if (!programs) return BrowserState::ProgramRuns;
    for (const auto& program : *programs)
        if (sameProgram(program, browser.program)) return BrowserState::ProgramRuns;
    const ListedFolder& lockFolder =
        browser.family == BrowserFamily::Chromium && profiles.dataFolder ? *profiles.dataFolder : profile.folder;
    return IsLockHeld(platform, lockFolder.below(browser.lockFile)) ? BrowserState::LockHeld : BrowserState::Closed;
}

}  // namespace keltora
