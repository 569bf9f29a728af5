#include "scanners/browsers/RowItems.h"

#include <array>
#include <map>

namespace keltora {
namespace {

// Which items each database holds.
struct DatabaseItems {
    BrowserFamily family;
    BrowserDatabase database;
    std::array<ItemKind, 2> kinds;
    std::size_t count;
};
constexpr std::array kDatabases{
    DatabaseItems{
        BrowserFamily::Chromium, BrowserDatabase::ChromiumHistory, {ItemKind::History, ItemKind::Downloads}, 2},
    DatabaseItems{BrowserFamily::Chromium, BrowserDatabase::ChromiumCookies, {ItemKind::Cookies, {}}, 1},
    DatabaseItems{BrowserFamily::Firefox, BrowserDatabase::FirefoxPlaces, {ItemKind::History, {}}, 1},
    DatabaseItems{BrowserFamily::Firefox, BrowserDatabase::FirefoxCookies, {ItemKind::Cookies, {}}, 1},
    DatabaseItems{BrowserFamily::Firefox, BrowserDatabase::FirefoxForms, {ItemKind::FormHistory, {}}, 1},
};

// The statements of each item: DELETE FROM table [WHERE where], temp.kept holding the addresses
// of the sites on the keep list; for the items of sites, DELETE FROM table WHERE site IN (the
// chosen sites), site the expression that gives a row's site. Each condition reads the rows as
// they were before the removal, so a dry run counts exactly what would go.
struct DeleteStep {
    BrowserDatabase database;
    ItemKind kind;
    std::string_view table;
    std::string_view where;
    std::string_view site = {};
};
constexpr std::array kSteps{
    DeleteStep{BrowserDatabase::ChromiumHistory, ItemKind::History, "visits", "url NOT IN (SELECT id FROM temp.kept)"},
    DeleteStep{BrowserDatabase::ChromiumHistory, ItemKind::History, "keyword_search_terms",
               "url_id NOT IN (SELECT id FROM temp.kept)"},
    DeleteStep{BrowserDatabase::ChromiumHistory, ItemKind::History, "segment_usage",
               "segment_id IN (SELECT id FROM segments WHERE url_id NOT IN (SELECT id FROM temp.kept))"},
    DeleteStep{BrowserDatabase::ChromiumHistory, ItemKind::History, "segments",
               "url_id NOT IN (SELECT id FROM temp.kept)"},
    DeleteStep{BrowserDatabase::ChromiumHistory, ItemKind::History, "urls", "id NOT IN (SELECT id FROM temp.kept)"},
    DeleteStep{BrowserDatabase::ChromiumHistory, ItemKind::Downloads, "downloads_url_chains", ""},
    DeleteStep{BrowserDatabase::ChromiumHistory, ItemKind::Downloads, "downloads", ""},
    DeleteStep{BrowserDatabase::ChromiumCookies, ItemKind::Cookies, "cookies", "", "lower(trim(host_key, '.'))"},
    DeleteStep{BrowserDatabase::FirefoxPlaces, ItemKind::History, "moz_historyvisits",
               "place_id NOT IN (SELECT id FROM temp.kept)"},
    // Bookmarks stay whole: a place a bookmark or a remaining visit refers to stays.
    DeleteStep{BrowserDatabase::FirefoxPlaces, ItemKind::History, "moz_places",
               "id NOT IN (SELECT id FROM temp.kept) AND id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL) "
               "AND id NOT IN (SELECT place_id FROM moz_historyvisits WHERE place_id IN (SELECT id FROM temp.kept))"},
    DeleteStep{BrowserDatabase::FirefoxCookies, ItemKind::Cookies, "moz_cookies", "", "lower(trim(host, '.'))"},
    DeleteStep{BrowserDatabase::FirefoxForms, ItemKind::FormHistory, "moz_formhistory", ""},
};

// What the scan reads of each item: rows of (address, bytes) for a history, whose addresses are
// judged against the keep list one by one; rows of (host, count, bytes) for cookies, one per
// host; one row of (count, bytes) for the others, and for a history while nothing is kept.
struct Reader {
    BrowserDatabase database;
    ItemKind kind;
    std::string_view sql;
    std::string_view whole;  // a history's (count, bytes) while the keep list is empty
};
constexpr std::array kReaders{
    Reader{BrowserDatabase::ChromiumHistory, ItemKind::History,
           "SELECT url, length(url) + ifnull(length(title), 0) FROM urls",
           "SELECT count(*), total(length(url) + ifnull(length(title), 0)) FROM urls"},
    Reader{BrowserDatabase::ChromiumHistory, ItemKind::Downloads,
           "SELECT count(*), total(ifnull(length(target_path), 0)) FROM downloads", ""},
    Reader{BrowserDatabase::ChromiumCookies, ItemKind::Cookies,
           "SELECT host_key, count(*), total(length(name) + ifnull(length(value), 0) + "
           "ifnull(length(encrypted_value), 0)) FROM cookies GROUP BY host_key",
           ""},
    Reader{BrowserDatabase::FirefoxPlaces, ItemKind::History,
           "SELECT url, length(url) + ifnull(length(title), 0) FROM moz_places WHERE id IN (SELECT place_id FROM "
           "moz_historyvisits)",
           "SELECT count(*), total(length(url) + ifnull(length(title), 0)) FROM moz_places WHERE id IN (SELECT "
           "place_id FROM moz_historyvisits)"},
    Reader{BrowserDatabase::FirefoxCookies, ItemKind::Cookies,
           "SELECT host, count(*), total(length(name) + ifnull(length(value), 0)) FROM moz_cookies GROUP BY host", ""},
    Reader{BrowserDatabase::FirefoxForms, ItemKind::FormHistory,
           "SELECT count(*), total(length(fieldname) + ifnull(length(value), 0)) FROM moz_formhistory", ""},
};

// Where the addresses of a database's history are, to keep the sites of the keep list.
struct KeptSource {
    BrowserDatabase database;
    std::string_view sql;
};
constexpr std::array kKeptSources{
    KeptSource{BrowserDatabase::ChromiumHistory, "SELECT id, url FROM urls"},
    KeptSource{BrowserDatabase::FirefoxPlaces, "SELECT id, url FROM moz_places"},
};

std::int64_t integer(const DbValue& value) {
    if (auto whole = AsInteger(value)) return *whole;
    if (const auto* real = std::get_if<double>(&value)) return static_cast<std::int64_t>(*real);
    return 0;
}

// One item per kind of the database, in the state it could not get past.
void listState(const DatabaseItems& database, ItemState state, std::vector<BrowserItem>& items) {
    for (std::size_t i = 0; i < database.count; ++i)
        items.push_back(BrowserItem{database.kinds[i], {}, 0, 0, {}, state});
}

bool readItems(Database& db, const Reader& reader, const KeepList& keep, std::vector<BrowserItem>& items) {
    const bool counted = reader.kind != ItemKind::Cookies && (reader.whole.empty() || keep.empty());
    const auto rows = db.query(counted && !reader.whole.empty() ? reader.whole : reader.sql);
    if (!rows) return false;
    if (counted) {
        const std::int64_t count = integer(rows->at(0).at(0));
        if (count > 0)
            items.push_back(BrowserItem{
                reader.kind, {}, static_cast<std::uint64_t>(integer(rows->at(0).at(1))), count, {}, ItemState::Ready});
        return true;
    }
    if (reader.kind == ItemKind::Cookies) {
        std::map<std::string, BrowserItem> sites;
        for (const auto& row : *rows) {
            const std::string site = SiteOfHost(AsText(row.at(0)));
            if (site.empty() || keep.keeps(site)) continue;
            auto& item =
                sites.try_emplace(site, BrowserItem{ItemKind::Cookies, site, 0, 0, {}, ItemState::Ready}).first->second;
            item.rows += integer(row.at(1));
            item.size += static_cast<std::uint64_t>(integer(row.at(2)));
        }
        for (auto& [site, item] : sites) items.push_back(std::move(item));
        return true;
    }
    BrowserItem item{reader.kind, {}, 0, 0, {}, ItemState::Ready};
    for (const auto& row : *rows) {
        if (keep.keeps(HostOfUrl(AsText(row.at(0))))) continue;
        item.rows += 1;
        item.size += static_cast<std::uint64_t>(integer(row.at(1)));
    }
    if (item.rows > 0) items.push_back(std::move(item));
    return true;
}

void listDatabase(Platform& platform, FolderLookup& profileFiles, const DatabaseItems& database,
                  const KeepList& keep, std::vector<BrowserItem>& items) {
    const auto path = DatabaseFile(profileFiles, database.database);
    if (!path) return;
    auto opened = platform.files.openDatabase(*path, DatabaseAccess::ReadOnly);
    if (!opened.database) return listState(database, ItemState::CannotBeRead, items);
    // The schema checked and the rows read in one state of the database. A return before the end
    // closes the database, which ends the transaction.
    if (!opened.database->beginReading()) return listState(database, ItemState::CannotBeRead, items);
    const SchemaVerdict verdict = CheckSchema(*opened.database, database.database);
    if (verdict != SchemaVerdict::Known)
        return listState(
            database, verdict == SchemaVerdict::Unknown ? ItemState::UnknownVersion : ItemState::CannotBeRead, items);
    std::vector<BrowserItem> read;
    for (const auto& reader : kReaders) {
        if (reader.database == database.database && !readItems(*opened.database, reader, keep, read))
            return listState(database, ItemState::CannotBeRead, items);
    }
    opened.database->commit();
    items.insert(items.end(), read.begin(), read.end());
}

// temp.kept: the addresses of the database's history that belong to a site on the keep list.
bool fillKept(Database& db, BrowserDatabase database, const KeepList& keep) {
    if (!db.execute("CREATE TEMP TABLE IF NOT EXISTS kept(id INTEGER PRIMARY KEY)") ||
        !db.execute("DELETE FROM temp.kept"))
        return false;
    for (const auto& source : kKeptSources) {
        if (source.database != database || keep.empty()) continue;
        const auto rows = db.query(source.sql);
        if (!rows) return false;
        for (const auto& row : *rows)
            if (keep.keeps(HostOfUrl(AsText(row.at(1)))) &&
                !db.execute("INSERT INTO temp.kept(id) VALUES (?)", {row.at(0)}))
                return false;
    }
    return true;
}

std::string rowsOf(std::int64_t rows, std::string_view table) {
    return std::to_string(rows) + (rows == 1 ? " row of " : " rows of ") + std::string(table);
}

// The rows one item's steps delete (in a dry run: count), and when asked what they are, table by
// table; nullopt when a statement failed.
std::optional<std::int64_t> runSteps(Database& db, BrowserDatabase database, const BrowserItem& item, bool dryRun,
                                     std::vector<std::string>* takes) {
    std::int64_t total = 0;
    for (const auto& step : kSteps) {
        if (step.database != database || step.kind != item.kind || !step.site.empty()) continue;
        const std::string where = step.where.empty() ? std::string() : " WHERE " + std::string(step.where);
        std::optional<std::int64_t> rows;
        if (dryRun) {
            const auto counted = db.query("SELECT count(*) FROM " + std::string(step.table) + where);
            if (counted) rows = integer(counted->at(0).at(0));
        } else {
            rows = db.execute("DELETE FROM " + std::string(step.table) + where);
        }
        if (!rows) return std::nullopt;
        total += *rows;
        if (takes && *rows > 0) takes->push_back(rowsOf(*rows, step.table));
    }
    return total;
}

// What goes of each chosen site, table by table.
using SiteRows = std::map<std::string, std::vector<std::pair<std::string_view, std::int64_t>>>;

// The rows of the chosen sites (in temp.sites), counted site by site and, unless a dry run,
// deleted: one pass over each table of sites, however many sites were chosen. nullopt when a
// statement failed.
std::optional<SiteRows> runSiteSteps(Database& db, BrowserDatabase database, const std::vector<std::string>& sites,
                                     bool dryRun) {
    if (!db.execute("CREATE TEMP TABLE IF NOT EXISTS sites(site TEXT PRIMARY KEY)") ||
        !db.execute("DELETE FROM temp.sites"))
        return std::nullopt;
    for (const auto& site : sites)
        if (!db.execute("INSERT OR IGNORE INTO temp.sites(site) VALUES (?)", {site})) return std::nullopt;
    SiteRows rows;
    for (const auto& step : kSteps) {
        if (step.database != database || step.site.empty()) continue;
        const std::string where = " WHERE " + std::string(step.site) + " IN (SELECT site FROM temp.sites)";
        const auto counted =
            db.query("SELECT " + std::string(step.site) + ", count(*) FROM " + std::string(step.table) + where +
                     " GROUP BY 1");
        if (!counted) return std::nullopt;
        for (const auto& row : *counted) rows[AsText(row.at(0))].emplace_back(step.table, integer(row.at(1)));
        if (!dryRun && !db.execute("DELETE FROM " + std::string(step.table) + where)) return std::nullopt;
    }
    return rows;
}

// What became of a chosen site: removed when it had rows, gone when it had none left.
ItemOutcome siteOutcome(const SiteRows& siteRows, const std::string& site, bool describe) {
    ItemOutcome outcome{RemovalOutcome::Gone, 0, {}};
    if (const auto found = siteRows.find(site); found != siteRows.end())
        for (const auto& [table, rows] : found->second) {
            outcome.rows += rows;
            if (describe && rows > 0) outcome.takes.push_back(rowsOf(rows, table));
        }
    if (outcome.rows > 0) outcome.outcome = RemovalOutcome::Removed;
    return outcome;
}

void leave(const std::vector<std::size_t>& indexes, const std::string& why, std::vector<ItemOutcome>& outcomes) {
    for (auto index : indexes) outcomes[index] = ItemOutcome{RemovalOutcome::Left, 0, why};
}

void removeFromDatabase(ScanContext& context, FolderLookup& profileFiles, const DatabaseItems& database,
                        const std::vector<BrowserItem>& chosen, const std::vector<std::size_t>& indexes,
                        const KeepList& keep, std::vector<ItemOutcome>& outcomes) {
    const auto path = DatabaseFile(profileFiles, database.database);
    if (!path) {
        for (auto index : indexes) outcomes[index] = ItemOutcome{RemovalOutcome::Gone, 0, {}};
        return;
    }
    const bool dryRun = context.dryRun;
    auto opened =
        context.platform.files.openDatabase(*path, dryRun ? DatabaseAccess::ReadOnly : DatabaseAccess::ReadWrite);
    if (!opened.database) return leave(indexes, StateText(ItemState::CannotBeRead), outcomes);
    Database& db = *opened.database;
    // The schema is checked inside the transaction that deletes (its write lock taken first), so
    // the tables written are the ones checked; a dry run reads one state of the database.
    if (!(dryRun ? db.beginReading() : db.begin())) return leave(indexes, StateText(ItemState::CannotBeRead), outcomes);
    const SchemaVerdict verdict = CheckSchema(db, database.database);
    if (verdict != SchemaVerdict::Known) {
        db.rollback();
        return leave(indexes,
                     StateText(verdict == SchemaVerdict::Unknown ? ItemState::UnknownVersion : ItemState::CannotBeRead),
                     outcomes);
    }
    const bool describe = context.removalLog != nullptr;
    // The sites go together; a site on the keep list never goes, whatever was chosen.
    std::vector<std::string> sites;
    for (auto index : indexes) {
        const BrowserItem& item = chosen[index];
        if (item.kind == ItemKind::Cookies && !item.site.empty() && !keep.keeps(item.site)) sites.push_back(item.site);
    }
    const auto siteRows = sites.empty() ? std::optional<SiteRows>(SiteRows{})
                                        : runSiteSteps(db, database.database, sites, dryRun);
    std::vector<ItemOutcome> done;
    bool failed = !siteRows || !fillKept(db, database.database, keep);
    for (std::size_t i = 0; i < indexes.size() && !failed; ++i) {
        const BrowserItem& item = chosen[indexes[i]];
        if (item.kind == ItemKind::Cookies) {
            if (item.site.empty() || keep.keeps(item.site)) {
                done.push_back(ItemOutcome{RemovalOutcome::Left, 0, "a site kept"});
                continue;
            }
            done.push_back(siteOutcome(*siteRows, item.site, describe));
            continue;
        }
        std::vector<std::string> takes;
        const auto rows = runSteps(db, database.database, item, dryRun, describe ? &takes : nullptr);
        failed = !rows;
        done.push_back(ItemOutcome{rows && *rows > 0 ? RemovalOutcome::Removed : RemovalOutcome::Gone,
                                   rows.value_or(0), {}, std::move(takes)});
    }
    if (failed || !db.commit()) {
        db.rollback();
        return leave(indexes, "could not be changed", outcomes);
    }
    if (!dryRun) {
        // The rows are gone with the commit; the log and the free pages are tidied where allowed.
        db.checkpoint();
        db.vacuum();
        db.checkpoint();
    }
    for (std::size_t i = 0; i < indexes.size(); ++i) outcomes[indexes[i]] = done[i];
}

}  // namespace

void ListRowItems(Platform& platform, FolderLookup& profileFiles, const Browser& browser, const KeepList& keep,
                  std::vector<BrowserItem>& items) {
    for (const auto& database : kDatabases)
        if (database.family == browser.family) listDatabase(platform, profileFiles, database, keep, items);
}

void RemoveRowItems(ScanContext& context, const Browser& browser, const BrowserProfile& profile,
                    const std::vector<BrowserItem>& chosen, const KeepList& keep, std::vector<ItemOutcome>& outcomes) {
    FolderLookup profileFiles(context.platform, profile.folder);
    for (const auto& database : kDatabases) {
        if (database.family != browser.family) continue;
        std::vector<std::size_t> indexes;
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            for (std::size_t k = 0; k < database.count; ++k)
                if (chosen[i].kind == database.kinds[k]) indexes.push_back(i);
        }
        if (!indexes.empty()) removeFromDatabase(context, profileFiles, database, chosen, indexes, keep, outcomes);
    }
}

}  // namespace keltora
