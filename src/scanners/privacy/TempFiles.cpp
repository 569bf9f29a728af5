#include "scanners/privacy/TempFiles.h"

#include "platform/Helpers.h"
#include "scanners/privacy/FileFindings.h"
#include "scanners/privacy/SystemFiles.h"

namespace keltora {

namespace {
// Both temporary-file lists carry the history page's detail text, as users know it.
constexpr const char* kDetail = "All items listed in History Folder";
}  // namespace

void TempFiles::scan() {
    ScanRun run(context_, list(), FileColumns(kTempColumns));
    auto& registry = context_.platform.registry;
    std::vector<FoundPath> found;
    for (const auto& folder : {ReadSystemRoot(registry), ShellFolder(registry, "Local Settings")})
        CollectEntries(context_.platform.files, folder + "\\Temp\\", "*.tmp", found);
    AddFileFindings(run, std::move(found), kDetail);
    context_.ramp(0, 100);
}

void TempFiles::remove() { RemoveCheckedFiles(context_, list()); }

void TemporaryIE::scan() {
    ScanRun run(context_, list(), FileColumns(kErrorColumns));
    const std::string cache = ShellFolder(context_.platform.registry, "Cache");
    AddFileFindings(run, WalkStore(context_.platform.files, cache + "\\Content.IE5\\"), kDetail);
    context_.ramp(0, 100);
}

void TemporaryIE::remove() { RemoveCheckedFiles(context_, list()); }

}  // namespace keltora
