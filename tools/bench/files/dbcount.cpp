// dbcount.exe, the floor of the browser scans (tools/bench/files/browsers): opens each database
// given, read-only, with the same SQLite the program links, and counts the rows of every table in
// it. Prints the total.
//   dbcount.exe DATABASE...
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

long long countRows(const char* path) {
    sqlite3* db = nullptr;
    long long total = 0;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        std::vector<std::string> tables;
        sqlite3_stmt* names = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_schema WHERE type = 'table'", -1, &names, nullptr) ==
            SQLITE_OK)
            while (sqlite3_step(names) == SQLITE_ROW)
                tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(names, 0)));
        sqlite3_finalize(names);
        for (const auto& table : tables) {
            sqlite3_stmt* count = nullptr;
            const std::string sql = "SELECT count(*) FROM \"" + table + "\"";
            if (sqlite3_prepare_v2(db, sql.c_str(), -1, &count, nullptr) == SQLITE_OK &&
                sqlite3_step(count) == SQLITE_ROW)
                total += sqlite3_column_int64(count, 0);
            sqlite3_finalize(count);
        }
    }
    sqlite3_close(db);
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    long long total = 0;
    for (int i = 1; i < argc; ++i) total += countRows(argv[i]);
    std::printf("%lld rows\n", total);
    return 0;
}
