#pragma once
// The file system as the program reaches it: the kernel32 calls it makes, with ANSI paths.
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

struct FoundFile {
    std::string name;  // the name only, no folder
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
};

// A file held open to add to it and to read back what reached it: the undo journals, whose
// every change must be on the disk before the registry changes.
class OpenFile {
public:
    virtual ~OpenFile() = default;
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

    // A new file (CREATE_NEW: never one that exists, nor through a link of that name), open for
    // reading and writing; nullptr when it cannot be made.
    virtual std::unique_ptr<OpenFile> createNew(const std::string& path) = 0;
    // An existing file opened to change it in place; nullptr when it cannot be.
    virtual std::unique_ptr<OpenFile> openForUpdate(const std::string& path) = 0;

    bool exists(const std::string& path) { return attributes(path).has_value(); }
    bool isDirectory(const std::string& path) {
        auto a = attributes(path);
        return a && (*a & kAttrDirectory) != 0;
    }
    // Creates the folder and any missing parents; true when it exists afterwards.
    bool createDirectories(const std::string& path);
};

}  // namespace keltora
