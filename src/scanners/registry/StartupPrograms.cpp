#include "scanners/registry/StartupPrograms.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"
#include "scan/FileListing.h"
#include "scan/FileRemoval.h"
#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Rarely Used(Remove)";

struct RunSource {
    HKey root;
    const char* path;
    const char* location;
    bool skipOwn;
    int rampTo;
};

// The three Run keys in scan order, with the position the bar reaches after each.
constexpr RunSource kRunSources[] = {
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
     "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", true, 60},
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", false, 80},
    {kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
     "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", false, 90},
};

const RunSource* runSourceFor(const std::string& location) {
    for (const auto& source : kRunSources)
        if (location == source.location) return &source;
    return nullptr;
}

}  // namespace

// Names are listed exactly: a value whose name the ANSI calls cannot carry is shown by its ANSI
// form and carries its own; only the program's own value itself, not a look-alike, is passed over.
void StartupPrograms::scanRunKey(ScanRun& run, HKey root, const std::string& path, const std::string& location,
                                 bool skipOwn) {
    auto& platform = context_.platform;
    for (auto& [name, data] : ListValues(platform, root, platform.codePage.toWide(path))) {
        if (ignored(name.ansi) || (skipOwn && name.exact && name.ansi == kOwnRunValue)) continue;
        run.add(Finding{name.ansi, {kRepairReport, std::move(data), location}, true, name.identity()});
    }
}

void StartupPrograms::scanStartupFolder(ScanRun& run) {
    Platform& platform = context_.platform;
    // Without a usable folder the listing would run against the current drive's root.
    const auto folder = ValueFolder(platform, ShellFolder(platform.registry, "Startup"));
    if (!folder) return;
    std::vector<FoundPath> found;
    CollectEntries(platform, *folder, u"*.*", found);
    for (const auto& file : found) {
        const std::string& name = file.file.name;
        if (name == "desktop.ini" || ignored(name)) continue;
        run.add(FileFinding(file, {kRepairReport, name, folder->ansi}), true);
    }
}

void StartupPrograms::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 200}, {"Repair Report", 200}, {"Detail Info", 250}, {"Registry Location", 250}});
    context_.ramp(0, 30);
    int position = 30;
    for (const auto& source : kRunSources) {
        scanRunKey(run, source.root, source.path, source.location, source.skipOwn);
        context_.ramp(position, source.rampTo);
        position = source.rampTo;
    }
    scanStartupFolder(run);
    context_.ramp(90, 100);
}

RemovalOutcome StartupPrograms::removeOne(RegistryRemoval& room, FileRemoval& files, const Finding& finding) {
    const std::string& location = finding.subItem(3);
    if (const RunSource* source = runSourceFor(location))
        return RemoveListedValue(context_, room, source->root, context_.platform.codePage.toWide(source->path), finding);
    // A Startup-folder file is moved into startbug, which needs the program-files folder.
    if (!context_.paths.hasProgramFolders()) {
        startbugMissing_ = true;
        return RemovalOutcome::Left;
    }
    // The move is told to the command's undo journal before it is made.
    return files.moveInto(finding, location, context_.paths.startbug(),
                          [&room](const std::string& from, const std::string& to) { return room.allowFileMove(from, to); });
}

void StartupPrograms::remove() {
    FileRemoval files(context_);
    startbugMissing_ = false;
    {
        RemovalRun removal(context_, list());
        RegistryRemoval room(context_);
        removal.run([&](const Finding& finding) { return removeOne(room, files, finding); });
    }
    files.report();
    if (startbugMissing_) context_.host.showMessage(Paths::kMissingProgramFiles);
}

}  // namespace keltora
