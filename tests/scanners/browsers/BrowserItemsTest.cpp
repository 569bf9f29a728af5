// What a browser profile lists and what its removal takes, on made-up profiles: caches and the
// last session file by file, history, downloads, cookies per site and form history as rows, the
// sites of the keep list and the bookmarks never; and the faults that leave everything as it is.
#include <gtest/gtest.h>

#include <functional>

#include "scanners/browsers/BrowserMachine.h"

namespace keltora::testing {
namespace {

const std::string kEdgeProfile = kEdgeData + "\\Default";
const std::string kEdgeHistory = kEdgeProfile + "\\History";
const std::string kEdgeCookies = kEdgeProfile + "\\Network\\Cookies";
const std::string kFoxProfile = kFirefoxData + "\\Profiles\\abc.default";
const std::string kFoxCache = kLocal + "\\Mozilla\\Firefox\\Profiles\\abc.default";
const KeepList kKeep({"Keep.Example"});

std::vector<MadeUpRow> joined(std::initializer_list<std::vector<MadeUpRow>> parts) {
    std::vector<MadeUpRow> rows;
    for (const auto& part : parts) rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

void makeEdge(BrowserMachine& m) {
    m.files().addDirectory(kEdgeProfile + "\\Network");
    ASSERT_TRUE(
        MakeDatabase(m.files(), Wide(kEdgeHistory), kChromiumHistorySchema,
                     joined({ChromiumVisit(1, "https://tracker.example/a"), ChromiumVisit(2, "https://keep.example/"),
                             ChromiumVisit(3, "http://user@www.keep.example:8080/x"), ChromiumDownload(1)})));
    ASSERT_TRUE(MakeDatabase(m.files(), Wide(kEdgeCookies), kChromiumCookiesSchema,
                             {ChromiumCookie(".tracker.example", "id"), ChromiumCookie("tracker.example", "id2"),
                              ChromiumCookie("ads.example", "x"), ChromiumCookie("keep.example", "session"),
                              ChromiumCookie(".login.keep.example", "sso")}));
    m.files().addFile(kEdgeProfile + "\\Cache\\Cache_Data\\f_000001", 300);
    m.files().addFile(kEdgeProfile + "\\Code Cache\\js\\index", 20);
    m.files().addFile(kEdgeProfile + "\\GPUCache\\data_0", 4);
    m.files().addFile(kEdgeProfile + "\\Sessions\\Session_1", 10);
    m.files().addFile(kEdgeProfile + "\\Bookmarks", 99);
    // A link inside a cache leads nowhere the removal may go.
    m.files().addFile("C:\\Important\\keep.doc", 7);
    m.files().addLink(kEdgeProfile + "\\Cache\\Cache_Data\\planted", "C:\\Important");
}

struct Item {
    ItemKind kind;
    std::string site;
    std::int64_t rows;
    std::size_t files;
    ItemState state = ItemState::Ready;
    bool operator==(const Item&) const = default;
};

std::vector<Item> items(const std::vector<BrowserItem>& listed) {
    std::vector<Item> out;
    for (const auto& item : listed) out.push_back({item.kind, item.site, item.rows, item.files.size(), item.state});
    return out;
}

std::int64_t count(BrowserMachine& m, const std::string& path, const std::string& sql) {
    auto opened = m.files().openDatabase(Wide(path), DatabaseAccess::ReadOnly);
    if (!opened.database) return -1;
    const auto rows = opened.database->query(sql);
    return rows ? AsInteger(rows->at(0).at(0)).value_or(-1) : -1;
}

std::vector<RemovalOutcome> outcomes(const std::vector<ItemOutcome>& done) {
    std::vector<RemovalOutcome> out;
    for (const auto& outcome : done) out.push_back(outcome.outcome);
    return out;
}

TEST(BrowserItems, ChromiumProfileListsItsItemsWithoutTheKeptSites) {
    BrowserMachine m;
    makeEdge(m);
    const auto listed = ListProfileItems(m.platform(), *FindBrowser("edge"), m.only("edge"), kKeep);
    const std::vector<Item> expected = {
        {ItemKind::Cache, "", 0, 1},
        {ItemKind::CodeCache, "", 0, 1},
        {ItemKind::GpuCache, "", 0, 1},
        {ItemKind::Session, "", 0, 1},
        {ItemKind::History, "", 1, 0},
        {ItemKind::Downloads, "", 1, 0},
        {ItemKind::Cookies, "ads.example", 1, 0},
        {ItemKind::Cookies, "tracker.example", 2, 0},
    };
    EXPECT_EQ(expected, items(listed));
    EXPECT_EQ(300u, listed.front().size);
}

TEST(BrowserItems, ChromiumRemovalTakesTheChosenRowsAndFilesOnly) {
    BrowserMachine m;
    makeEdge(m);
    const Browser& edge = *FindBrowser("edge");
    const auto profiles = m.discover("edge");
    auto chosen = ListProfileItems(m.platform(), edge, profiles.profiles.front(), kKeep);
    // ads.example unchecked; keep.example asked for all the same.
    chosen.erase(chosen.begin() + 6);
    chosen.push_back(BrowserItem{ItemKind::Cookies, "keep.example", 0, 0, {}, ItemState::Ready});
    const auto done =
        RemoveProfileItems(m.context, m.removal, edge, profiles, profiles.profiles.front(), chosen, kKeep);
    using O = RemovalOutcome;
    EXPECT_EQ(
        (std::vector<O>{O::Removed, O::Removed, O::Removed, O::Removed, O::Removed, O::Removed, O::Removed, O::Left}),
        outcomes(done));
    EXPECT_EQ(2, count(m, kEdgeHistory, "SELECT count(*) FROM urls WHERE id IN (2, 3)"));
    for (const char* sql :
         {"SELECT count(*) FROM urls WHERE id = 1", "SELECT count(*) FROM visits WHERE url = 1",
          "SELECT count(*) FROM keyword_search_terms WHERE url_id = 1",
          "SELECT count(*) FROM segments WHERE url_id = 1", "SELECT count(*) FROM segment_usage WHERE segment_id = 1",
          "SELECT count(*) FROM downloads", "SELECT count(*) FROM downloads_url_chains"})
        EXPECT_EQ(0, count(m, kEdgeHistory, sql)) << sql;
    EXPECT_EQ(2, count(m, kEdgeHistory, "SELECT count(*) FROM visits"));
    EXPECT_EQ(0, count(m, kEdgeCookies, "SELECT count(*) FROM cookies WHERE host_key LIKE '%tracker.example'"));
    EXPECT_EQ(3, count(m, kEdgeCookies, "SELECT count(*) FROM cookies"));
    for (const char* gone :
         {"\\Cache\\Cache_Data\\f_000001", "\\Code Cache\\js\\index", "\\GPUCache\\data_0", "\\Sessions\\Session_1"})
        EXPECT_FALSE(m.files().exists(kEdgeProfile + gone)) << gone;
    for (const char* stays : {"\\Cache\\Cache_Data", "\\Bookmarks", "\\History", "\\Network\\Cookies"})
        EXPECT_TRUE(m.files().exists(kEdgeProfile + stays)) << stays;
    EXPECT_TRUE(m.files().exists("C:\\Important\\keep.doc"));
    EXPECT_FALSE(m.files().exists(kEdgeHistory + "-journal"));
}

void makeFirefox(BrowserMachine& m) {
    m.files().addDirectory(kFoxProfile);
    m.files().addTextFile(kFirefoxData + "\\profiles.ini",
                          "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/abc.default\n");
    ASSERT_TRUE(
        MakeDatabase(m.files(), Wide(kFoxProfile + "\\places.sqlite"), kFirefoxPlacesSchema,
                     joined({FirefoxVisit(1, "https://tracker.example/"),
                             FirefoxVisit(2, "https://news.example/", true),
                             FirefoxVisit(3, "https://keep.example/"),
                             {{"INSERT INTO moz_places(id, url) VALUES (4, 'https://bookmarked.example/')"},
                              {"INSERT INTO moz_bookmarks(type, fk, title) VALUES (1, 4, 'Never visited')"}}})));
    ASSERT_TRUE(MakeDatabase(m.files(), Wide(kFoxProfile + "\\cookies.sqlite"), kFirefoxCookiesSchema,
                             {FirefoxCookie(".tracker.example", "id"), FirefoxCookie("keep.example", "s")}));
    ASSERT_TRUE(MakeDatabase(m.files(), Wide(kFoxProfile + "\\formhistory.sqlite"), kFirefoxFormsSchema,
                             {{"INSERT INTO moz_formhistory(fieldname, value) VALUES ('q', 'secret search')"}}));
    m.files().addFile(kFoxCache + "\\cache2\\entries\\0A1B", 50);
    m.files().addFile(kFoxProfile + "\\sessionstore.jsonlz4", 5);
    m.files().addFile(kFoxProfile + "\\sessionstore-backups\\recovery.jsonlz4", 6);
}

TEST(BrowserItems, FirefoxRemovalKeepsBookmarksAndKeptSites) {
    BrowserMachine m;
    makeFirefox(m);
    const Browser& firefox = *FindBrowser("firefox");
    const auto profiles = m.discover("firefox");
    const auto chosen = ListProfileItems(m.platform(), firefox, profiles.profiles.front(), kKeep);
    const std::vector<Item> expected = {{ItemKind::Cache, "", 0, 1},
                                        {ItemKind::Session, "", 0, 2},
                                        {ItemKind::History, "", 2, 0},
                                        {ItemKind::Cookies, "tracker.example", 1, 0},
                                        {ItemKind::FormHistory, "", 1, 0}};
    ASSERT_EQ(expected, items(chosen));
    const auto done =
        RemoveProfileItems(m.context, m.removal, firefox, profiles, profiles.profiles.front(), chosen, kKeep);
    EXPECT_EQ(std::vector<RemovalOutcome>(5, RemovalOutcome::Removed), outcomes(done));
    const std::string places = kFoxProfile + "\\places.sqlite";
    EXPECT_EQ(1, count(m, places, "SELECT count(*) FROM moz_historyvisits WHERE place_id = 3"));
    EXPECT_EQ(1, count(m, places, "SELECT count(*) FROM moz_historyvisits"));
    EXPECT_EQ(3, count(m, places, "SELECT count(*) FROM moz_places WHERE id IN (2, 3, 4)"));
    EXPECT_EQ(0, count(m, places, "SELECT count(*) FROM moz_places WHERE id = 1"));
    EXPECT_EQ(2, count(m, places, "SELECT count(*) FROM moz_bookmarks"));
    EXPECT_EQ(
        1, count(m, kFoxProfile + "\\cookies.sqlite", "SELECT count(*) FROM moz_cookies WHERE host = 'keep.example'"));
    EXPECT_EQ(1, count(m, kFoxProfile + "\\cookies.sqlite", "SELECT count(*) FROM moz_cookies"));
    EXPECT_EQ(0, count(m, kFoxProfile + "\\formhistory.sqlite", "SELECT count(*) FROM moz_formhistory"));
    EXPECT_FALSE(m.files().exists(kFoxCache + "\\cache2\\entries\\0A1B"));
    EXPECT_FALSE(m.files().exists(kFoxProfile + "\\sessionstore.jsonlz4"));
    EXPECT_FALSE(m.files().exists(kFoxProfile + "\\sessionstore-backups\\recovery.jsonlz4"));
    // The log of a database in write-ahead mode is emptied into it, never deleted apart from it.
    EXPECT_EQ(0u, m.files().readFile(places + "-wal").value_or("").size());
}

// Every fault leaves the profile byte for byte as it was and says why.
TEST(BrowserItems, FaultsLeaveEverythingAsItIs) {
    struct Row {
        const char* name;
        std::function<void(BrowserMachine&)> fault;
        ItemState listedAs;  // of the history items
        const char* why;     // of every chosen item; empty: a dry run, which would remove them
        bool dryRun = false;
    };
    const auto historyStatement = [](const char* sql) {
        return [sql](BrowserMachine& m) {
            auto opened = m.files().openDatabase(Wide(kEdgeHistory), DatabaseAccess::ReadWrite);
            ASSERT_TRUE(opened.database && opened.database->execute(sql));
        };
    };
    const Row rows[] = {
        {"the browser runs", [](BrowserMachine& m) { m.machine.shell.programs->push_back(u"msedge.exe"); },
         ItemState::Ready, "Close Microsoft Edge to clean"},
        {"its lock is held",
         [](BrowserMachine& m) {
             m.files().addFile(kEdgeData + "\\lockfile", 0);
             m.files().lock(kEdgeData + "\\lockfile");
         },
         ItemState::Ready, "Close Microsoft Edge to clean"},
        {"history is no database", [](BrowserMachine& m) { m.files().writeFile(kEdgeHistory, std::string(8192, 'x')); },
         ItemState::CannotBeRead, "cannot be read"},
        {"history held by another program", [](BrowserMachine& m) { m.files().lock(kEdgeHistory); },
         ItemState::CannotBeRead, "cannot be read"},
        {"a version not known", historyStatement("UPDATE meta SET value = 999 WHERE key = 'version'"),
         ItemState::UnknownVersion, "unknown version, left as it is"},
        {"a column missing", historyStatement("ALTER TABLE urls DROP COLUMN title"), ItemState::UnknownVersion,
         "unknown version, left as it is"},
        {"a view in a table's place",
         [historyStatement](BrowserMachine& m) {
             historyStatement("DROP TABLE segments")(m);
             historyStatement("CREATE VIEW segments AS SELECT 1 AS id, 1 AS url_id")(m);
         },
         ItemState::UnknownVersion, "unknown version, left as it is"},
        {"a dry run", [](BrowserMachine& m) { m.context.dryRun = true; }, ItemState::Ready, "", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BrowserMachine m;
        makeEdge(m);
        const Browser& edge = *FindBrowser("edge");
        const auto profiles = m.discover("edge");
        const auto healthy = ListProfileItems(m.platform(), edge, profiles.profiles.front(), kKeep);
        row.fault(m);
        const auto history = m.files().readFile(kEdgeHistory);
        const auto listed = ListProfileItems(m.platform(), edge, profiles.profiles.front(), kKeep);
        for (const auto& item : listed)
            if (item.kind == ItemKind::History || item.kind == ItemKind::Downloads) {
                EXPECT_EQ(row.listedAs, item.state);
            }
        std::vector<BrowserItem> chosen;
        for (const auto& item : healthy)
            if (item.kind == ItemKind::History || (row.dryRun || row.why == CloseToCleanText(edge)))
                chosen.push_back(item);
        const auto done =
            RemoveProfileItems(m.context, m.removal, edge, profiles, profiles.profiles.front(), chosen, kKeep);
        for (const auto& outcome : done) {
            EXPECT_EQ(row.dryRun ? RemovalOutcome::Removed : RemovalOutcome::Left, outcome.outcome);
            EXPECT_EQ(row.why, outcome.why);
        }
        if (row.dryRun) {
            EXPECT_EQ(5, done[4].rows);  // the tracker's url, visit, search term, segment and its use
        }
        EXPECT_EQ(history, m.files().readFile(kEdgeHistory));
        EXPECT_TRUE(m.files().exists(kEdgeProfile + "\\Cache\\Cache_Data\\f_000001"));
        EXPECT_EQ(3,
                  count(m, kEdgeCookies,
                        "SELECT count(*) FROM cookies WHERE host_key LIKE '%.example' AND host_key NOT LIKE '%keep%'"));
    }
}

}  // namespace
}  // namespace keltora::testing
