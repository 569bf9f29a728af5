#pragma once
// Made-up browser databases with the tables and columns the browsers use (no real user's data),
// made through the platform's own database interface, so the same helpers fill a memory file
// system natively and a Wine prefix under Wine.
#include <string>
#include <vector>

#include "platform/Database.h"
#include "platform/FileSystem.h"

namespace keltora::testing {

// The schema each browser writes (the parts a cleaner meets, with the indexes that shape how its
// rows are read), one statement per entry.
inline const std::vector<std::string> kChromiumHistorySchema = {
    "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR)",
    "INSERT INTO meta VALUES ('version', 67), ('last_compatible_version', 16)",
    "CREATE TABLE urls(id INTEGER PRIMARY KEY AUTOINCREMENT, url LONGVARCHAR, title LONGVARCHAR, visit_count INTEGER "
    "DEFAULT 0 NOT NULL, typed_count INTEGER DEFAULT 0 NOT NULL, last_visit_time INTEGER NOT NULL, hidden INTEGER "
    "DEFAULT 0 NOT NULL)",
    "CREATE TABLE visits(id INTEGER PRIMARY KEY AUTOINCREMENT, url INTEGER NOT NULL, visit_time INTEGER NOT NULL, "
    "from_visit INTEGER, transition INTEGER DEFAULT 0 NOT NULL, segment_id INTEGER, visit_duration INTEGER DEFAULT 0 "
    "NOT NULL)",
    "CREATE TABLE keyword_search_terms(keyword_id INTEGER NOT NULL, url_id INTEGER NOT NULL, term LONGVARCHAR NOT "
    "NULL, normalized_term LONGVARCHAR NOT NULL)",
    "CREATE TABLE segments(id INTEGER PRIMARY KEY, name VARCHAR, url_id INTEGER NON NULL)",
    "CREATE TABLE segment_usage(id INTEGER PRIMARY KEY, segment_id INTEGER NOT NULL, time_slot INTEGER NOT NULL, "
    "visit_count INTEGER DEFAULT 0 NOT NULL)",
    "CREATE TABLE downloads(id INTEGER PRIMARY KEY, guid VARCHAR NOT NULL, current_path LONGVARCHAR NOT NULL, "
    "target_path LONGVARCHAR NOT NULL, start_time INTEGER NOT NULL, received_bytes INTEGER NOT NULL, total_bytes "
    "INTEGER NOT NULL, state INTEGER NOT NULL)",
    "CREATE TABLE downloads_url_chains(id INTEGER NOT NULL, chain_index INTEGER NOT NULL, url LONGVARCHAR NOT NULL, "
    "PRIMARY KEY (id, chain_index))",
    "CREATE INDEX urls_url_index ON urls (url)",
    "CREATE INDEX visits_url_index ON visits (url)",
    "CREATE INDEX visits_time_index ON visits (visit_time)",
    "CREATE INDEX keyword_search_terms_index2 ON keyword_search_terms (url_id)",
    "CREATE INDEX segments_url_id ON segments (url_id)",
    "CREATE INDEX segments_usage_seg_id ON segment_usage (segment_id)",
};
inline const std::vector<std::string> kChromiumCookiesSchema = {
    "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR)",
    "INSERT INTO meta VALUES ('version', 21), ('last_compatible_version', 21)",
    "CREATE TABLE cookies(creation_utc INTEGER NOT NULL, host_key TEXT NOT NULL, top_frame_site_key TEXT NOT NULL, "
    "name TEXT NOT NULL, value TEXT NOT NULL, encrypted_value BLOB NOT NULL, path TEXT NOT NULL, expires_utc INTEGER "
    "NOT NULL, is_secure INTEGER NOT NULL, is_httponly INTEGER NOT NULL)",
    "CREATE UNIQUE INDEX cookies_unique_index ON cookies (host_key, top_frame_site_key, name, path)",
};
inline const std::vector<std::string> kFirefoxPlacesSchema = {
    "PRAGMA journal_mode=WAL",
    "CREATE TABLE moz_places(id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR, "
    "visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, frecency "
    "INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL)",
    "CREATE TABLE moz_historyvisits(id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, visit_date "
    "INTEGER, visit_type INTEGER, session INTEGER)",
    "CREATE TABLE moz_bookmarks(id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER, "
    "position INTEGER, title LONGVARCHAR)",
    "CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date)",
    "CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type)",
};
inline const std::vector<std::string> kFirefoxCookiesSchema = {
    "PRAGMA journal_mode=WAL",
    "CREATE TABLE moz_cookies(id INTEGER PRIMARY KEY, originAttributes TEXT NOT NULL DEFAULT '', name TEXT, value "
    "TEXT, host TEXT, path TEXT, expiry INTEGER)",
    "CREATE UNIQUE INDEX moz_uniqueid ON moz_cookies (name, host, path, originAttributes)",
};
inline const std::vector<std::string> kFirefoxFormsSchema = {
    "CREATE TABLE moz_formhistory(id INTEGER PRIMARY KEY, fieldname TEXT NOT NULL, value TEXT NOT NULL, timesUsed "
    "INTEGER, firstUsed INTEGER, lastUsed INTEGER, guid TEXT)",
};

// A new database at path with a schema and rows: each statement with its parameters, the rows in
// one transaction.
struct MadeUpRow {
    std::string sql;
    std::vector<DbValue> parameters{};
};
inline bool MakeDatabase(FileSystem& files, const std::u16string& path, const std::vector<std::string>& schema,
                         const std::vector<MadeUpRow>& rows = {}) {
    auto made = files.openDatabase(path, DatabaseAccess::CreateNew);
    if (!made.database) return false;
    for (const auto& statement : schema)
        if (!made.database->query(statement)) return false;
    if (!made.database->begin()) return false;
    for (const auto& row : rows)
        if (!made.database->execute(row.sql, row.parameters)) return false;
    return made.database->commit() && made.database->checkpoint();
}

// Rows of Chromium's history: a visited address with its visit, search term and segment.
inline std::vector<MadeUpRow> ChromiumVisit(std::int64_t id, const std::string& url) {
    return {
        {"INSERT INTO urls(id, url, title, last_visit_time) VALUES (?, ?, 'A page', 13300000000000000)", {id, url}},
        {"INSERT INTO visits(url, visit_time) VALUES (?, 13300000000000000)", {id}},
        {"INSERT INTO keyword_search_terms VALUES (1, ?, 'term', 'term')", {id}},
        {"INSERT INTO segments(id, name, url_id) VALUES (?, ?, ?)", {id, url, id}},
        {"INSERT INTO segment_usage(segment_id, time_slot) VALUES (?, 0)", {id}},
    };
}
inline MadeUpRow ChromiumCookie(const std::string& host, const std::string& name) {
    return {"INSERT INTO cookies VALUES (0, ?, '', ?, 'v', x'00', '/', 0, 0, 0)", {host, name}};
}
inline std::vector<MadeUpRow> ChromiumDownload(std::int64_t id) {
    return {{"INSERT INTO downloads VALUES (?, 'g', 'C:\\x.zip', 'C:\\x.zip', 0, 1, 1, 1)", {id}},
            {"INSERT INTO downloads_url_chains VALUES (?, 0, 'https://files.example/x.zip')", {id}}};
}
inline std::vector<MadeUpRow> FirefoxVisit(std::int64_t id, const std::string& url, bool bookmarked = false) {
    std::vector<MadeUpRow> rows = {
        {"INSERT INTO moz_places(id, url, title) VALUES (?, ?, 'A page')", {id, url}},
        {"INSERT INTO moz_historyvisits(place_id, visit_date) VALUES (?, 1700000000000000)", {id}},
    };
    if (bookmarked) rows.push_back({"INSERT INTO moz_bookmarks(type, fk, title) VALUES (1, ?, 'Kept')", {id}});
    return rows;
}
inline MadeUpRow FirefoxCookie(const std::string& host, const std::string& name) {
    return {"INSERT INTO moz_cookies(name, value, host, path) VALUES (?, 'v', ?, '/')", {name, host}};
}

}  // namespace keltora::testing
