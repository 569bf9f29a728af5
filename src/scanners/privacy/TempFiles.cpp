#include "scanners/privacy/TempFiles.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"
#include "scanners/privacy/FileFindings.h"
#include "scanners/privacy/SystemFiles.h"

namespace keltora {

namespace {
// Both temporary-file lists carry the history page's detail text, as users know it.
constexpr const char* kDetail = "All items listed in History Folder";

bool shellFolderValueExists(RegistryApi& registry, const std::string& name) {
    TRegistry reg(registry, kKeyRead);
    reg.SetRootKey(kHKeyCurrentUser);
    return reg.OpenKey("\\" + std::string(kShellFoldersKey), false) && reg.ValueExists(name);
}

// The user's Temp folder: below "Local Settings" where that value is there; where it is missing
// (as on every Windows since Vista), the temporary folder the system reports.
std::optional<ListedFolder> userTemp(Platform& platform) {
    if (!shellFolderValueExists(platform.registry, "Local Settings"))
        return ValueFolder(platform, platform.files.temporaryFolder());
    const auto settings = ValueFolder(platform, ShellFolder(platform.registry, "Local Settings"));
    return settings ? Subfolder(platform, *settings, u"Temp") : std::nullopt;
}

}  // namespace

std::vector<FoundPath> TempFilesListing(Platform& platform) {
    std::vector<FoundPath> found;
    if (const auto windows = ValueFolder(platform, ReadSystemRoot(platform.registry)))
        if (const auto temp = Subfolder(platform, *windows, u"Temp")) CollectEntries(platform, *temp, u"*.tmp", found);
    if (const auto temp = userTemp(platform)) CollectEntries(platform, *temp, u"*.tmp", found);
    return found;
}

std::vector<FoundPath> CacheStoreListing(Platform& platform) {
    if (const auto cache = ValueFolder(platform, ShellFolder(platform.registry, "Cache")))
        if (const auto store = Subfolder(platform, *cache, u"Content.IE5")) return WalkStore(platform, *store);
    return {};
}

void TempFiles::scan() {
    ScanRun run(context_, list(), FileColumns(kTempColumns));
    AddFileFindings(run, TempFilesListing(context_.platform), kDetail);
    context_.ramp(0, 100);
}

void TempFiles::remove() { RemoveCheckedFiles(context_, list()); }

void TemporaryIE::scan() {
    ScanRun run(context_, list(), FileColumns(kErrorColumns));
    AddFileFindings(run, CacheStoreListing(context_.platform), kDetail);
    context_.ramp(0, 100);
}

void TemporaryIE::remove() { RemoveCheckedFiles(context_, list()); }

}  // namespace keltora
