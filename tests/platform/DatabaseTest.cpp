// SQLite over the memory file system: the same library the programs link, on in-memory files.
#include <gtest/gtest.h>

#include <functional>

#include "platform/Database.h"
#include "platform/ReadOnlyPlatform.h"
#include "platform/memory/MemoryFileSystem.h"

namespace keltora {
namespace {

constexpr const char* kFolder = "C:\\Users\\pat\\AppData\\Local\\Data";
const std::u16string kPath = u"C:\\Users\\pat\\AppData\\Local\\Data\\store.db";
constexpr const char* kAnsiPath = "C:\\Users\\pat\\AppData\\Local\\Data\\store.db";

// A folder for the database, and what the tests make in it.
struct Store {
    Store() { files.addDirectory(kFolder); }

    // A database with one table of sites, made through the interface itself.
    void makeStore(bool wal = false) {
        auto made = files.openDatabase(kPath, DatabaseAccess::CreateNew);
        ASSERT_TRUE(made.database);
        if (wal) {
            ASSERT_TRUE(made.database->query("PRAGMA journal_mode=WAL"));
        }
        ASSERT_TRUE(made.database->execute("CREATE TABLE sites(id INTEGER PRIMARY KEY, host TEXT NOT NULL)"));
        for (const char* host : {"a.example", "b.example", "c.example"})
            ASSERT_TRUE(made.database->execute("INSERT INTO sites(host) VALUES (?)", {std::string(host)}));
    }
    std::int64_t count(Database& db) {
        const auto rows = db.query("SELECT count(*) FROM sites");
        return rows ? AsInteger(rows->at(0).at(0)).value_or(-1) : -1;
    }

