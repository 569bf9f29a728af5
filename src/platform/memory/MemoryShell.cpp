#include "platform/memory/MemoryShell.h"

namespace keltora {

bool MemoryShell::open(const std::string& target, const std::string& parameters) {
    opened_.push_back(ShellCall{target, parameters, 0});
    return openResult_;
}

std::optional<RecycleBinInfo> MemoryShell::queryRecycleBin() {
    if (!binAvailable_) return std::nullopt;
    RecycleBinInfo info;
    for (const auto& item : recycled_) info.size += item.size;
    info.items = static_cast<std::int64_t>(recycled_.size());
    return info;
}

bool MemoryShell::emptyRecycleBin(std::uint32_t flags) {
    emptyings_.push_back(flags);
    if (!binAvailable_) return false;
    recycled_.clear();
    return true;
}

std::optional<std::uint32_t> MemoryShell::runAndWait(const std::string& program, const std::string& parameters,
                                                     std::uint32_t timeoutMs,
                                                     const std::function<void()>& whileWaiting, long* startError) {
    runs_.push_back(ShellCall{program, parameters, timeoutMs});
    if (startError) *startError = startError_;
    if (startError_ != 0) return std::nullopt;
    // A program here ends at once, after the caller has seen one tick of its wait.
    if (whileWaiting) whileWaiting();
    return onRun_ ? onRun_(runs_.back()) : std::optional<std::uint32_t>(0);
}

void MemoryShell::recycle(const std::string& name, std::int64_t size) { recycled_.push_back(Recycled{name, size}); }

const std::map<KnownFolder, std::u16string> MemoryShell::kPatsFolders{
    {KnownFolder::LocalAppData, u"C:\\Users\\pat\\AppData\\Local"},
    {KnownFolder::RoamingAppData, u"C:\\Users\\pat\\AppData\\Roaming"},
    {KnownFolder::ProgramData, u"C:\\ProgramData"},
};

std::u16string MemoryShell::knownFolder(KnownFolder folder, KnownFolderPath which) {
    const auto& folders = which == KnownFolderPath::Default ? defaultFolders_ : knownFolders_;
    const auto found = folders.find(folder);
    return found == folders.end() ? std::u16string() : found->second;
}

void MemoryShell::setKnownFolder(KnownFolder folder, std::u16string path, KnownFolderPath which) {
    (which == KnownFolderPath::Default ? defaultFolders_ : knownFolders_)[folder] = std::move(path);
}

}  // namespace keltora
