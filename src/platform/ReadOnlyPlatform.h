#pragma once
// The platform of a dry run: every read goes through to the real one, every change is refused
// as access denied (registry writes and deletes, file deletes, moves, writes and new folders,
// emptying the Recycle Bin or the clipboard, opening documents and starting programs). A dry
// run then changes nothing even where a removal forgot to ask whether it is one.
#include "platform/Database.h"
#include "platform/Platform.h"

namespace keltora {

class ReadOnlyRegistry final : public RegistryApi {
public:
    explicit ReadOnlyRegistry(RegistryApi& real) : real_(real) {}
    long openKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) override {
        return real_.openKey(parent, subKey, access, result);
    }
    // An existing key opens as RegCreateKeyEx would open it; a missing one is not made.
    long createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) override;
    long closeKey(HKey key) override { return real_.closeKey(key); }
    long flushKey(HKey) override { return kErrorSuccess; }
    long queryInfoKey(HKey key, KeyInfo& info) override { return real_.queryInfoKey(key, info); }
    long enumKey(HKey key, std::uint32_t index, std::uint32_t capacity, std::string& name) override {
        return real_.enumKey(key, index, capacity, name);
    }
    long enumValue(HKey key, std::uint32_t index, std::uint32_t capacity, std::string& name) override {
        return real_.enumValue(key, index, capacity, name);
    }
    long queryValue(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        return real_.queryValue(key, name, type, data, size);
    }
    long enumValueData(HKey key, std::uint32_t index, std::uint32_t capacity, std::string& name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* size) override {
        return real_.enumValueData(key, index, capacity, name, type, data, size);
    }
    long setValue(HKey, const std::string&, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
        return kErrorAccessDenied;
    }
    long deleteKey(HKey, const std::string&) override { return kErrorAccessDenied; }
    long deleteValue(HKey, const std::string&) override { return kErrorAccessDenied; }

    long openKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                  HKey& result) override {
        return real_.openKeyW(parent, subKey, options, access, result);
    }
    // As createKey: an existing key opens, a missing one (or a new link) is not made.
    long createKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                    HKey& result) override;
    long enumKeyW(HKey key, std::uint32_t index, std::uint32_t capacity, std::u16string& name) override {
        return real_.enumKeyW(key, index, capacity, name);
    }
    long enumValueW(HKey key, std::uint32_t index, std::uint32_t capacity, std::u16string& name) override {
        return real_.enumValueW(key, index, capacity, name);
    }
    long queryValueW(HKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* size) override {
        return real_.queryValueW(key, name, type, data, size);
    }
    long enumValueDataW(HKey key, std::uint32_t index, std::uint32_t capacity, std::u16string& name,
                        std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override {
        return real_.enumValueDataW(key, index, capacity, name, type, data, size);
    }
    long setValueW(HKey, const std::u16string&, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
        return kErrorAccessDenied;
    }
    long deleteKeyW(HKey, const std::u16string&) override { return kErrorAccessDenied; }
    long deleteOpenedKey(HKey) override { return kErrorAccessDenied; }
    long getKeySecurity(HKey key, std::vector<std::uint8_t>& descriptor) override {
        return real_.getKeySecurity(key, descriptor);
    }
    long setKeySecurity(HKey, const std::vector<std::uint8_t>&) override { return kErrorAccessDenied; }
    long deleteValueW(HKey, const std::u16string&) override { return kErrorAccessDenied; }
    long keyNameW(HKey key, std::u16string& name) override { return real_.keyNameW(key, name); }
    long isLinkW(HKey openedAsLink, bool& link) override { return real_.isLinkW(openedAsLink, link); }
    std::string systemMessage(long code) override { return real_.systemMessage(code); }

private:
    RegistryApi& real_;
};

