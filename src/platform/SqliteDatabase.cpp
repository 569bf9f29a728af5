#include "platform/SqliteDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <iterator>

#include "platform/CodePage.h"

namespace keltora {
namespace {

DatabaseError errorOf(int code) {
    switch (code & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE: return DatabaseError::None;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
        case SQLITE_FORMAT: return DatabaseError::NotSqlite;
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return DatabaseError::Busy;
        default: return DatabaseError::Failed;
    }
}

// A prepared statement, finalized on every path.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql) {
        const char* tail = nullptr;
        code_ = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, &tail);
        // One statement per call: a second one in the text would run unbound and unseen.
        if (code_ == SQLITE_OK && tail != nullptr && tail != sql.data() + sql.size()) code_ = SQLITE_MISUSE;
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool bind(const std::vector<DbValue>& parameters) {
        if (code_ != SQLITE_OK) return false;
        if (static_cast<int>(parameters.size()) != sqlite3_bind_parameter_count(statement_)) {
            code_ = SQLITE_RANGE;
            return false;
        }
        for (std::size_t i = 0; i < parameters.size() && code_ == SQLITE_OK; ++i)
            code_ = bindOne(static_cast<int>(i + 1), parameters[i]);
        return code_ == SQLITE_OK;
    }
    // The next row: true while there is one; code() tells whether the end was reached cleanly.
    bool step() {
        code_ = sqlite3_step(statement_);
        return code_ == SQLITE_ROW;
    }
    DbRow row() const {
        DbRow values;
        const int columns = sqlite3_column_count(statement_);
        for (int i = 0; i < columns; ++i) values.push_back(column(i));
        return values;
    }
    int code() const { return code_; }

private:
    int bindOne(int index, const DbValue& value) {
        if (const auto* integer = std::get_if<std::int64_t>(&value))
            return sqlite3_bind_int64(statement_, index, *integer);
        if (const auto* real = std::get_if<double>(&value)) return sqlite3_bind_double(statement_, index, *real);
        if (const auto* text = std::get_if<std::string>(&value))
            return sqlite3_bind_text64(statement_, index, text->data(), text->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        return sqlite3_bind_null(statement_, index);
    }
    DbValue column(int i) const {
        switch (sqlite3_column_type(statement_, i)) {
            case SQLITE_INTEGER: return static_cast<std::int64_t>(sqlite3_column_int64(statement_, i));
            case SQLITE_FLOAT: return sqlite3_column_double(statement_, i);
            case SQLITE_NULL: return std::monostate{};
            default: {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, i));
                return std::string(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement_, i)));
            }
        }
    }

    sqlite3_stmt* statement_ = nullptr;
    int code_ = SQLITE_OK;
};

class SqliteDatabase final : public Database {
public:
    SqliteDatabase(sqlite3* db, std::shared_ptr<void> keepAlive) : db_(db), keepAlive_(std::move(keepAlive)) {}
    // The connection closes before what it runs over (a file layer made for it) goes.
    ~SqliteDatabase() override {
        sqlite3_close_v2(db_);
        keepAlive_.reset();
    }

    std::optional<std::vector<DbRow>> query(std::string_view sql, const std::vector<DbValue>& parameters) override {
        Statement statement(db_, sql);
        std::vector<DbRow> rows;
        if (statement.bind(parameters))
            while (statement.step()) rows.push_back(statement.row());
        if (!done(statement.code())) return std::nullopt;
        return rows;
    }
    std::optional<std::int64_t> execute(std::string_view sql, const std::vector<DbValue>& parameters) override {
        Statement statement(db_, sql);
        if (statement.bind(parameters))
            while (statement.step()) {
            }
        if (!done(statement.code())) return std::nullopt;
        return sqlite3_changes64(db_);
    }
    // A read-only connection would begin one too and fail only at the first write.
    bool begin() override {
        if (sqlite3_db_readonly(db_, "main") != 0) {
            error_ = DatabaseError::Failed;
            return false;
        }
        return execute("BEGIN IMMEDIATE", {}).has_value();
    }
    bool beginReading() override { return execute("BEGIN", {}).has_value(); }
    bool commit() override { return execute("COMMIT", {}).has_value(); }
    void rollback() override {
        if (!sqlite3_get_autocommit(db_)) execute("ROLLBACK", {});
    }
    bool checkpoint() override {
        const auto rows = query("PRAGMA wal_checkpoint(TRUNCATE)", {});
        if (!rows || rows->size() != 1 || rows->front().empty()) return false;
        if (AsInteger(rows->front()[0]) == 0) return true;
        error_ = DatabaseError::Busy;
        return false;
    }
    bool vacuum() override { return execute("VACUUM", {}).has_value(); }
    DatabaseError lastError() const override { return error_; }

    // Whether the file reads as a database: its schema, and for writing SQLite's quick check.
    DatabaseError verify(DatabaseAccess access) {
        if (!query("SELECT count(*) FROM sqlite_schema", {})) return error_;
        if (access != DatabaseAccess::ReadWrite) return DatabaseError::None;
        const auto check = query("PRAGMA quick_check", {});
        if (!check) return error_;
        if (check->size() != 1 || AsText(check->front().at(0)) != "ok") return DatabaseError::NotSqlite;
        return DatabaseError::None;
    }

private:
    bool done(int code) {
        error_ = errorOf(code);
        return error_ == DatabaseError::None;
    }

    sqlite3* db_;
    std::shared_ptr<void> keepAlive_;
    DatabaseError error_ = DatabaseError::None;
};

