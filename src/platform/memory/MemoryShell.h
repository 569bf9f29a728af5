#pragma once
// The shell as tests want it: a Recycle Bin that holds what a test puts in, and a record of
// every document opened and every program run, with the result of a run scripted by the test.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace keltora {

struct ShellCall {
    std::string target;  // the document, address or program
    std::string parameters;
    std::uint32_t timeoutMs = 0;  // runs only
};

class MemoryShell : public Shell {
public:
    using RunHandler = std::function<std::optional<std::uint32_t>(const ShellCall&)>;

    bool open(const std::string& target, const std::string& parameters) override;
    std::optional<std::uint32_t> shell32Version() override { return version_; }
    std::optional<RecycleBinInfo> queryRecycleBin() override;
    bool emptyRecycleBin(std::uint32_t flags) override;
    using Shell::runAndWait;
    std::optional<std::uint32_t> runAndWait(const std::string& program, const std::string& parameters,
                                            std::uint32_t timeoutMs, const std::function<void()>& whileWaiting,
                                            long* startError) override;
    std::string windowsFolder() override { return windowsFolder_; }
    std::optional<std::vector<std::u16string>> sessionPrograms() override { return programs; }
    std::u16string knownFolder(KnownFolder folder, KnownFolderPath which) override;

    // Setup.
    void recycle(const std::string& name, std::int64_t size);
    // No Recycle Bin to ask (the query and the emptying fail), as on a shell without them.
    void setRecycleBinAvailable(bool available) { binAvailable_ = available; }
    // Major version in the high 16 bits, minor in the low; nullopt: shell32 cannot be read.
    void setShell32Version(std::optional<std::uint32_t> version) { version_ = version; }
    void setOpenResult(bool accepted) { openResult_ = accepted; }
    // Decides the exit code of each run (nullopt: not started or timed out); by default 0.
    void onRun(RunHandler handler) { onRun_ = std::move(handler); }
    // What knownFolder reports (empty: the system reports none): by default the current path,
    // as the user's own settings may redirect it. Both paths start as the folders of the test user
    // "pat" on drive C:.
    void setKnownFolder(KnownFolder folder, std::u16string path, KnownFolderPath which = KnownFolderPath::Current);
    // Every run from now on fails to start with this system error (0: runs start again).
    void setStartError(long error) { startError_ = error; }

    // What sessionPrograms() reports.
    std::optional<std::vector<std::u16string>> programs = std::vector<std::u16string>{u"explorer.exe"};

    // Inspection.
    const std::vector<ShellCall>& opened() const { return opened_; }
    const std::vector<ShellCall>& runs() const { return runs_; }
    // The flags of every emptying asked for, in order.
    const std::vector<std::uint32_t>& emptyings() const { return emptyings_; }
    std::size_t recycledItems() const { return recycled_.size(); }

private:
    struct Recycled {
        std::string name;
        std::int64_t size;
    };
    std::vector<Recycled> recycled_;
    bool binAvailable_ = true;
    std::optional<std::uint32_t> version_ = 0x00060000;
    bool openResult_ = true;
    RunHandler onRun_;
    long startError_ = 0;
    std::string windowsFolder_ = "C:\\Windows";
    static const std::map<KnownFolder, std::u16string> kPatsFolders;
    std::map<KnownFolder, std::u16string> knownFolders_ = kPatsFolders;
    std::map<KnownFolder, std::u16string> defaultFolders_ = kPatsFolders;
    std::vector<ShellCall> opened_, runs_;
    std::vector<std::uint32_t> emptyings_;
};

}  // namespace keltora
