#pragma once
// The file system as the program reaches it: the kernel32 calls it makes, with ANSI paths, the
// listing with the exact UTF-16 names, and the one exact act on a listed file.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileIdentity.h"

namespace keltora {

struct OpenedDatabase;
enum class DatabaseAccess;

constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrVolume = 0x08;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrAnyFile = 0x3F;
constexpr std::uint32_t kAttrDevice = 0x40;
// A symbolic link, a junction or a mount point: what it names is somewhere else.
constexpr std::uint32_t kAttrReparsePoint = 0x400;

struct FoundFile {
    std::string name;  // the name only, no folder, as the ANSI calls give it
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    // The name as the file system keeps it, where the ANSI name is not exact (a character outside
    // the code page, or a look-alike it maps onto a plain letter, so that the ANSI name may be
    // another file's); empty when name is exact.
    std::u16string wideName{};
    // What the entry and the folder it was listed in are (listFolder only; unknown otherwise).
    FileIdentity identity{};
    FileIdentity folderIdentity{};
    // When it was last written, as the listing reports it: a FILETIME (100-nanosecond units
    // since 1601, UTC).
    std::uint64_t lastWritten = 0;
    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
    bool isReparsePoint() const { return (attributes & kAttrReparsePoint) != 0; }
};

// The entries of one folder as the system lists them, with what each of them is.
struct FolderListing {
    FileIdentity folder;
    std::vector<FoundFile> entries;
};

// An act on one listed file: delete it or, with a target, move it there (never over a file); or
// delete one listed empty folder.
struct FileAct {
    std::u16string path;  // a resolved folder, '\', the exact name; acted on as written
    std::u16string moveTo;  // empty: delete; else the full target path, acted on as written
    bool dryRun = false;  // make every check, change nothing
    // The entry and its folder as the listing saw them: only that very file is acted on. The
    // file's identity must be known; the folder's is compared when it is.
    FileIdentity file{};
    FileIdentity folder{};
    // A move: told what the file will be in its new place (itself, or its verified copy on
    // another volume) once every check has passed, right before the move is made; false stops
    // it, and nothing of it stays. Never called in a dry run.
    std::function<bool(const FileIdentity& arrived)> beforeMove{};
    // A delete of a listed folder, made only when the folder is empty (the system refuses one
    // that is not); without it a folder is never deleted, and with it nothing but a folder is.
    bool emptyFolder = false;
};

enum class FileActResult {
    Done,    // deleted or moved (in a dry run: it would be)
    Absent,  // the system says the file or its folder is not there
    Unsafe,  // the object opened is not the file listed (a link, or another file now)
    Failed,  // refused (access denied, held open, a folder, the target name taken)
};

// Why an act was not done.
enum class FileActFault {
    None,
    System,       // the system refused: error holds its code
    Link,         // Unsafe: the entry or its folder is a link or another reparse point
    NotListed,    // Unsafe: what is there is not what the listing saw (replaced, or elsewhere)
    Unlisted,     // its folder cannot be listed (a link, or no access)
    Folder,       // a folder: never deleted as a file, never moved to another volume
    NameTaken,    // a move's target name is taken
    HeldOpen,     // marked for deletion, but another program holds it open: Windows deletes it
                  // when that program closes it
    CopyDiffers,  // the copy on the other volume did not read back as the file; it was removed
    Refused,      // beforeMove said no
};

struct FileActOutcome {
    FileActResult result = FileActResult::Failed;
    FileActFault fault = FileActFault::None;
    long error = 0;
    bool operator==(FileActResult other) const { return result == other; }
};

// Whether a path names something, as far as this process may know.
enum class PathPresence { Missing, Present, Unknown };

// A file held open to add to it and to read back what reached it: the undo journals, whose
// every change must be on the disk before the registry changes.
class OpenedFile {
public:
    virtual ~OpenedFile() = default;
    virtual bool writeAt(std::uint64_t offset, const std::string& bytes) = 0;
    // Exactly size bytes from offset; nullopt when fewer are there or they cannot be read.
    virtual std::optional<std::string> readAt(std::uint64_t offset, std::size_t size) = 0;
    // The file ends at size (what a failed write left behind it goes).
    virtual bool truncate(std::uint64_t size) = 0;
    virtual std::optional<std::uint64_t> size() = 0;
    // FlushFileBuffers: true once what was written is on the disk.
    virtual bool flush() = 0;
    // A database engine's lock, as other programs' engines see it (shared to read, exclusive to
    // write); false when another program holds the file so that it may not be had.
    virtual bool lock(bool exclusive) {
        (void)exclusive;
        return true;
    }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // FindFirstFileA / FindNextFileA / FindClose over a pattern "folder\mask", in the order the
    // file system returns them. Empty when nothing matches or the folder cannot be read.
    virtual std::vector<FoundFile> find(const std::string& pattern) = 0;
    // The same listing of a UTF-16 pattern (FindFirstFileW): each entry's ANSI name as the ANSI
    // call gives it, and its exact name where that is not exact.
    virtual std::vector<FoundFile> findWide(const std::u16string& pattern) = 0;
    // Every entry of a resolved folder, read as written (through "\\?\", so at any length),
    // in the order the file system returns them, without "." and "..", each with its identity
    // and the folder's. The folder is opened without following a final link: nullopt when it is
    // a link or another reparse point, no folder, or cannot be read. listedAs: the folder as a
    // listing saw it, when known (a walk going down into an entry it listed): when the folder
    // opened has that file ID, its volume is taken from there rather than asked again (Wine asks
    // its mount manager, which costs more than the rest of listing a small folder). An act on
    // what the listing saw still checks the folder's whole identity.
    virtual std::optional<FolderListing> listFolder(const std::u16string& folder, const FileIdentity& listedAs = {}) = 0;
    // Deletes or moves exactly the file a listing saw: its folder is opened without following a
    // final link, the entry is opened by its exact name relative to that folder, without
    // following a link, and only when what was opened is what the listing saw (the identities
    // of both, and the system places the entry in that folder under that name) is it deleted or
    // moved, through that same open object. A delete uses POSIX semantics where the system
    // offers them (the name goes at once, even while another program holds the file open with
    // delete sharing, and read-only is no obstacle), else the classic disposition. A move never
    // goes over a file nor through a link at its target; on another volume it copies the file
    // through the open objects, verifies the copy and then deletes the original. A folder is
    // moved as a whole on its own volume, as MoveFileA moves one, and deleted only as an empty
    // folder (FileAct::emptyFolder).
    virtual FileActOutcome act(const FileAct& act) = 0;
    // While on, the act keeps the folder of its last act open, found to be the folder the listing
    // saw when it was opened, and a next act in that same folder (as the same listing saw it)
    // opens it no more: the files of one folder come together in a removal. An act in another
    // folder closes it first, and so does turning it off (KeptActFolder).
    virtual void keepActFolder(bool keep) { (void)keep; }
    // The user's temporary folder as the system reports it (GetTempPath, long names); empty when
    // the system reports none.
    virtual std::u16string temporaryFolder() = 0;
    // The process environment's variable of that name, whatever its case (GetEnvironmentVariable);
    // nullopt when there is none.
    virtual std::optional<std::u16string> environmentVariable(const std::u16string& name) = 0;
    // GetFileAttributesA; nullopt when the path does not exist.
    virtual std::optional<std::uint32_t> attributes(const std::string& path) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // MoveFileA: never overwrites an existing target.
    virtual bool moveFile(const std::string& from, const std::string& to) = 0;
    virtual bool createDirectory(const std::string& path) = 0;
    // GetFullPathNameA.
    virtual std::string fullPath(const std::string& path) = 0;

