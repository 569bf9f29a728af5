#pragma once
// The shell services the program uses: the Recycle Bin, opening documents and addresses, and
// starting the registry editor from the Windows folder.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace keltora {

// The folders Windows keeps for programs below the user's profile.
enum class KnownFolder {
    LocalAppData,  // %LOCALAPPDATA%: the user's own data that stays on this machine
};

struct RecycleBinInfo {
    std::int64_t size = 0;
    std::int64_t items = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // ShellExecuteA with no verb and show-normal; true when the shell accepted it.
    virtual bool open(const std::string& target, const std::string& parameters) = 0;
    // The major and minor version of shell32, nullopt when it cannot be loaded.
    virtual std::optional<std::uint32_t> shell32Version() = 0;
    // SHQueryRecycleBinA for all drives; nullopt when shell32 or the call is unavailable.
    virtual std::optional<RecycleBinInfo> queryRecycleBin() = 0;
    // SHEmptyRecycleBinA for all drives with the given flags.
    virtual bool emptyRecycleBin(std::uint32_t flags) = 0;
    // Starts a program and waits for it up to timeoutMs; the exit code, or nullopt when it could
    // not be started or did not end in time. whileWaiting, when given, is called about every
    // kWaitTickMs while the program runs, so the caller can keep its window alive. startError,
    // when given, receives the system's error code when the program could not be started at all
    // (kErrorElevationRequired when it needs an administrator's token), 0 otherwise. A program
    // named without a folder is looked up by the system's search order, the current folder
    // included: the program's own tools are always named by their full path.
    virtual std::optional<std::uint32_t> runAndWait(const std::string& program, const std::string& parameters,
                                                    std::uint32_t timeoutMs, const std::function<void()>& whileWaiting,
                                                    long* startError) = 0;
    std::optional<std::uint32_t> runAndWait(const std::string& program, const std::string& parameters,
                                            std::uint32_t timeoutMs, const std::function<void()>& whileWaiting = {}) {
        return runAndWait(program, parameters, timeoutMs, whileWaiting, nullptr);
    }
    // The system's Windows folder (GetSystemWindowsDirectory), without a trailing '\'; the one
    // shared by every session, where the system's own programs such as regedit.exe live.
    virtual std::string windowsFolder() = 0;
    // The program file names ("msedge.exe", as the system names each process's image) of the
    // processes that run in this process's session; nullopt when the system does not tell.
    virtual std::optional<std::vector<std::u16string>> sessionPrograms() = 0;
    // SHGetKnownFolderPath with KF_FLAG_DEFAULT_PATH: where Windows puts the folder below the
    // profile it records for the user, whatever a per-user setting redirects it to (a process
    // with more rights than the user never follows the user's own settings); empty when the
    // system has none.
    virtual std::u16string knownFolder(KnownFolder folder) = 0;
    static constexpr std::uint32_t kWaitTickMs = 150;
    // ERROR_ELEVATION_REQUIRED: the program asks for an administrator's token this process lacks.
    static constexpr long kErrorElevationRequired = 740;
};

}  // namespace keltora
