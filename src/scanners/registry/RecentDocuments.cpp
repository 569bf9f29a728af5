#include "scanners/registry/RecentDocuments.h"

#include "platform/Helpers.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Remove";
constexpr const char* kDetail = "All items listed in Recent Documents";

}  // namespace

void RecentDocuments::scan() {
    ScanRun run(context_, list(),
                {{"File Names", 180}, {"Repair Report", 100}, {"Detail Info", 220}, {"Path Location", 250}, {"Size", 100}});
    auto& files = context_.platform.files;
    const std::string folder = ShellFolder(context_.platform.registry, "Recent");
    // Without a folder the search would run against the current drive's root.
    if (!folder.empty()) {
        const std::string location = folder + "\\";
        for (const auto& found : files.find(location + "*.lnk")) {
            // A folder whose name ends in ".lnk" is no shortcut and could not be deleted as one.
            if (found.isDirectory() || ignored(found.name)) continue;
            const std::string size = SizeText(FileSizeText(files, location + found.name));
            run.add(found.name, {kRepairReport, kDetail, location, size}, false);
        }
    }
    context_.ramp(0, 100);
}

// Only a plain name inside the folder of the finding is ever deleted.
bool RecentDocuments::removeOne(const Finding& finding) {
    const std::string& folder = finding.subItem(3);
    if (!IsPlainFileName(finding.caption) || folder.empty() || folder.back() != '\\') return false;
    auto& files = context_.platform.files;
    const std::string path = folder + finding.caption;
    if (files.exists(path)) files.deleteFile(path);
    return !files.exists(path);
}

void RecentDocuments::remove() {
    RemovalRun removal(context_, list());
    removal.run([this](const Finding& finding) { return removeOne(finding); });
}

}  // namespace keltora
