#pragma once
// Another program's SQLite database, as the program reads and changes it: opened read-only to
// look (never created, never changed), or for writing to delete rows in one transaction. The SQL
// is always the program's own text; whatever came from a database or a user (a site name) goes
// in as a bound parameter only.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace keltora {

enum class DatabaseAccess {
    ReadOnly,   // as SQLite's mode=ro: nothing is written, the file is never created
    ReadWrite,  // an existing database, to change it
    CreateNew,  // a new database where no file is: the tests and the seeding of made-up profiles
};

// Why a database could not be opened or a statement failed.
enum class DatabaseError {
    None,
    Missing,    // no file of that name
    NotSqlite,  // not a database, truncated or damaged
    Busy,       // another program holds it (its lock, or the file held open)
    Failed,     // anything else: access denied, a path that cannot be named exactly, a full disk
};

// A value of a column, or a parameter: NULL, an integer, a real, or text / bytes.
using DbValue = std::variant<std::monostate, std::int64_t, double, std::string>;
using DbRow = std::vector<DbValue>;

class Database {
public:
    virtual ~Database() = default;
    // Every row of a query, nullopt when it fails.
    virtual std::optional<std::vector<DbRow>> query(std::string_view sql,
                                                    const std::vector<DbValue>& parameters = {}) = 0;
    // A statement that changes rows: how many it changed, nullopt when it fails.
    virtual std::optional<std::int64_t> execute(std::string_view sql, const std::vector<DbValue>& parameters = {}) = 0;
    // BEGIN IMMEDIATE: the write lock is taken now, or the transaction does not begin.
    virtual bool begin() = 0;
    // BEGIN (deferred): the statements up to commit() or rollback() read one state of the
    // database, which is locked and checked for change once rather than once a statement.
    virtual bool beginReading() = 0;
    virtual bool commit() = 0;
    virtual void rollback() = 0;
    // PRAGMA wal_checkpoint(TRUNCATE): true when every frame of the write-ahead log is in the
    // database and the log is empty (also when the database keeps no log).
    virtual bool checkpoint() = 0;
    virtual bool vacuum() = 0;
    // Why the last open step or statement failed.
    virtual DatabaseError lastError() const = 0;
};

// The integer of a value; nullopt for anything else.
inline std::optional<std::int64_t> AsInteger(const DbValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
    return std::nullopt;
}
// The text of a value; empty for NULL and numbers.
inline std::string AsText(const DbValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return {};
}

// The outcome of opening a database.
struct OpenedDatabase {
    std::unique_ptr<Database> database;  // none when it could not be opened
    DatabaseError error = DatabaseError::None;
};

}  // namespace keltora
