#pragma once
// A memory machine with a user's folders, and the narrow context a browser removal runs in.
#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/memory/MemoryPlatform.h"
#include "scan/FileRemoval.h"
#include "scan/Paths.h"
#include "scanners/browsers/BrowserItems.h"
#include "scanners/browsers/RunningTest.h"
#include "support/MadeUpBrowserData.h"
#include "support/World.h"

namespace keltora::testing {

inline const std::string kLocal = "C:\\Users\\pat\\AppData\\Local";
inline const std::string kRoaming = "C:\\Users\\pat\\AppData\\Roaming";
inline const std::string kEdgeData = kLocal + "\\Microsoft\\Edge\\User Data";
inline const std::string kFirefoxData = kRoaming + "\\Mozilla\\Firefox";

inline std::u16string Wide(const std::string& text) { return Utf8ToUtf16(text); }

class BrowserMachine {
public:
    BrowserMachine() {
        files().addDirectory(kLocal);
        files().addDirectory(kRoaming);
        user.localAppData = *ValueFolder(platform(), kLocal);
        user.roamingAppData = *ValueFolder(platform(), kRoaming);
        user.profile = *ValueFolder(platform(), std::string("C:\\Users\\pat"));
    }
    Platform& platform() { return machine.platform(); }
    MemoryFileSystem& files() { return machine.files; }

    BrowserProfiles discover(std::string_view code) { return DiscoverProfiles(platform(), *FindBrowser(code), user); }

    // The one profile of a browser the test made.
    BrowserProfile only(std::string_view code) {
        auto found = discover(code);
        EXPECT_EQ(1u, found.profiles.size());
        return found.profiles.empty() ? BrowserProfile{} : found.profiles.front();
    }

    MemoryPlatform machine;
    UserFolders user;
    RecordingHost host;
    Pacer pacer{machine.clock, 0.0};
    ProgressBar progress{"PB"};
    int lastCount = 0;
    Paths paths{};
    RemovalTally tally{};
    ScanContext context{platform(), host, pacer, progress, lastCount, paths, tally};
    FileRemoval removal{context};
};

}  // namespace keltora::testing
