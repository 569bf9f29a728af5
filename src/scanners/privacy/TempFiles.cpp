#include "scanners/privacy/TempFiles.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"
#include "scan/UserFolder.h"
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
// (as on every Windows since Vista), the temporary folder the system reports, which it takes from
// the user's TMP and TEMP. Both are the user's to set, so both stay inside the user's profile.
std::optional<ListedFolder> userTemp(ScanContext& context) {
    Platform& platform = context.platform;
    if (!shellFolderValueExists(platform.registry, "Local Settings"))
        return UserFolder(context, "the temporary folder (TMP, TEMP)", platform.files.temporaryFolder());
    const auto settings = UserShellFolder(context, "Local Settings");
    return settings ? Subfolder(platform, *settings, u"Temp") : std::nullopt;
}

}  // namespace

std::vector<FoundPath> TempFilesListing(ScanContext& context) {
    Platform& platform = context.platform;
    std::vector<FoundPath> found;
    if (const auto windows = ValueFolder(platform, ReadSystemRoot(platform.registry)))
        if (const auto temp = Subfolder(platform, *windows, u"Temp")) CollectEntries(platform, *temp, u"*.tmp", found);
    if (const auto temp = userTemp(context)) CollectEntries(platform, *temp, u"*.tmp", found);
    return found;
}

std::vector<FoundPath> CacheStoreListing(ScanContext& context) {
    if (const auto cache = UserShellFolder(context, "Cache"))
        if (const auto store = Subfolder(context.platform, *cache, u"Content.IE5")) return WalkStore(context.platform, *store);
    return {};
}

void TempFiles::scan() {
    ScanRun run(context_, list(), FileColumns(kTempColumns));
    AddFileFindings(run, TempFilesListing(context_), kDetail);
    context_.ramp(0, 100);
}

void TempFiles::remove() { RemoveCheckedFiles(context_, list()); }

void TemporaryIE::scan() {
    ScanRun run(context_, list(), FileColumns(kErrorColumns));
    AddFileFindings(run, CacheStoreListing(context_), kDetail);
    context_.ramp(0, 100);
}

void TemporaryIE::remove() { RemoveCheckedFiles(context_, list()); }

}  // namespace keltora
