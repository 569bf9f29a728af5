#pragma once
// The shell services the program uses: the Recycle Bin, opening documents and addresses,
// starting the registry editor from the Windows folder, and the system's known folders.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace keltora {

struct RecycleBinInfo {
    std::int64_t size = 0;
    std::int64_t items = 0;
};

// The folders the system keeps for every user and for the machine (SHGetKnownFolderPath).
enum class KnownFolder { LocalAppData, RoamingAppData, ProgramData };
// Which path of a known folder: where it is now for this process's user, as the user's own
// settings may have redirected it; or where Windows puts it below the profile it records for the
// user, whatever a per-user setting says (KF_FLAG_DEFAULT_PATH), for the program's own files,
// which a process with more rights than the user must not place where the user's settings say.
enum class KnownFolderPath { Current, Default };

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
    // A known folder as the system resolves it for this process's user (SHGetKnownFolderPath,
    // no environment variable in between), the path asked for; empty when the system reports none.
    virtual std::u16string knownFolder(KnownFolder folder, KnownFolderPath which) = 0;
    static constexpr std::uint32_t kWaitTickMs = 150;
    // ERROR_ELEVATION_REQUIRED: the program asks for an administrator's token this process lacks.
    static constexpr long kErrorElevationRequired = 740;
};

}  // namespace keltora
