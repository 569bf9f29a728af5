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

struct FoundFile {
    std::string name;  // the name only, no folder
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
};

// Whether a path names something, as far as this process may know.
enum class PathPresence { Missing, Present, Unknown };

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

    // GetFileAttributesA told apart by its error: Missing only when the system says "not found"
    // (or the name is one no file can have), Unknown when it may not look (access denied, a drive
    // not ready, a share out of reach). A caller that would act on "missing" asks this.
    virtual PathPresence probe(const std::string& path, std::uint32_t* attributes = nullptr) = 0;

    bool exists(const std::string& path) { return attributes(path).has_value(); }
    bool isDirectory(const std::string& path) {
        auto a = attributes(path);
        return a && (*a & kAttrDirectory) != 0;
    }
    // Creates the folder and any missing parents; true when it exists afterwards.
    bool createDirectories(const std::string& path);
};

}  // namespace keltora
