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

inline const std::string kEdgeProfile = kEdgeData + "\\Default";
inline const std::string kEdgeHistory = kEdgeProfile + "\\History";
inline const std::string kEdgeCookies = kEdgeProfile + "\\Network\\Cookies";
inline const std::string kFoxProfile = kFirefoxData + "\\Profiles\\abc.default";
inline const std::string kFoxCache = kLocal + "\\Mozilla\\Firefox\\Profiles\\abc.default";
inline std::vector<MadeUpRow> Joined(std::initializer_list<std::vector<MadeUpRow>> parts) {
    std::vector<MadeUpRow> rows;
    for (const auto& part : parts) rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

// A profile of Edge (Default) with its history, downloads, cookies of three sites, caches, last
// session and bookmarks, and a link in its cache to a folder outside.
inline void MakeEdgeProfile(MemoryFileSystem& files) {
    files.addDirectory(kEdgeProfile + "\\Network");
    ASSERT_TRUE(
        MakeDatabase(files, Wide(kEdgeHistory), kChromiumHistorySchema,
                     Joined({ChromiumVisit(1, "https://tracker.example/a"), ChromiumVisit(2, "https://keep.example/"),
                             ChromiumVisit(3, "http://user@www.keep.example:8080/x"), ChromiumDownload(1)})));
    ASSERT_TRUE(MakeDatabase(files, Wide(kEdgeCookies), kChromiumCookiesSchema,
                             {ChromiumCookie(".tracker.example", "id"), ChromiumCookie("tracker.example", "id2"),
                              ChromiumCookie("ads.example", "x"), ChromiumCookie("keep.example", "session"),
                              ChromiumCookie(".login.keep.example", "sso")}));
    files.addFile(kEdgeProfile + "\\Cache\\Cache_Data\\f_000001", 300);
    files.addFile(kEdgeProfile + "\\Code Cache\\js\\index", 20);
    files.addFile(kEdgeProfile + "\\GPUCache\\data_0", 4);
    files.addFile(kEdgeProfile + "\\Sessions\\Session_1", 10);
    files.addFile(kEdgeProfile + "\\Bookmarks", 99);
    // A link inside a cache leads nowhere the removal may go.
    files.addFile("C:\\Important\\keep.doc", 7);
    files.addLink(kEdgeProfile + "\\Cache\\Cache_Data\\planted", "C:\\Important");
}

// A profile of Firefox (abc.default) listed in profiles.ini, with its history and bookmarks,
// cookies, form history, cache below Local AppData and last session.
inline void MakeFirefoxProfile(MemoryFileSystem& files) {
    files.addDirectory(kFoxProfile);
    files.addTextFile(kFirefoxData + "\\profiles.ini",
                      "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/abc.default\n");
    ASSERT_TRUE(
        MakeDatabase(files, Wide(kFoxProfile + "\\places.sqlite"), kFirefoxPlacesSchema,
                     Joined({FirefoxVisit(1, "https://tracker.example/"),
                             FirefoxVisit(2, "https://news.example/", true),
                             FirefoxVisit(3, "https://keep.example/"),
                             {{"INSERT INTO moz_places(id, url) VALUES (4, 'https://bookmarked.example/')"},
                              {"INSERT INTO moz_bookmarks(type, fk, title) VALUES (1, 4, 'Never visited')"}}})));
    ASSERT_TRUE(MakeDatabase(files, Wide(kFoxProfile + "\\cookies.sqlite"), kFirefoxCookiesSchema,
                             {FirefoxCookie(".tracker.example", "id"), FirefoxCookie("keep.example", "s")}));
    ASSERT_TRUE(MakeDatabase(files, Wide(kFoxProfile + "\\formhistory.sqlite"), kFirefoxFormsSchema,
                             {{"INSERT INTO moz_formhistory(fieldname, value) VALUES ('q', 'secret search')"}}));
    files.addFile(kFoxCache + "\\cache2\\entries\\0A1B", 50);
    files.addFile(kFoxProfile + "\\sessionstore.jsonlz4", 5);
    files.addFile(kFoxProfile + "\\sessionstore-backups\\recovery.jsonlz4", 6);
}

// The one number a query gives of a database; -1 when it cannot be read.
inline std::int64_t CountRows(MemoryFileSystem& files, const std::string& path, const std::string& sql) {
    auto opened = files.openDatabase(Wide(path), DatabaseAccess::ReadOnly);
    if (!opened.database) return -1;
    const auto rows = opened.database->query(sql);
    return rows ? AsInteger(rows->at(0).at(0)).value_or(-1) : -1;
}

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
    keltora::Paths paths{};
    RemovalTally tally{};
    ScanContext context{platform(), host, pacer, progress, lastCount, paths, tally};
    FileRemoval removal{context};
};

}  // namespace keltora::testing
