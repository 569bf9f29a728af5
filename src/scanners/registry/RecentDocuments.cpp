#include "scanners/registry/RecentDocuments.h"

#include "platform/Helpers.h"
#include "scan/FileListing.h"
#include "scan/FileRemoval.h"
#include "scan/UserFolder.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Remove";
constexpr const char* kDetail = "All items listed in Recent Documents";

}  // namespace

void RecentDocuments::scan() {
    ScanRun run(context_, list(),
                {{"File Names", 180}, {"Repair Report", 100}, {"Detail Info", 220}, {"Path Location", 250}, {"Size", 100}});
    Platform& platform = context_.platform;
    // Without a usable folder the search would run against the current drive's root.
    if (const auto folder = UserShellFolder(context_, "Recent")) {
        std::vector<FoundPath> found;
        CollectEntries(platform, *folder, u"*.lnk", found);
        for (const auto& file : found) {
            // A folder whose name ends in ".lnk" is no shortcut and could not be deleted as one.
            if (file.file.isDirectory() || ignored(file.file.name)) continue;
            // The size of the very entry listed: its ANSI path could name another file.
            const std::string size = SizeText(static_cast<std::int64_t>(file.file.size));
            run.add(FileFinding(file, {kRepairReport, kDetail, file.folder().column(), size}), false);
        }
    }
    context_.ramp(0, 100);
}

void RecentDocuments::remove() {
    FileRemoval files(context_);
    {
        RemovalRun removal(context_, list());
        removal.run([&files](const Finding& finding) { return files.remove(finding, finding.subItem(3)); });
    }
    files.report();
}

}  // namespace keltora
