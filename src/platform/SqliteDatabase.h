#pragma once
// The one implementation of Database, over SQLite, for the file systems that open databases: the
// default over the platform's own files (FileSystemDatabase.cpp) and the Windows backend over
// SQLite's own Windows file layer. Only their files include sqlite3.h.
#include <functional>
#include <memory>
#include <string>

#include "platform/Database.h"
#include "platform/FileSystem.h"

struct sqlite3;

namespace keltora {

// What an opening needs besides the path: the name of the SQLite file layer to open it through,
// what must live as long as the connection (a file layer made for it), and a last check of the
// file SQLite opened (that it is the file named); none: no such check.
struct SqliteOpening {
    const char* vfs = nullptr;
    // The name SQLite is given, when not the path itself (the "\\?\" form on Windows).
    std::u16string name{};
    std::shared_ptr<void> keepAlive;
    std::function<bool(sqlite3*)> isFileNamed;
};

// Opens the database at an exact path of files: refused unless the path can be given to SQLite
// exactly (UTF-8 that reads back as the same UTF-16), the file is there as a plain file (no link,
// no folder) and its journal, log and shared-memory files are absent or plain files too; then
// SQLite opens it with the access asked (read-only: SQLITE_OPEN_READONLY, mode=ro), its schema
// must read (else NotSqlite or Busy), and, for writing, it must pass SQLite's quick check.
OpenedDatabase OpenSqlite(FileSystem& files, const std::u16string& path, DatabaseAccess access, SqliteOpening opening);

}  // namespace keltora
