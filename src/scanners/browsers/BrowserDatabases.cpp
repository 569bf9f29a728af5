#include "scanners/browsers/BrowserDatabases.h"

#include <array>
#include <set>
#include <string_view>
#include <vector>

#include "scanners/browsers/ProfileFiles.h"

namespace keltora {
namespace {

// Each table a reader or a removal names, with the columns it names.
struct SchemaRow {
    BrowserDatabase database;
    std::string_view table;
    std::vector<std::string_view> columns;
};

const std::array kSchema{
    SchemaRow{BrowserDatabase::ChromiumHistory, "meta", {"key", "value"}},
    SchemaRow{BrowserDatabase::ChromiumHistory, "urls", {"id", "url", "title"}},
    SchemaRow{BrowserDatabase::ChromiumHistory, "visits", {"id", "url"}},
    SchemaRow{BrowserDatabase::ChromiumHistory, "keyword_search_terms", {"url_id"}},
    SchemaRow{BrowserDatabase::ChromiumHistory, "segments", {"id", "url_id"}},
    SchemaRow{BrowserDatabase::ChromiumHistory, "segment_usage", {"segment_id"}},
    SchemaRow{BrowserDatabase::ChromiumHistory, "downloads", {"id", "target_path"}},
    SchemaRow{BrowserDatabase::ChromiumHistory, "downloads_url_chains", {"id", "url"}},
    SchemaRow{BrowserDatabase::ChromiumCookies, "meta", {"key", "value"}},
    SchemaRow{BrowserDatabase::ChromiumCookies, "cookies", {"host_key", "name", "value", "encrypted_value"}},
    SchemaRow{BrowserDatabase::FirefoxPlaces, "moz_places", {"id", "url", "title"}},
    SchemaRow{BrowserDatabase::FirefoxPlaces, "moz_historyvisits", {"id", "place_id"}},
    SchemaRow{BrowserDatabase::FirefoxPlaces, "moz_bookmarks", {"id", "fk"}},
    SchemaRow{BrowserDatabase::FirefoxCookies, "moz_cookies", {"host", "name", "value"}},
    SchemaRow{BrowserDatabase::FirefoxForms, "moz_formhistory", {"fieldname", "value"}},
};

// The versions of Chromium's meta table whose tables and columns are the ones above: History
// from the version that made downloads_url_chains what it is, Cookies from the one that added
// encrypted_value, each up to the newest whose schema was compared with the rows above.
struct KnownVersions {
    BrowserDatabase database;
    std::int64_t first, last;
};
constexpr std::array kKnownVersions{
    KnownVersions{BrowserDatabase::ChromiumHistory, 29, 70},
    KnownVersions{BrowserDatabase::ChromiumCookies, 7, 24},
};

struct Place {
    BrowserDatabase database;
    std::u16string_view file;  // below the profile folder; the first found is the one
};
constexpr std::array kPlaces{
    Place{BrowserDatabase::ChromiumHistory, u"History"},
    Place{BrowserDatabase::ChromiumCookies, u"Network\\Cookies"},
    Place{BrowserDatabase::ChromiumCookies, u"Cookies"},
    Place{BrowserDatabase::FirefoxPlaces, u"places.sqlite"},
    Place{BrowserDatabase::FirefoxCookies, u"cookies.sqlite"},
    Place{BrowserDatabase::FirefoxForms, u"formhistory.sqlite"},
};

using Columns = std::set<std::pair<std::string, std::string>>;

// The (table, column) pairs of the tables of a database the rows above name, in one query: only
// tables (a view of such a name has none); nullopt when the schema cannot be read at all.
std::optional<Columns> columnsOf(Database& db, BrowserDatabase which) {
    std::vector<DbValue> tables;
    std::string marks;
    for (const auto& row : kSchema) {
        if (row.database != which) continue;
        tables.emplace_back(std::string(row.table));
        marks += marks.empty() ? "?" : ", ?";
    }
    const auto rows = db.query("SELECT m.name, p.name FROM sqlite_schema AS m, pragma_table_info(m.name) AS p "
                               "WHERE m.type = 'table' AND m.name IN (" + marks + ")",
                               tables);
    if (!rows) return std::nullopt;
    Columns columns;
    for (const auto& row : *rows) columns.emplace(AsText(row.at(0)), AsText(row.at(1)));
    return columns;
}

bool hasTable(const Columns& columns, const SchemaRow& row) {
    for (auto wanted : row.columns)
        if (!columns.contains({std::string(row.table), std::string(wanted)})) return false;
    return true;
}

std::optional<bool> knownVersion(Database& db, BrowserDatabase which) {
    for (const auto& known : kKnownVersions) {
        if (known.database != which) continue;
        const auto rows = db.query("SELECT value FROM meta WHERE key = 'version'");
        if (!rows) return std::nullopt;
        if (rows->size() != 1) return false;
        // Chromium writes the version as an integer; text of digits is read as one too.
        const DbValue& value = rows->front().at(0);
        std::optional<std::int64_t> version = AsInteger(value);
        const std::string text = AsText(value);
        if (!version && !text.empty() && text.size() < 10 && text.find_first_not_of("0123456789") == std::string::npos)
            version = std::stoll(text);
        return version && *version >= known.first && *version <= known.last;
    }
    return true;
}

}  // namespace

std::optional<std::u16string> DatabaseFile(FolderLookup& profileFiles, BrowserDatabase which) {
    for (const auto& place : kPlaces) {
        if (place.database != which) continue;
        if (const auto found = profileFiles.file(place.file)) return found->folder().below(found->name());
    }
    return std::nullopt;
}

SchemaVerdict CheckSchema(Database& db, BrowserDatabase which) {
    const auto columns = columnsOf(db, which);
    if (!columns) return SchemaVerdict::CannotBeRead;
    for (const auto& row : kSchema)
        if (row.database == which && !hasTable(*columns, row)) return SchemaVerdict::Unknown;
    const auto version = knownVersion(db, which);
    if (!version) return SchemaVerdict::CannotBeRead;
    return *version ? SchemaVerdict::Known : SchemaVerdict::Unknown;
}

}  // namespace keltora
