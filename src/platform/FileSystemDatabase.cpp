// SQLite over the platform's file system: a file layer (VFS) that reaches every file through
// FileSystem::openExact, deletes through FileSystem::act and asks findWide whether a file is
// there. It lets the memory backend's tests run the very library the programs link on in-memory
// files. Each connection gets a layer of its own, which goes when the connection closes.
//
// The shared memory of a write-ahead log is kept on the heap of the layer: only one connection
// of this process opens a database at a time, and the other programs that use the file are the
// ones the platform's lock keeps out (OpenedFile::lock).
#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Helpers.h"
#include "platform/SqliteDatabase.h"

namespace keltora {
namespace {

struct Layer;

struct FileState {
    Layer* layer = nullptr;
    std::unique_ptr<OpenedFile> file;
    std::u16string path;
    bool deleteOnClose = false;
};

// What SQLite allocates for an open file: its header, then our state.
struct LayerFile {
    sqlite3_file base;
    FileState* state;
};

struct Layer {
    sqlite3_vfs vfs{};
    std::string name;
    FileSystem* files = nullptr;
    sqlite3_vfs* system = nullptr;  // for randomness, time and sleeping
    std::map<std::u16string, std::vector<std::unique_ptr<char[]>>> shared;
};

// One of the engine's own files (a journal, a log) deleted by its exact path: as its folder
// lists it, never through a link.
FileActOutcome deleteExact(FileSystem& files, const std::u16string& path) {
    const auto cut = path.find_last_of(u'\\');
    if (cut == std::u16string::npos) return {FileActResult::Unsafe};
    return DeleteListedEntry(files, nullptr, path.substr(0, cut == 2 ? 3 : cut), path.substr(cut + 1));
}

Layer& layerOf(sqlite3_vfs* vfs) { return *static_cast<Layer*>(vfs->pAppData); }
FileState& stateOf(sqlite3_file* file) { return *reinterpret_cast<LayerFile*>(file)->state; }

int fileClose(sqlite3_file* file) {
    FileState* state = &stateOf(file);
    state->file.reset();
    if (state->deleteOnClose) deleteExact(*state->layer->files, state->path);
    delete state;
    return SQLITE_OK;
}

int fileRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    OpenedFile& opened = *stateOf(file).file;
    const auto size = opened.size();
    if (!size) return SQLITE_IOERR_READ;
    const auto at = static_cast<std::uint64_t>(offset);
    const std::size_t available =
        at >= *size ? 0
                    : static_cast<std::size_t>(std::min<std::uint64_t>(*size - at, static_cast<std::uint64_t>(amount)));
    if (available > 0) {
        const auto bytes = opened.readAt(at, available);
        if (!bytes) return SQLITE_IOERR_READ;
        std::memcpy(buffer, bytes->data(), available);
    }
    if (available == static_cast<std::size_t>(amount)) return SQLITE_OK;
    // SQLite wants the part past the end zeroed on a short read.
    std::memset(static_cast<char*>(buffer) + available, 0, static_cast<std::size_t>(amount) - available);
    return SQLITE_IOERR_SHORT_READ;
}

// OpenedFile writes only where the file reaches; a gap before the offset is zeros.
bool writeFrom(OpenedFile& opened, std::uint64_t offset, const std::string& bytes) {
    const auto size = opened.size();
    if (!size) return false;
    if (offset > *size && !opened.writeAt(*size, std::string(static_cast<std::size_t>(offset - *size), '\0')))
        return false;
    return opened.writeAt(offset, bytes);
}

int fileWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    const std::string bytes(static_cast<const char*>(buffer), static_cast<std::size_t>(amount));
    return writeFrom(*stateOf(file).file, static_cast<std::uint64_t>(offset), bytes) ? SQLITE_OK : SQLITE_IOERR_WRITE;
}

int fileTruncate(sqlite3_file* file, sqlite3_int64 size) {
    OpenedFile& opened = *stateOf(file).file;
    const auto now = opened.size();
    const auto to = static_cast<std::uint64_t>(size);
    if (!now) return SQLITE_IOERR_TRUNCATE;
    const bool done = to <= *now ? opened.truncate(to) : writeFrom(opened, to, {});
    return done ? SQLITE_OK : SQLITE_IOERR_TRUNCATE;
}

int fileSync(sqlite3_file* file, int) { return stateOf(file).file->flush() ? SQLITE_OK : SQLITE_IOERR_FSYNC; }

int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    const auto found = stateOf(file).file->size();
    if (!found) return SQLITE_IOERR_FSTAT;
    *size = static_cast<sqlite3_int64>(*found);
    return SQLITE_OK;
}

int fileLock(sqlite3_file* file, int level) {
    if (level == SQLITE_LOCK_NONE) return SQLITE_OK;
    return stateOf(file).file->lock(level > SQLITE_LOCK_SHARED) ? SQLITE_OK : SQLITE_BUSY;
}
int fileUnlock(sqlite3_file*, int) { return SQLITE_OK; }
int fileCheckReserved(sqlite3_file*, int* reserved) {
    *reserved = 0;
    return SQLITE_OK;
}
int fileControl(sqlite3_file*, int, void*) { return SQLITE_NOTFOUND; }
int fileSectorSize(sqlite3_file*) { return 512; }
int fileCharacteristics(sqlite3_file*) { return 0; }

