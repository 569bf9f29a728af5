#include "scanners/registry/StartupPrograms.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"

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

void StartupPrograms::scanRunKey(ScanRun& run, HKey root, const std::string& path, const std::string& location,
                                 bool skipOwn) {
    std::vector<std::string> names;
    {
        TRegistry reg(context_.platform.registry);
        reg.SetRootKey(root);
        if (reg.OpenKey("\\" + path, false)) reg.GetValueNames(names);
    }
    for (const auto& name : names) {
        if (ignored(name) || (skipOwn && name == kOwnRunValue)) continue;
        std::string data = RegReadString(context_.platform.registry, root, path, name);
        run.add(name, {kRepairReport, data, location});
    }
}

void StartupPrograms::scanStartupFolder(ScanRun& run) {
    const std::string folder = ShellFolder(context_.platform.registry, "Startup");
    // Without a folder the listing would run against the current drive's root.
    if (folder.empty()) return;
    for (const auto& name : FileNames(context_.platform.files, folder + "\\", "*.*")) {
        if (name == "desktop.ini" || name == "." || name == ".." || ignored(name)) continue;
        run.add(name, {kRepairReport, name, folder});
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

RemovalOutcome StartupPrograms::removeOne(RegistryRemoval& room, const Finding& finding) {
    const std::string& location = finding.subItem(3);
    if (const RunSource* source = runSourceFor(location)) {
        auto& codePage = context_.platform.codePage;
        return room.deleteValue(source->root, codePage.toWide(source->path), codePage.toWide(finding.caption));
    }
    // A Startup-folder finding: only a plain name inside the folder is ever moved.
    if (!IsPlainFileName(finding.caption) || location.empty()) return RemovalOutcome::Left;
    auto& files = context_.platform.files;
    const std::string from = location + "\\" + finding.caption;
    const std::string to = context_.paths.startbug() + "\\" + finding.caption;
    if (!files.exists(from)) return RemovalOutcome::Gone;
    // A file of that name in startbug already stops the move: nothing to keep for undo then.
    if (files.exists(to)) return RemovalOutcome::Left;
    if (context_.dryRun) return RemovalOutcome::Removed;
    if (!room.allowFileMove(from, to)) return RemovalOutcome::Left;
    files.moveFile(from, to);
    return files.exists(from) ? RemovalOutcome::Left : RemovalOutcome::Removed;
}

void StartupPrograms::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
