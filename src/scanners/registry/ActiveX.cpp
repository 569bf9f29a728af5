#include "scanners/registry/ActiveX.h"

#include "platform/Helpers.h"
#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Missing Path(Removable)";
constexpr const char16_t* kClassesKey = u"CLSID";
constexpr const char16_t* kServerKey = u"InprocServer32";
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

// The forms are tried in order up to the first that names a file; a folder does not count. A form
// the system will not tell about may be the server: the class is not called missing then.
bool ActiveX::serverPresent(const std::string& server) {
    auto& files = context_.platform.files;
    for (const auto& candidate : kCandidates) {
        const std::string rest = candidate.removed ? RemoveSubstring(candidate.removed, server) : server;
        std::uint32_t attributes = 0;
        switch (files.probe(baseFolder(candidate.base, context_.paths) + rest, &attributes)) {
            case PathPresence::Present:
                if ((attributes & kAttrDirectory) == 0) return true;
                break;
            case PathPresence::Unknown: return true;
            case PathPresence::Missing: break;
        }
    }
    return false;
}

// The server path of a class key, when it names a server that is missing: the string read of the
// default value of its InprocServer32 subkey. A path the code page cannot carry is not judged, as
// the file tests would look for another name.
std::optional<std::string> ActiveX::missingServer(HKey classKey) {
    ScopedKey server(context_.platform.registry);
    if (server.open(classKey, kServerKey, 0, kKeyRead) != kErrorSuccess) return std::nullopt;
    bool exact = true;
    std::string path = ReadTextExact(context_.platform, server.get(), u"", &exact);
    if (path.empty() || !exact || serverPresent(path)) return std::nullopt;
    return path;
}

void ActiveX::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 200}, {"Repair Report", 150}, {"Detail Info", 200}, {"Registry Location", 150}});
    context_.ramp(0, 30);
    ScopedKey classes(context_.platform.registry);
    if (classes.open(kHKeyClassesRoot, kClassesKey, 0, kKeyRead) == kErrorSuccess) {
        for (const auto& name : SubkeysOf(context_.platform, classes.get())) {
            ScopedKey classKey(context_.platform.registry);
            if (classKey.open(classes.get(), name.wide, 0, kKeyRead) != kErrorSuccess) continue;
            const auto path = missingServer(classKey.get());
            if (!path || ignored(*path)) continue;
            run.add(Finding{*path, {kRepairReport, name.ansi, kLocation}, true, name.identity()}, false);
            context_.stepBelow(kLoopLimit);
            context_.pause(kStepPauseMs);
        }
    }
    context_.ramp(kLoopLimit, 100);
}

// The class key is named by "Detail Info" below the key of "Registry Location". It goes only while
// its server is the one listed and still missing.
RemovalOutcome ActiveX::removeOne(RegistryRemoval& room, const Finding& finding) {
    const auto location = ParseLocation(finding.subItem(3));
    auto& codePage = context_.platform.codePage;
    const std::u16string name = ExactItem(finding.exactName, finding.subItem(2), codePage);
    if (!location || location->root != kHKeyClassesRoot || !IsSingleKeyName(name)) return RemovalOutcome::Left;
    const std::u16string path = JoinKey(codePage.toWide(location->path), name);
    ScopedKey classKey(context_.platform.registry);
    if (auto outcome = OpenForRecheck(classKey, kHKeyClassesRoot, path)) return *outcome;
    if (missingServer(classKey.get()) != finding.caption) return RemovalOutcome::NoLongerAFinding;
    classKey.reset();
    return room.deleteKeyTree(kHKeyClassesRoot, path);
}

void ActiveX::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
