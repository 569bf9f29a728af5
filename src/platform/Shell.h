#pragma once
// The shell services the program uses: the Recycle Bin, opening documents and addresses, and
// starting the registry editor.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace keltora {

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
    // kWaitTickMs while the program runs, so the caller can keep its window alive.
    virtual std::optional<std::uint32_t> runAndWait(const std::string& program, const std::string& parameters,
                                                    std::uint32_t timeoutMs,
                                                    const std::function<void()>& whileWaiting) = 0;
    std::optional<std::uint32_t> runAndWait(const std::string& program, const std::string& parameters,
                                            std::uint32_t timeoutMs) {
        return runAndWait(program, parameters, timeoutMs, {});
    }
    static constexpr std::uint32_t kWaitTickMs = 150;
};

}  // namespace keltora
