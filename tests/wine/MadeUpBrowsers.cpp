// keltora_browser_data.exe: made-up browser profiles for the Wine tests and the benchmark, written
// with the tables and columns the browsers use (tests/support/MadeUpBrowserData.h) through the
// program's own database layer. No real user's data.
//
//   keltora_browser_data.exe chromium|firefox PROFILE SITES [ADDRESSES COOKIES]
//     The databases of one profile in the folder PROFILE (made when missing): a visited address
//     and a cookie of each site of SITES (comma-separated, "-" for none), then ADDRESSES more
//     visited addresses and COOKIES more cookies of 500 made-up sites. Chromium: History (with a
//     download) and Network\Cookies; Firefox: places.sqlite (the first site's address
//     bookmarked), cookies.sqlite and formhistory.sqlite.
//   keltora_browser_data.exe count DATABASE SQL
//     Prints the one number the query gives; -1 when the database cannot be read.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "support/MadeUpBrowserData.h"

namespace {

using namespace keltora;
using namespace keltora::testing;

// The rows of n made-up visited addresses or cookies, numbered from 1.
constexpr const char* kNumbers =
    "WITH RECURSIVE n(i) AS (SELECT 1 WHERE ?1 > 0 UNION ALL SELECT i + 1 FROM n WHERE i < ?1) ";
constexpr const char* kSiteOf = "'site' || (i % 500) || '.example'";

std::vector<std::string> sitesOf(const std::string& list) {
    std::vector<std::string> sites;
    if (list == "-") return sites;
    for (std::size_t start = 0; start <= list.size();) {
        const auto comma = std::min(list.find(',', start), list.size());
        if (comma > start) sites.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return sites;
}

void append(std::vector<MadeUpRow>& rows, const std::vector<MadeUpRow>& more) {
    rows.insert(rows.end(), more.begin(), more.end());
}

bool chromium(FileSystem& files, const std::string& profile, const std::vector<std::string>& sites,
              std::int64_t addresses, std::int64_t cookies) {
    std::vector<MadeUpRow> history, jar;
    std::int64_t id = 0;
    for (const auto& site : sites) {
        append(history, ChromiumVisit(++id, "https://" + site + "/page"));
        jar.push_back(ChromiumCookie("." + site, "id"));
    }
    append(history, ChromiumDownload(1));
    history.push_back({kNumbers + std::string("INSERT INTO urls(url, title, last_visit_time) SELECT 'https://' || ") +
                           kSiteOf + " || '/page/' || i, 'Page ' || i, 13300000000000000 FROM n",
                       {addresses}});
    history.push_back({"INSERT INTO visits(url, visit_time) SELECT id, 13300000000000000 FROM urls WHERE id NOT IN "
                       "(SELECT url FROM visits)"});
    jar.push_back({kNumbers + std::string("INSERT INTO cookies SELECT 0, '.' || ") + kSiteOf +
                       ", '', 'c' || i, 'v', x'00', '/', 0, 0, 0 FROM n",
                   {cookies}});
    files.createDirectories(profile + "\\Network");
    return MakeDatabase(files, Utf8ToUtf16(profile + "\\History"), kChromiumHistorySchema, history) &&
           MakeDatabase(files, Utf8ToUtf16(profile + "\\Network\\Cookies"), kChromiumCookiesSchema, jar);
}

bool firefox(FileSystem& files, const std::string& profile, const std::vector<std::string>& sites,
             std::int64_t addresses, std::int64_t cookies) {
    std::vector<MadeUpRow> places, jar;
    std::int64_t id = 0;
    for (const auto& site : sites) {
        ++id;
        append(places, FirefoxVisit(id, "https://" + site + "/page", id == 1));
        jar.push_back(FirefoxCookie("." + site, "id"));
    }
    places.push_back({kNumbers + std::string("INSERT INTO moz_places(url, title) SELECT 'https://' || ") + kSiteOf +
                          " || '/page/' || i, 'Page ' || i FROM n",
                      {addresses}});
    places.push_back({"INSERT INTO moz_historyvisits(place_id, visit_date) SELECT id, 1700000000000000 FROM "
                      "moz_places WHERE id NOT IN (SELECT place_id FROM moz_historyvisits)"});
    jar.push_back({kNumbers + std::string("INSERT INTO moz_cookies(name, value, host, path) SELECT 'c' || i, 'v', "
                                          "'.' || ") + kSiteOf + ", '/' FROM n",
                   {cookies}});
    files.createDirectories(profile);
    return MakeDatabase(files, Utf8ToUtf16(profile + "\\places.sqlite"), kFirefoxPlacesSchema, places) &&
           MakeDatabase(files, Utf8ToUtf16(profile + "\\cookies.sqlite"), kFirefoxCookiesSchema, jar) &&
           MakeDatabase(files, Utf8ToUtf16(profile + "\\formhistory.sqlite"), kFirefoxFormsSchema,
                        {{"INSERT INTO moz_formhistory(fieldname, value) VALUES ('q', 'made-up search')"}});
}

std::int64_t count(FileSystem& files, const std::string& database, const std::string& sql) {
    auto opened = files.openDatabase(Utf8ToUtf16(database), DatabaseAccess::ReadOnly);
    if (!opened.database) return -1;
    const auto rows = opened.database->query(sql);
    return rows && !rows->empty() && !rows->front().empty() ? AsInteger(rows->front().front()).value_or(-1) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    FileSystem& files = win32Platform().files;
    if (args.size() == 3 && args[0] == "count") {
        std::printf("%lld\n", static_cast<long long>(count(files, args[1], args[2])));
        return 0;
    }
    if ((args.size() == 3 || args.size() == 5) && (args[0] == "chromium" || args[0] == "firefox")) {
        const std::int64_t addresses = args.size() == 5 ? std::atoll(args[3].c_str()) : 0;
        const std::int64_t cookies = args.size() == 5 ? std::atoll(args[4].c_str()) : 0;
        const auto sites = sitesOf(args[2]);
        const bool made = args[0] == "chromium" ? chromium(files, args[1], sites, addresses, cookies)
                                                : firefox(files, args[1], sites, addresses, cookies);
        if (made) return 0;
        std::fprintf(stderr, "keltora_browser_data: could not make the databases in %s\n", args[1].c_str());
        return 1;
    }
    std::fprintf(stderr, "usage: keltora_browser_data chromium|firefox PROFILE SITES [ADDRESSES COOKIES]\n"
                         "       keltora_browser_data count DATABASE SQL\n");
    return 2;
}
