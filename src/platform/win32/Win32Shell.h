#pragma once
// The shell through shell32 and version.dll, and process start through kernel32.
#include "platform/Shell.h"

namespace keltora {

class Win32Shell final : public Shell {
public:
    bool open(const std::string& target, const std::string& parameters) override;
    std::optional<std::uint32_t> shell32Version() override;
    std::optional<RecycleBinInfo> queryRecycleBin() override;
    bool emptyRecycleBin(std::uint32_t flags) override;
    using Shell::runAndWait;
    std::optional<std::uint32_t> runAndWait(const std::string& program, const std::string& parameters,
                                            std::uint32_t timeoutMs, const std::function<void()>& whileWaiting,
                                            long* startError) override;
    std::string windowsFolder() override;
    std::optional<std::vector<std::u16string>> sessionPrograms() override;
    std::u16string knownFolder(KnownFolder folder, KnownFolderPath which) override;
};

}  // namespace keltora