    MemoryFileSystem files;
};

class DatabaseTest : public ::testing::Test, public Store {};

TEST_F(DatabaseTest, ReadsWhatWasWrittenWithBoundParameters) {
    makeStore();
    auto opened = files.openDatabase(kPath, DatabaseAccess::ReadWrite);
    ASSERT_TRUE(opened.database) << static_cast<int>(opened.error);
    Database& db = *opened.database;
    // Site names are data: quotes, control characters, SQL and any Unicode stay what they are.
    const std::string hostile = "x'; DROP TABLE sites; --\t\x01\xF0\x9F\x8D\xAA.example";
    ASSERT_TRUE(db.execute("INSERT INTO sites(host) VALUES (?)", {hostile}));
    const auto rows = db.query("SELECT host FROM sites WHERE host = ?", {hostile});
    ASSERT_TRUE(rows);
    ASSERT_EQ(1u, rows->size());
    EXPECT_EQ(hostile, AsText(rows->at(0).at(0)));
    EXPECT_EQ(4, count(db));
    // One statement per call: a second one in the text is refused, not run.
    EXPECT_FALSE(db.execute("DELETE FROM sites; DELETE FROM sites"));
    EXPECT_EQ(4, count(db));
}

TEST_F(DatabaseTest, ReadOnlyNeverWrites) {
    makeStore();
    const auto before = files.readFile(kAnsiPath);
    auto opened = files.openDatabase(kPath, DatabaseAccess::ReadOnly);
    ASSERT_TRUE(opened.database);
    EXPECT_FALSE(opened.database->execute("DELETE FROM sites"));
    EXPECT_FALSE(opened.database->begin());
    EXPECT_EQ(3, count(*opened.database));
    opened.database.reset();
    EXPECT_EQ(before, files.readFile(kAnsiPath));
    EXPECT_FALSE(files.exists(std::string(kAnsiPath) + "-journal"));
}

TEST_F(DatabaseTest, DryRunOpensReadOnlyWhateverIsAsked) {
    makeStore();
    ReadOnlyFileSystem readOnly(files);
    auto opened = readOnly.openDatabase(kPath, DatabaseAccess::ReadWrite);
    ASSERT_TRUE(opened.database);
    EXPECT_FALSE(opened.database->execute("DELETE FROM sites"));
    EXPECT_EQ(3, count(*opened.database));
}

TEST_F(DatabaseTest, WriteAheadLogIsCheckpointedEmptyAndVacuumShrinks) {
    makeStore(true);
    {
        auto opened = files.openDatabase(kPath, DatabaseAccess::ReadWrite);
        ASSERT_TRUE(opened.database);
        Database& db = *opened.database;
        ASSERT_TRUE(
            db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                       "INSERT INTO sites(host) SELECT i || '.example' FROM n"));
        ASSERT_TRUE(db.checkpoint());
        const auto full = files.readFile(kAnsiPath)->size();
        ASSERT_TRUE(db.begin());
        ASSERT_TRUE(db.execute("DELETE FROM sites"));
        ASSERT_TRUE(db.commit());
        ASSERT_TRUE(db.checkpoint());
        EXPECT_EQ(0u, files.readFile(std::string(kAnsiPath) + "-wal").value_or("x").size());
        ASSERT_TRUE(db.vacuum());
        ASSERT_TRUE(db.checkpoint());
        EXPECT_LT(files.readFile(kAnsiPath)->size(), full);
    }
    auto again = files.openDatabase(kPath, DatabaseAccess::ReadOnly);
    ASSERT_TRUE(again.database);
    EXPECT_EQ(0, count(*again.database));
}

// Every file that cannot be had as a database: nothing is opened, and it is said why.
TEST_F(DatabaseTest, WhatIsNoReadableDatabaseIsNeverOpened) {
    struct Row {
        const char* name;
        std::function<void(Store&)> setUp;
        DatabaseAccess access;
        DatabaseError expected;
    };
    const auto truncated = [](Store& t, std::size_t keep) {
        t.makeStore();
        auto opened = t.files.openDatabase(kPath, DatabaseAccess::ReadWrite);
        ASSERT_TRUE(opened.database->execute("CREATE TABLE pad(x)"));
        ASSERT_TRUE(opened.database->execute(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) INSERT INTO pad SELECT "
            "randomblob(100) FROM n"));
        opened.database.reset();
        std::string bytes = *t.files.readFile(kAnsiPath);
        bytes.resize(keep == 0 ? bytes.size() / 2 : keep);
        ASSERT_TRUE(t.files.writeFile(kAnsiPath, bytes));
    };
    const Row rows[] = {
        {"missing", [](Store&) {}, DatabaseAccess::ReadOnly, DatabaseError::Missing},
        {"text", [](Store& t) { t.files.addTextFile(kAnsiPath, std::string(4096, 'x')); }, DatabaseAccess::ReadOnly,
         DatabaseError::NotSqlite},
        {"header only", [&](Store& t) { truncated(t, 50); }, DatabaseAccess::ReadOnly, DatabaseError::NotSqlite},
        {"half, to write", [&](Store& t) { truncated(t, 0); }, DatabaseAccess::ReadWrite, DatabaseError::NotSqlite},
        {"held by another program",
         [](Store& t) {
             t.makeStore();
             t.files.lock(kAnsiPath);
         },
         DatabaseAccess::ReadOnly, DatabaseError::Busy},
        {"a folder", [](Store& t) { t.files.addDirectory(kAnsiPath); }, DatabaseAccess::ReadOnly,
         DatabaseError::Failed},
        {"a link",
         [](Store& t) {
             t.files.addDirectory("C:\\Elsewhere");
             t.files.addTextFile("C:\\Elsewhere\\other.db", "");
             t.files.addLink(kAnsiPath, "C:\\Elsewhere\\other.db");
         },
         DatabaseAccess::ReadWrite, DatabaseError::Failed},
        {"a link as its journal",
         [](Store& t) {
             t.makeStore();
             t.files.addDirectory("C:\\Elsewhere");
             t.files.addTextFile("C:\\Elsewhere\\victim", "keep");
             t.files.addLink(std::string(kAnsiPath) + "-journal", "C:\\Elsewhere\\victim");
         },
         DatabaseAccess::ReadWrite, DatabaseError::Failed},
        {"a link as its log, its name in capitals",
         [](Store& t) {
             t.makeStore();
             t.files.addDirectory("C:\\Elsewhere");
             t.files.addTextFile("C:\\Elsewhere\\victim", "keep");
             t.files.addLink(std::string(kAnsiPath) + "-WAL", "C:\\Elsewhere\\victim");
         },
         DatabaseAccess::ReadOnly, DatabaseError::Failed},
        {"a folder as its shared memory",
         [](Store& t) {
             t.makeStore();
             t.files.addDirectory(std::string(kAnsiPath) + "-shm");
         },
         DatabaseAccess::ReadOnly, DatabaseError::Failed},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Store t;
        row.setUp(t);
        const auto opened = t.files.openDatabase(kPath, row.access);
        EXPECT_EQ(nullptr, opened.database);
        EXPECT_EQ(row.expected, opened.error);
    }
}

}  // namespace
}  // namespace keltora