int shmMap(sqlite3_file* file, int region, int regionSize, int extend, void volatile** mapped) {
    FileState& state = stateOf(file);
    auto& regions = state.layer->shared[state.path];
    const auto index = static_cast<std::size_t>(region);
    if (index >= regions.size()) {
        if (!extend) {
            *mapped = nullptr;
            return SQLITE_OK;
        }
        while (regions.size() <= index) {
            regions.push_back(std::make_unique<char[]>(static_cast<std::size_t>(regionSize)));
            std::memset(regions.back().get(), 0, static_cast<std::size_t>(regionSize));
        }
    }
    *mapped = regions[index].get();
    return SQLITE_OK;
}
int shmLock(sqlite3_file*, int, int, int) { return SQLITE_OK; }
void shmBarrier(sqlite3_file*) { std::atomic_thread_fence(std::memory_order_seq_cst); }
int shmUnmap(sqlite3_file* file, int deleteIt) {
    FileState& state = stateOf(file);
    if (deleteIt) state.layer->shared.erase(state.path);
    return SQLITE_OK;
}

const sqlite3_io_methods kFileMethods = {
    2,  // with the shared-memory methods
    fileClose, fileRead,   fileWrite,         fileTruncate, fileSync,       fileSize,
    fileLock,  fileUnlock, fileCheckReserved, fileControl,  fileSectorSize, fileCharacteristics,
    shmMap,    shmLock,    shmBarrier,        shmUnmap,
    nullptr,  // no memory-mapped reads
    nullptr,
};

int layerOpen(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    file->pMethods = nullptr;
    // Temporary files stay in memory (SQLITE_TEMP_STORE=3); a nameless file is never made here.
    if (name == nullptr) return SQLITE_CANTOPEN;
    Layer& layer = layerOf(vfs);
    auto state = std::make_unique<FileState>();
    state->layer = &layer;
    state->path = Utf8ToUtf16(name);
    state->deleteOnClose = (flags & SQLITE_OPEN_DELETEONCLOSE) != 0;
    state->file =
        layer.files->openExact(state->path, (flags & SQLITE_OPEN_READWRITE) != 0, (flags & SQLITE_OPEN_CREATE) != 0);
    if (!state->file) return SQLITE_CANTOPEN;
    reinterpret_cast<LayerFile*>(file)->state = state.release();
    file->pMethods = &kFileMethods;
    if (outFlags) *outFlags = flags;
    return SQLITE_OK;
}

int layerDelete(sqlite3_vfs* vfs, const char* name, int) {
    switch (deleteExact(*layerOf(vfs).files, Utf8ToUtf16(name)).result) {
        case FileActResult::Done: return SQLITE_OK;
        case FileActResult::Absent: return SQLITE_IOERR_DELETE_NOENT;
        default: return SQLITE_IOERR_DELETE;
    }
}

int layerAccess(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
    const auto found = layerOf(vfs).files->findWide(Utf8ToUtf16(name));
    const bool file = found.size() == 1 && !found.front().isDirectory() && !found.front().isReparsePoint();
    *result = file && (flags != SQLITE_ACCESS_READWRITE || (found.front().attributes & kAttrReadOnly) == 0);
    return SQLITE_OK;
}

// The names are the exact full paths the program gave.
int layerFullPath(sqlite3_vfs*, const char* name, int size, char* out) {
    const std::size_t length = std::strlen(name);
    if (length + 1 > static_cast<std::size_t>(size)) return SQLITE_CANTOPEN;
    std::memcpy(out, name, length + 1);
    return SQLITE_OK;
}

int layerRandomness(sqlite3_vfs* vfs, int size, char* out) {
    sqlite3_vfs* system = layerOf(vfs).system;
    return system->xRandomness(system, size, out);
}
int layerSleep(sqlite3_vfs* vfs, int microseconds) {
    sqlite3_vfs* system = layerOf(vfs).system;
    return system->xSleep(system, microseconds);
}
int layerTime(sqlite3_vfs* vfs, double* now) {
    sqlite3_vfs* system = layerOf(vfs).system;
    return system->xCurrentTime(system, now);
}
int layerTime64(sqlite3_vfs* vfs, sqlite3_int64* now) {
    sqlite3_vfs* system = layerOf(vfs).system;
    return system->xCurrentTimeInt64(system, now);
}
int layerLastError(sqlite3_vfs*, int, char*) { return 0; }

std::shared_ptr<Layer> makeLayer(FileSystem& files) {
    static std::atomic<unsigned long long> next{0};
    sqlite3_initialize();
    auto layer = std::make_shared<Layer>();
    layer->name = "keltora-files-" + std::to_string(++next);
    layer->files = &files;
    layer->system = sqlite3_vfs_find(nullptr);
    sqlite3_vfs& vfs = layer->vfs;
    vfs.iVersion = 2;
    vfs.szOsFile = sizeof(LayerFile);
    vfs.mxPathname = 4096;
    vfs.zName = layer->name.c_str();
    vfs.pAppData = layer.get();
    vfs.xOpen = layerOpen;
    vfs.xDelete = layerDelete;
    vfs.xAccess = layerAccess;
    vfs.xFullPathname = layerFullPath;
    vfs.xRandomness = layerRandomness;
    vfs.xSleep = layerSleep;
    vfs.xCurrentTime = layerTime;
    vfs.xGetLastError = layerLastError;
    vfs.xCurrentTimeInt64 = layerTime64;
    if (layer->system == nullptr || sqlite3_vfs_register(&vfs, 0) != SQLITE_OK) return nullptr;
    // Unregistered when the last holder (the connection) lets go.
    return std::shared_ptr<Layer>(layer.get(), [layer](Layer* made) mutable {
        sqlite3_vfs_unregister(&made->vfs);
        layer.reset();
    });
}

}  // namespace

OpenedDatabase FileSystem::openDatabase(const std::u16string& path, DatabaseAccess access) {
    auto layer = makeLayer(*this);
    if (!layer) return {nullptr, DatabaseError::Failed};
    SqliteOpening opening;
    opening.vfs = layer->name.c_str();
    opening.keepAlive = std::move(layer);
    return OpenSqlite(*this, path, access, std::move(opening));
}

}  // namespace keltora
