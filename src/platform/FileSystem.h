#pragma once
// The file system as the program reaches it: the kernel32 calls it makes, with ANSI paths.
#include <cstdint>
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
// A link, junction or other reparse point: what it leads to is somewhere else.
constexpr std::uint32_t kAttrReparsePoint = 0x400;

struct FoundFile {
    std::string name;  // the name only, no folder
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
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

    bool exists(const std::string& path) { return attributes(path).has_value(); }
    bool isDirectory(const std::string& path) {
        auto a = attributes(path);
        return a && (*a & kAttrDirectory) != 0;
    }
    // Creates the folder and any missing parents; true when it exists afterwards.
    bool createDirectories(const std::string& path);
};

}  // namespace keltora
