#pragma once
// The file system through kernel32, with the ANSI calls the program makes.
#include "platform/FileSystem.h"

namespace keltora {

class Win32FileSystem final : public FileSystem {
public:
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
};

}  // namespace keltora