class ReadOnlyFileSystem final : public FileSystem {
public:
    explicit ReadOnlyFileSystem(FileSystem& real) : real_(real) {}
    std::vector<FoundFile> find(const std::string& pattern) override { return real_.find(pattern); }
    std::vector<FoundFile> findWide(const std::u16string& pattern) override { return real_.findWide(pattern); }
    std::optional<FolderListing> listFolder(const std::u16string& folder, const FileIdentity& listedAs = {}) override {
        return real_.listFolder(folder, listedAs);
    }
    // Every check the real act makes, and nothing done.
    FileActOutcome act(const FileAct& act) override {
        FileAct checkOnly = act;
        checkOnly.dryRun = true;
        return real_.act(checkOnly);
    }
    void keepActFolder(bool keep) override { real_.keepActFolder(keep); }
    std::u16string temporaryFolder() override { return real_.temporaryFolder(); }
    std::optional<std::u16string> environmentVariable(const std::u16string& name) override {
        return real_.environmentVariable(name);
    }
    std::optional<std::uint32_t> attributes(const std::string& path) override { return real_.attributes(path); }
    PathPresence probe(const std::string& path, std::uint32_t* attributes = nullptr) override {
        return real_.probe(path, attributes);
    }
    bool deleteFile(const std::string&) override { return false; }
    bool moveFile(const std::string&, const std::string&) override { return false; }
    bool createDirectory(const std::string&) override { return false; }
    std::string fullPath(const std::string& path) override { return real_.fullPath(path); }
    std::optional<std::string> readFile(const std::string& path) override { return real_.readFile(path); }
    std::optional<std::string> readFileStart(const std::string& path, std::size_t maxBytes) override {
        return real_.readFileStart(path, maxBytes);
    }
    bool writeFile(const std::string&, const std::string&) override { return false; }
    bool appendFile(const std::string&, const std::string&) override { return false; }
    bool createNewFile(const std::string&) override { return false; }
    std::unique_ptr<OpenedFile> createNew(const std::string&) override { return nullptr; }
    std::unique_ptr<OpenedFile> openForUpdate(const std::string&, bool, FileActOutcome* why) override {
        if (why) *why = {FileActResult::Failed, FileActFault::System, kErrorAccessDenied};
        return nullptr;
    }
    std::unique_ptr<OpenedFile> openExact(const std::u16string& path, bool write, bool create) override {
        return write || create ? nullptr : real_.openExact(path, false, false);
    }
    // Opening a lock file to test it changes nothing: a refusal here would have every lock file a
    // browser left behind held.
    bool heldElsewhere(const std::u16string& path) override { return real_.heldElsewhere(path); }
    // A database of a dry run opens read-only, whatever was asked.
    OpenedDatabase openDatabase(const std::u16string& path, DatabaseAccess) override {
        return real_.openDatabase(path, DatabaseAccess::ReadOnly);
    }

private:
    FileSystem& real_;
};

class ReadOnlyShell final : public Shell {
public:
    explicit ReadOnlyShell(Shell& real) : real_(real) {}
    bool open(const std::string&, const std::string&) override { return false; }
    std::optional<std::uint32_t> shell32Version() override { return real_.shell32Version(); }
    std::optional<RecycleBinInfo> queryRecycleBin() override { return real_.queryRecycleBin(); }
    bool emptyRecycleBin(std::uint32_t) override { return false; }
    using Shell::runAndWait;
    std::optional<std::uint32_t> runAndWait(const std::string&, const std::string&, std::uint32_t,
                                            const std::function<void()>&, long* startError) override {
        if (startError) *startError = kErrorAccessDenied;
        return std::nullopt;
    }
    std::string windowsFolder() override { return real_.windowsFolder(); }
    std::optional<std::vector<std::u16string>> sessionPrograms() override { return real_.sessionPrograms(); }
    std::u16string knownFolder(KnownFolder folder, KnownFolderPath which) override {
        return real_.knownFolder(folder, which);
    }

private:
    Shell& real_;
};

class ReadOnlyClipboard final : public Clipboard {
public:
    explicit ReadOnlyClipboard(Clipboard& real) : real_(real) {}
    std::optional<ClipboardContents> read() override { return real_.read(); }
    bool empty() override { return false; }
    ClipboardHistory history() override { return real_.history(); }
    bool clearHistory() override { return false; }

private:
    Clipboard& real_;
};

// The real platform's clock, code page and account with the guards above.
class ReadOnlyPlatform {
public:
    explicit ReadOnlyPlatform(Platform& real)
        : registry_(real.registry),
          files_(real.files),
          shell_(real.shell),
          clipboard_(real.clipboard),
          platform_{registry_, files_, shell_, clipboard_, real.clock, real.codePage, real.account, real.commandLock} {}
    ReadOnlyPlatform(const ReadOnlyPlatform&) = delete;
    ReadOnlyPlatform& operator=(const ReadOnlyPlatform&) = delete;

    Platform& platform() { return platform_; }

private:
    ReadOnlyRegistry registry_;
    ReadOnlyFileSystem files_;
    ReadOnlyShell shell_;
    ReadOnlyClipboard clipboard_;
    Platform platform_;
};

}  // namespace keltora
