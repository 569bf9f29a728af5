#pragma once
// The file system through kernel32: the ANSI calls the program makes, the listing through the
// wide calls (with the ANSI names the ANSI calls would give), and the exact act on a listed file.
#include <memory>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace keltora {

struct ActFolder;

class Win32FileSystem final : public FileSystem {
public:
    explicit Win32FileSystem(CodePage& codePage);
    ~Win32FileSystem() override;

    std::vector<FoundFile> find(const std::string& pattern) override;
    std::vector<FoundFile> findWide(const std::u16string& pattern) override;
    std::optional<FolderListing> listFolder(const std::u16string& folder, const FileIdentity& listedAs = {}) override;
    FileActOutcome act(const FileAct& act) override;
    void keepActFolder(bool keep) override;
    std::u16string temporaryFolder() override;
    std::optional<std::u16string> environmentVariable(const std::u16string& name) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    PathPresence probe(const std::string& path, std::uint32_t* attributes = nullptr) override;
    bool deleteFile(const std::string& path) override;
    bool moveFile(const std::string& from, const std::string& to) override;
    bool createDirectory(const std::string& path) override;
    std::string fullPath(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& content) override;
    bool appendFile(const std::string& path, const std::string& content) override;
    bool createNewFile(const std::string& path) override;
    std::optional<std::string> readFileStart(const std::string& path, std::size_t maxBytes) override;
    std::unique_ptr<OpenedFile> createNew(const std::string& path) override;
    std::unique_ptr<OpenedFile> openForUpdate(const std::string& path, bool create = false,
                                              FileActOutcome* why = nullptr) override;
    std::unique_ptr<OpenedFile> openExact(const std::u16string& path, bool write, bool create) override;
    // Through SQLite's own Windows file layer (its locks are the ones the browsers' SQLite sees).
    OpenedDatabase openDatabase(const std::u16string& path, DatabaseAccess access) override;

private:
    FoundFile found(std::u16string_view name, std::uint32_t attributes, std::uint64_t size, std::uint64_t lastWritten);

    CodePage& codePage_;
    bool keepActFolder_ = false;
    std::unique_ptr<ActFolder> actFolder_;  // the folder of the last act, while it is kept
};

}  // namespace keltora