    // Whole-file text I/O for the program's own small files (ignore lists).
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    virtual bool writeFile(const std::string& path, const std::string& content) = 0;
    virtual bool appendFile(const std::string& path, const std::string& content) = 0;
    // Creates an empty file only when nothing of that name exists (CREATE_NEW): of two
    // processes asking for one name at the same moment, exactly one gets it.
    virtual bool createNewFile(const std::string& path) = 0;
    // At most the first maxBytes of a file, for telling what kind of file it is without reading
    // all of a large one.
    virtual std::optional<std::string> readFileStart(const std::string& path, std::size_t maxBytes) {
        auto content = readFile(path);
        if (content && content->size() > maxBytes) content->resize(maxBytes);
        return content;
    }

    // GetFileAttributesA told apart by its error: Missing only when the system says "not found"
    // (or the name is one no file can have), Unknown when it may not look (access denied, a drive
    // not ready, a share out of reach). A caller that would act on "missing" asks this.
    virtual PathPresence probe(const std::string& path, std::uint32_t* attributes = nullptr) = 0;

    // A new file (CREATE_NEW: never one that exists, nor through a link of that name), open for
    // reading and writing; nullptr when it cannot be made.
    virtual std::unique_ptr<OpenedFile> createNew(const std::string& path) = 0;
    // One of the program's own files (an undo journal, an ignore list) opened to change it in
    // place as itself: in a folder that is no link, never through a link or another reparse
    // point of its own name, and only where the system places the object opened (Wine opens a
    // Unix link as what it leads to). With create a missing file is made. nullptr when it cannot
    // be, and why (Unsafe when it is a link).
    virtual std::unique_ptr<OpenedFile> openForUpdate(const std::string& path, bool create = false,
                                                      FileActOutcome* why = nullptr) = 0;

    // A file by its exact path, never through a final link, for reading or also for writing,
    // shared with other programs as database engines share their files; with create, a new one
    // where none is there. nullptr when it cannot be. What a database engine over this file
    // system opens (FileSystemDatabase.cpp), and how the browsers' settings files are read.
    virtual std::unique_ptr<OpenedFile> openExact(const std::u16string& path, bool write, bool create) = 0;
    // An SQLite database by its exact path ("C:\...\History"): an existing one, or with
    // CreateNew a new one where no file is. The default runs SQLite over openExact, act (a
    // journal's delete) and findWide.
    virtual OpenedDatabase openDatabase(const std::u16string& path, DatabaseAccess access);
    // Whether another program holds the file at path so that this process may not have it for
    // writing (open without sharing writes, or locked): the test of a lock file. It opens the
    // file and writes nothing, so a dry run asks the real file system.
    virtual bool heldElsewhere(const std::u16string& path);

    bool exists(const std::string& path) { return attributes(path).has_value(); }
    bool isDirectory(const std::string& path) {
        auto a = attributes(path);
        return a && (*a & kAttrDirectory) != 0;
    }
    // Creates the folder and any missing parents; true when it exists afterwards.
    bool createDirectories(const std::string& path);
};

// Keeps the act's folder from one act to the next for as long as it lives (FileSystem::keepActFolder).
class KeptActFolder {
public:
    explicit KeptActFolder(FileSystem& files) : files_(files) { files_.keepActFolder(true); }
    ~KeptActFolder() { files_.keepActFolder(false); }
    KeptActFolder(const KeptActFolder&) = delete;
    KeptActFolder& operator=(const KeptActFolder&) = delete;

private:
    FileSystem& files_;
};

}  // namespace keltora
