// Databases on Windows go through SQLite's own Windows file layer, whose locks are the ones other
// programs' SQLite takes: a browser that holds its database is seen as holding it. The layer is
// given the "\\?\" form of the exact path, which the system reads as written, and the file it
// opened must be the file named (no link on the way or at the end).
#include <windows.h>

#include <sqlite3.h>

#include "platform/SqliteDatabase.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Folder.h"
#include "platform/win32/Win32Paths.h"

namespace keltora {

OpenedDatabase Win32FileSystem::openDatabase(const std::u16string& path, DatabaseAccess access) {
    SqliteOpening opening;
    opening.vfs = "win32-longpath";
    opening.name = ExtendedPath(path);
    opening.isFileNamed = [path](sqlite3* db) {
        HANDLE file = nullptr;
        return sqlite3_file_control(db, "main", SQLITE_FCNTL_WIN32_GET_HANDLE, &file) == SQLITE_OK && file != nullptr &&
               file != INVALID_HANDLE_VALUE && IsHandleOfFile(file, path);
    };
    return OpenSqlite(*this, path, access, std::move(opening));
}

}  // namespace keltora
