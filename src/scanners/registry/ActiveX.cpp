#include "scanners/registry/ActiveX.h"

#include "platform/Helpers.h"
#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Missing Path(Removable)";
constexpr const char* kClassesKey = "CLSID";
constexpr const char* kLocation = "HKCR\\CLSID";
constexpr int kLoopLimit = 70;

// The folder put in front of a candidate.
enum class Base { None, ProgramFiles, SystemRoot, SystemFolder, CommonFiles };

// One form of the server path: the path with every occurrence of a text removed (always from the
// path as read, never from an earlier candidate), behind a folder. Only these spellings of the
// variables are expanded; any other spelling is looked for as written.
struct Candidate {
    Base base;
    const char* removed;  // nullptr: the path unchanged
};

constexpr Candidate kCandidates[] = {
    {Base::None, "\""},
    {Base::ProgramFiles, "%ProgramFiles%"},
    {Base::SystemRoot, "%SystemRoot%"},
    {Base::SystemRoot, "%systemroot%"},
    {Base::None, nullptr},
    {Base::SystemFolder, nullptr},  // a bare file name is looked for in the system folder
    {Base::SystemRoot, "%windir%"},
    {Base::SystemRoot, "%Systemroot%"},
    {Base::SystemRoot, "%Windir%"},
    {Base::ProgramFiles, "%programFiles%"},
    {Base::CommonFiles, "%CommonProgramFiles%"},
};

std::string baseFolder(Base base, const Paths& paths) {
    switch (base) {
        case Base::ProgramFiles: return paths.programFiles;
        case Base::SystemRoot: return paths.systemRoot;
        case Base::SystemFolder: return paths.systemRoot + "\\system32\\";
        case Base::CommonFiles: return paths.commonFiles;
        case Base::None: break;
    }
    return {};
}

}  // namespace

// The forms are tried in order up to the first that names a file; a folder does not count.
bool ActiveX::serverPresent(const std::string& server) {
    auto& files = context_.platform.files;
    for (const auto& candidate : kCandidates) {
        const std::string rest = candidate.removed ? RemoveSubstring(candidate.removed, server) : server;
        const auto attributes = files.attributes(baseFolder(candidate.base, context_.paths) + rest);
        if (attributes && (*attributes & kAttrDirectory) == 0) return true;
    }
    return false;
}

void ActiveX::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 200}, {"Repair Report", 150}, {"Detail Info", 200}, {"Registry Location", 150}});
    context_.ramp(0, 30);
    auto& api = context_.platform.registry;
    for (const auto& name : SubkeyNames(api, kHKeyClassesRoot, kClassesKey)) {
        if (!IsSingleKeyName(name)) continue;
        OpenedKey server(api);
        if (!server.open(kHKeyClassesRoot, JoinKey(JoinKey(kClassesKey, name), "InprocServer32"), kKeyAllAccess))
            continue;
        const std::string path = ReadText(api, server.get(), "");
        if (path.empty() || serverPresent(path) || ignored(path)) continue;
        run.add(path, {kRepairReport, name, kLocation}, false);
        context_.stepBelow(kLoopLimit);
        context_.pause(kStepPauseMs);
    }
    context_.ramp(kLoopLimit, 100);
}

// The class key is named by "Detail Info" below the key of "Registry Location".
RemovalOutcome ActiveX::removeOne(RegistryRemoval& room, const Finding& finding) {
    const auto location = ParseLocation(finding.subItem(3));
    const std::string& name = finding.subItem(2);
    if (!location || location->root != kHKeyClassesRoot || !IsSingleKeyName(name)) return RemovalOutcome::Left;
    return room.deleteKeyTree(kHKeyClassesRoot, context_.platform.codePage.toWide(JoinKey(location->path, name)));
}

void ActiveX::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
