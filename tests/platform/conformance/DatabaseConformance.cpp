// Databases against a backend: the memory file system's own SQLite file layer natively, SQLite's
// Windows layer by the exact path under Wine. The same library, the same answers.
#include "ConformanceFixture.h"
#include "platform/CodePage.h"
#include "platform/Database.h"

namespace keltora::conformance {
namespace {

class DatabaseConformance : public ConformanceTest {
protected:
    // A name the ANSI code page cannot carry: only its exact form reaches the file.
    static std::u16string path(const std::u16string& leaf = u"Prof \u4E2D\u6587 \U0001F600.db") {
        return env().platform().codePage.toWide(folder()) + u"\\" + leaf;
    }
    static std::int64_t count(Database& db) {
        const auto rows = db.query("SELECT count(*) FROM sites");
        return rows ? AsInteger(rows->at(0).at(0)).value_or(-1) : -1;
    }
    static void make(bool wal) {
        auto made = files().openDatabase(path(), DatabaseAccess::CreateNew);
        ASSERT_TRUE(made.database) << static_cast<int>(made.error);
        if (wal) {
            ASSERT_TRUE(made.database->query("PRAGMA journal_mode=WAL"));
        }
        ASSERT_TRUE(made.database->execute("CREATE TABLE sites(host TEXT NOT NULL)"));
        for (const char* host : {"a.example", "b.example", "x'); DROP TABLE sites; --"})
            ASSERT_TRUE(made.database->execute("INSERT INTO sites VALUES (?)", {std::string(host)}));
    }
};

TEST_F(DatabaseConformance, ReadOnlyReadsAndNeverWrites) {
    make(false);
    auto opened = files().openDatabase(path(), DatabaseAccess::ReadOnly);
    ASSERT_TRUE(opened.database) << static_cast<int>(opened.error);
    EXPECT_EQ(3, count(*opened.database));
    EXPECT_FALSE(opened.database->execute("DELETE FROM sites"));
    EXPECT_FALSE(opened.database->begin());
    EXPECT_EQ(3, count(*opened.database));
}

// A scan of a database in write-ahead mode leaves no log or shared-memory file behind it.
TEST_F(DatabaseConformance, ReadingLeavesNoFileBeside) {
    make(true);
    auto opened = files().openDatabase(path(), DatabaseAccess::ReadOnly);
    ASSERT_TRUE(opened.database) << static_cast<int>(opened.error);
    EXPECT_EQ(3, count(*opened.database));
    opened.database.reset();
    for (const char16_t* beside : {u"-wal", u"-shm", u"-journal"})
        EXPECT_TRUE(files().findWide(path() + beside).empty()) << Utf16ToUtf8(beside);
}

TEST_F(DatabaseConformance, OneTransactionThenTheLogEmptiedAndTheFileVacuumed) {
    make(true);
    auto opened = files().openDatabase(path(), DatabaseAccess::ReadWrite);
    ASSERT_TRUE(opened.database) << static_cast<int>(opened.error);
    Database& db = *opened.database;
    ASSERT_TRUE(db.begin());
    EXPECT_EQ(3, db.execute("DELETE FROM sites"));
    db.rollback();
    EXPECT_EQ(3, count(db));
    ASSERT_TRUE(db.begin());
    EXPECT_EQ(2, db.execute("DELETE FROM sites WHERE host <> ?", {std::string("a.example")}));
    ASSERT_TRUE(db.commit());
    EXPECT_TRUE(db.checkpoint());
    EXPECT_TRUE(db.vacuum());
    EXPECT_EQ(1, count(db));
    opened.database.reset();
    auto again = files().openDatabase(path(), DatabaseAccess::ReadOnly);
    ASSERT_TRUE(again.database);
    EXPECT_EQ(1, count(*again.database));
}

TEST_F(DatabaseConformance, WhatIsNoDatabaseIsNotOpened) {
    EXPECT_EQ(DatabaseError::Missing, files().openDatabase(path(), DatabaseAccess::ReadOnly).error);
    ASSERT_TRUE(files().writeFile(inFolder("text.db"), std::string(4096, 'x')));
    const auto text = files().openDatabase(path(u"text.db"), DatabaseAccess::ReadWrite);
    EXPECT_FALSE(text.database);
    EXPECT_EQ(DatabaseError::NotSqlite, text.error);
    EXPECT_EQ(std::string(4096, 'x'), files().readFile(inFolder("text.db")));
    ASSERT_TRUE(files().createDirectory(inFolder("folder.db")));
    EXPECT_EQ(DatabaseError::Failed, files().openDatabase(path(u"folder.db"), DatabaseAccess::ReadOnly).error);
}

}  // namespace
}  // namespace keltora::conformance
