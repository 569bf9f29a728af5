// What a browser profile lists and what its removal takes, on made-up profiles: caches and the
// last session file by file, history, downloads, cookies per site and form history as rows, the
// sites of the keep list and the bookmarks never; and the faults that leave everything as it is.
#include <gtest/gtest.h>

#include <functional>

#include "scanners/browsers/BrowserMachine.h"

namespace keltora::testing {
namespace {

const KeepList kKeep({"Keep.Example"});

void makeEdge(BrowserMachine& m) { MakeEdgeProfile(m.files()); }
void makeFirefox(BrowserMachine& m) { MakeFirefoxProfile(m.files()); }

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
    return CountRows(m.files(), path, sql);
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

// Links where a profile keeps its items (a folder, a database) lead to what no item may be.
TEST(BrowserItems, NoItemIsReachedThroughALinkInTheProfile) {
    BrowserMachine m;
    const std::string elsewhere = "C:\\Elsewhere";
    m.files().addDirectory(kEdgeProfile);
    m.files().addDirectory(elsewhere + "\\Network");
    ASSERT_TRUE(MakeDatabase(m.files(), Wide(elsewhere + "\\History"), kChromiumHistorySchema,
                             ChromiumVisit(1, "https://tracker.example/a")));
    ASSERT_TRUE(MakeDatabase(m.files(), Wide(elsewhere + "\\Network\\Cookies"), kChromiumCookiesSchema,
                             {ChromiumCookie("ads.example", "x")}));
    m.files().addFile(elsewhere + "\\Sessions\\Session_1", 10);
    for (const char* name : {"\\History", "\\Network", "\\Sessions"})
        m.files().addLink(kEdgeProfile + name, elsewhere + name);
    EXPECT_EQ(std::vector<Item>{}, items(ListProfileItems(m.platform(), *FindBrowser("edge"), m.only("edge"), kKeep)));
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
