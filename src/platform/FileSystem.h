#pragma once
// The file system as the program reaches it: the kernel32 calls it makes, with ANSI paths, the
// listing with the exact UTF-16 names, and the one exact act on a listed file.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace keltora {

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
    // When it was last written, as the listing reports it: a FILETIME (100-nanosecond units
    // since 1601, UTC).
    std::uint64_t lastWritten = 0;
    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
    bool isReparsePoint() const { return (attributes & kAttrReparsePoint) != 0; }
};

// An act on one listed file: delete it or, with a target, move it there (never over a file).
struct FileAct {
    std::u16string path;  // a resolved folder, '\', the exact name; acted on as written
    std::u16string moveTo;  // empty: delete; else the full target path, acted on as written
    bool dryRun = false;  // make every check, change nothing
};

enum class FileActResult {
    Done,    // deleted or moved (in a dry run: it would be)
    Absent,  // the system says the file or its folder is not there
    Unsafe,  // the object opened is not the file named (a link on the way or at the end)
    Failed,  // refused (access denied, held open, a folder, read-only, the target exists)
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
    // Deletes or moves exactly the file act.path names, after opening it without following a
    // final link and making sure the object opened is that file (its final path is the path
    // given, it is no link), through that same open object. A folder is moved as a whole, as
    // MoveFileA moves one, and never deleted.
    virtual FileActResult act(const FileAct& act) = 0;
    // Removes the folder act.path names when it is empty, with the same checks as act (opened
    // without following a final link, and the object opened is that folder); Failed when it is
    // not empty or not a folder. act.moveTo is not used.
    virtual FileActResult removeEmptyFolder(const FileAct& act) = 0;
    // Whether another program holds the file open so that it cannot be deleted (a sharing
    // violation), for telling the user why a file stayed; false when it does not, or may not be
    // asked.
    virtual bool heldOpen(const std::u16string& path) = 0;
    // The user's temporary folder as the system reports it (GetTempPath, long names); empty when
    // the system reports none.
    virtual std::u16string temporaryFolder() = 0;
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
    // An existing file opened to change it in place; nullptr when it cannot be.
    virtual std::unique_ptr<OpenedFile> openForUpdate(const std::string& path) = 0;

    bool exists(const std::string& path) { return attributes(path).has_value(); }
    bool isDirectory(const std::string& path) {
        auto a = attributes(path);
        return a && (*a & kAttrDirectory) != 0;
    }
    // Creates the folder and any missing parents; true when it exists afterwards.
    bool createDirectories(const std::string& path);
};

}  // namespace keltora