constexpr const char16_t* kBeside[] = {u"-journal", u"-wal", u"-shm"};
constexpr std::size_t kWal = 1;

// The database file and the files SQLite keeps beside it, as the folder lists them.
struct DatabaseFiles {
    std::vector<FoundFile> file;
    std::vector<FoundFile> beside[std::size(kBeside)];
};

bool sameAsciiName(std::u16string_view a, std::u16string_view b) {
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

// One listing of the entries whose names begin with the database's, where its name is plain
// ASCII without wildcards (every browser's is); otherwise each name on its own.
DatabaseFiles listFiles(FileSystem& files, const std::u16string& path) {
    DatabaseFiles found;
    const std::u16string_view name = std::u16string_view(path).substr(path.find_last_of(u'\\') + 1);
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char16_t c) {
        return c > u' ' && c < 0x7f && c != u'*' && c != u'?';
    });
    if (!plain) {
        found.file = files.findWide(path);
        for (std::size_t i = 0; i < std::size(kBeside); ++i) found.beside[i] = files.findWide(path + kBeside[i]);
        return found;
    }
    for (auto& entry : files.findWide(path + u"*")) {
        // A name the ANSI listing does not give exactly is its wide one; one of other than ASCII
        // is none of these.
        std::u16string listed = entry.wideName;
        if (listed.empty()) {
            if (!std::all_of(entry.name.begin(), entry.name.end(), [](char c) { return c > 0 && c < 0x7f; })) continue;
            listed.assign(entry.name.begin(), entry.name.end());
        }
        if (sameAsciiName(listed, name)) found.file.push_back(std::move(entry));
        else
            for (std::size_t i = 0; i < std::size(kBeside); ++i)
                if (sameAsciiName(listed, std::u16string(name) + kBeside[i])) found.beside[i].push_back(entry);
    }
    return found;
}

// The database file and the files SQLite keeps beside it must be no links: SQLite would follow
// one, and read, write or delete what it points at.
DatabaseError checkFiles(const DatabaseFiles& found, DatabaseAccess access) {
    if (access == DatabaseAccess::CreateNew) {
        if (!found.file.empty()) return DatabaseError::Failed;
    } else {
        if (found.file.empty()) return DatabaseError::Missing;
        if (found.file.size() != 1 || found.file.front().isReparsePoint() || found.file.front().isDirectory())
            return DatabaseError::Failed;
    }
    for (const auto& beside : found.beside)
        for (const auto& entry : beside)
            if (entry.isReparsePoint() || entry.isDirectory()) return DatabaseError::Failed;
    return DatabaseError::None;
}

int openFlags(DatabaseAccess access) {
    const int common = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_NOFOLLOW;
    switch (access) {
        case DatabaseAccess::ReadOnly: return common | SQLITE_OPEN_READONLY;
        case DatabaseAccess::ReadWrite: return common | SQLITE_OPEN_READWRITE;
        case DatabaseAccess::CreateNew: break;
    }
    return common | SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
}

// A database of another program runs nothing of its own here: no triggers or views it defines,
// no functions its schema names, and no change to SQLite's own structures through SQL.
void distrust(sqlite3* db) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
}

// A database in write-ahead mode whose log is not there (its program closed it cleanly): all of
// it is in the file. SQLite would make a log and a shared-memory file beside it to read it, even
// read-only, so such a file is read as immutable, which makes none; a database whose log is
// there is read through the log.
bool completeWithoutLog(FileSystem& files, const std::u16string& path, const DatabaseFiles& found) {
    if (!found.beside[kWal].empty()) return false;
    const auto file = files.openExact(path, false, false);
    const auto header = file ? file->readAt(18, 2) : std::nullopt;
    return header == std::string("\x02\x02", 2);
}

// A URI for SQLite: every byte but the plain ones escaped, so that no '?', '#' or '%' of a name
// reads as part of the URI.
std::string uriOf(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (const unsigned char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           std::string_view("-._~").find(static_cast<char>(c)) != std::string_view::npos;
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            ((uri += '%') += kHex[c >> 4]) += kHex[c & 15];
        }
    }
    return uri;
}

}  // namespace

OpenedDatabase OpenSqlite(FileSystem& files, const std::u16string& path, DatabaseAccess access, SqliteOpening opening) {
    const std::u16string& given = opening.name.empty() ? path : opening.name;
    const std::string name = Utf16ToUtf8(given);
    if (path.empty() || Utf8ToUtf16(name) != given) return {nullptr, DatabaseError::Failed};
    const DatabaseFiles found = listFiles(files, path);
    if (const DatabaseError error = checkFiles(found, access); error != DatabaseError::None) return {nullptr, error};
    const bool immutable = access == DatabaseAccess::ReadOnly && completeWithoutLog(files, path, found);
    const std::string opened = immutable ? uriOf(name) + "?immutable=1" : name;
    sqlite3* db = nullptr;
    const int code =
        sqlite3_open_v2(opened.c_str(), &db, openFlags(access) | (immutable ? SQLITE_OPEN_URI : 0), opening.vfs);
    auto database = std::make_unique<SqliteDatabase>(db, std::move(opening.keepAlive));
    if (code != SQLITE_OK) return {nullptr, errorOf(code)};
    distrust(db);
    if (opening.isFileNamed && !opening.isFileNamed(db)) return {nullptr, DatabaseError::Failed};
    if (access == DatabaseAccess::CreateNew) return {std::move(database), DatabaseError::None};
    if (const DatabaseError error = database->verify(access); error != DatabaseError::None) return {nullptr, error};
    return {std::move(database), DatabaseError::None};
}

}  // namespace keltora
