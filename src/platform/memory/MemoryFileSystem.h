#pragma once
// An in-memory file system with the observable behaviour of kernel32: drive letters, names
// without case that keep their case, Windows wildcards, "." and ".." in folder listings,
// attributes, 64-bit sizes, MoveFileA that never overwrites, and files another program holds.
// The current folder is "C:\". Test setup goes through the helpers below.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace keltora {

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem();  // drive C: with an empty root
    ~MemoryFileSystem() override;

    std::vector<FoundFile> find(const std::string& pattern) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    bool moveFile(const std::string& from, const std::string& to) override;
    bool createDirectory(const std::string& path) override;
    std::string fullPath(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& content) override;
    bool appendFile(const std::string& path, const std::string& content) override;
    std::unique_ptr<OpenFile> createNew(const std::string& path) override;
    std::unique_ptr<OpenFile> openForUpdate(const std::string& path) override;

    // Setup: missing folders, and the drive, are made on the way. A path that is not of the
    // form "X:\..." or that runs through a file throws std::invalid_argument.
    void addDirectory(const std::string& path);
    // A file that reports size bytes; reading it gives content.
    void addFile(const std::string& path, std::uint64_t size, const std::string& content = "");
    void addTextFile(const std::string& path, const std::string& content);
    // Hidden, system, read-only...; the directory bit stays as it is. A read-only file cannot be
    // deleted or written, as on Windows.
    void setAttributes(const std::string& path, std::uint32_t attributes);
    // A file another program holds open: deleting, moving and writing it fail, reading works
    // (writes through a file opened earlier fail too, as on a volume that went away).
    // A folder with a held file below it cannot be moved.
    void lock(const std::string& path);
    void unlock(const std::string& path);

    // Every file and folder below the drive roots, as full paths in listing order.
    std::vector<std::string> paths() const;

    struct Entry;  // one file or folder; defined with the implementation

private:
    friend class MemoryOpenFile;
    Entry* lookup(const std::string& path);
    Entry* parentFor(const std::string& path, std::string& leaf);
    Entry* make(const std::string& path, bool directory);
    Entry& existing(const std::string& path);
    bool store(const std::string& path, const std::string& content, bool append);

    std::map<char, std::unique_ptr<Entry>> drives_;
    std::string current_ = "C:\\";
};

}  // namespace keltora
