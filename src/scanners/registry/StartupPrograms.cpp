#include "scanners/registry/StartupPrograms.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"
#include "scan/FileListing.h"
#include "scan/FileRemoval.h"
#include "scan/UserFolder.h"
#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Rarely Used(Remove)";

// Where Task Manager records, item by item, whether a startup item may start: a value named like
// the item, in the StartupApproved key of the item's own hive that belongs to its source.
constexpr std::string_view kApprovedRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr std::string_view kApprovedRun32 =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run32";
constexpr ScanSource kApprovedStartupFolder = {
    kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder"};

struct RunSource {
    ScanSource key;
    std::string_view approved;  // the StartupApproved key of its items, in the same hive; none for RunOnce
    bool skipOwn;
    int rampTo;  // the bar position after it; the machine's two Run keys share one ramp
};

// The Run keys in scan order: the user's two, then the machine's for 64-bit and for 32-bit
// programs.
constexpr RunSource kRunSources[] = {
    {{kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"}, kApprovedRun, true, 60},
    {{kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"}, {}, false, 80},
    {{kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"}, kApprovedRun, false, 80},
    {{kHKeyLocalMachine, "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"}, kApprovedRun32, false,
     90},
};

const RunSource* runSourceFor(const std::string& location) {
    for (const auto& source : kRunSources)
        if (location == LocationText(source.key)) return &source;
    return nullptr;
}

// Task Manager's record of an item disabled there: a binary value whose first byte is odd (3 or
// 7; the eight bytes after the first four say when it was disabled). An item may start while the
// byte is even (2 or 6), and when there is no record or one of another form.
bool DisabledIn(RegistryApi& api, HKey approvals, const std::u16string& name) {
    RegistryData record;
    if (approvals == 0 || ReadValueW(api, approvals, name, record) != kErrorSuccess) return false;
    return record.type == kRegBinary && !record.bytes.empty() && (record.bytes[0] & 1) != 0;
}

}  // namespace

// Names are listed exactly: a value whose name the ANSI calls cannot carry is shown by its ANSI
// form and carries its own; only the program's own value itself, not a look-alike, is passed over.
// An item disabled in Task Manager is listed unchecked.
void StartupPrograms::scanRunKey(ScanRun& run, const ScanSource& key, std::string_view approved, bool skipOwn) {
    auto& platform = context_.platform;
    const std::string location = LocationText(key);
    ScopedKey approvals(platform.registry);
    if (!approved.empty()) approvals.openExact(key.root, ScanSource{key.root, approved}.widePath(), kKeyRead);
    for (auto& [name, data] : ListValues(platform, key.root, key.widePath())) {
        if (ignored(name.ansi) || (skipOwn && name.exact && name.ansi == kOwnRunValue)) continue;
        const std::size_t row =
            run.add(Finding{name.ansi, {kRepairReport, std::move(data), location}, true, name.identity()});
        if (DisabledIn(platform.registry, approvals.get(), name.wide)) list().setChecked(row, false);
    }
}

void StartupPrograms::scanStartupFolder(ScanRun& run) {
    Platform& platform = context_.platform;
    // Without a usable folder the listing would run against the current drive's root.
    const auto folder = UserShellFolder(context_, "Startup");
    if (!folder) return;
    std::vector<FoundPath> found;
    CollectEntries(platform, *folder, u"*.*", found);
    ScopedKey approvals(platform.registry);
    approvals.openExact(kApprovedStartupFolder.root, kApprovedStartupFolder.widePath(), kKeyRead);
    for (const auto& file : found) {
        const std::string& name = file.file.name;
        if (name == "desktop.ini" || ignored(name)) continue;
        const std::size_t row = run.add(FileFinding(file, {kRepairReport, name, folder->ansi}), true);
        if (DisabledIn(platform.registry, approvals.get(), file.name())) list().setChecked(row, false);
    }
}

void StartupPrograms::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 200}, {"Repair Report", 200}, {"Detail Info", 250}, {"Registry Location", 250}});
    context_.ramp(0, 30);
    int position = 30;
    for (const auto& source : kRunSources) {
        scanRunKey(run, source.key, source.approved, source.skipOwn);
        if (source.rampTo == position) continue;
        context_.ramp(position, source.rampTo);
        position = source.rampTo;
    }
    scanStartupFolder(run);
    context_.ramp(90, 100);
}

// What Task Manager recorded of an item goes with the item, through the same room.
void StartupPrograms::forgetApproval(RegistryRemoval& room, const ScanSource& approvals, const Finding& finding) {
    auto& codePage = context_.platform.codePage;
    room.deleteValue(approvals.root, approvals.widePath(),
                     ExactItem(finding.exactName, finding.caption, codePage));
}

RemovalOutcome StartupPrograms::removeOne(RegistryRemoval& room, FileRemoval& files, const Finding& finding) {
    const std::string& location = finding.subItem(3);
    if (const RunSource* source = runSourceFor(location)) {
        const std::u16string path = source->key.widePath();
        const RemovalOutcome outcome = RemoveListedValue(context_, room, source->key.root, path, finding);
        if (RemovedOrPending(outcome) && !source->approved.empty())
            forgetApproval(room, {source->key.root, source->approved}, finding);
        return outcome;
    }
    // A Startup-folder file is moved into startbug, which needs the program-files folder.
    if (!context_.paths.hasProgramFolders()) {
        startbugMissing_ = true;
        return RemovalOutcome::Left;
    }
    // The move is told to the command's undo journal before it is made.
    const RemovalOutcome outcome =
        files.moveInto(finding, location, context_.paths.startbug(),
                       [&room](const std::string& from, const std::string& to, const FileIdentity& moved) {
                           return room.allowFileMove(from, to, moved);
                       },
                       [&room](bool arrived) { room.fileMoveDone(arrived); });
    if (outcome == RemovalOutcome::Removed) forgetApproval(room, kApprovedStartupFolder, finding);
    return outcome;
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
