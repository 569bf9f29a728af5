#include "scanners/registry/ActiveX.h"

#include "platform/Helpers.h"
#include "scanners/registry/KeyTools.h"
#include "scanners/registry/RegistryViews.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Missing Path(Removable)";
constexpr const char16_t* kServerKey = u"InprocServer32";
constexpr int kLoopLimit = 70;

// The class keys in scan order: the machine's and the user's, each in both views, each as
// itself. HKEY_CLASSES_ROOT merges the user's over the machine's, and a delete through it takes
// the user's copy, letting the machine's show through; so no class is ever reached through it.
constexpr ScanSource kSources[] = {
    {kHKeyLocalMachine, "SOFTWARE\\Classes\\CLSID"},
    {kHKeyLocalMachine, "SOFTWARE\\Classes\\WOW6432Node\\CLSID"},
    {kHKeyCurrentUser, "Software\\Classes\\CLSID"},
    {kHKeyCurrentUser, "Software\\Classes\\WOW6432Node\\CLSID"},
};

// The forms of a server path tried in order, each from the path as read with its environment
// variables expanded (never from an earlier form): without its double quotes, as it is, and a
// bare file name in the system folder.
enum class Form { Unquoted, AsIs, InSystemFolder };
constexpr Form kForms[] = {Form::Unquoted, Form::AsIs, Form::InSystemFolder};

std::string formOf(Form form, const std::string& path, const Paths& paths) {
    switch (form) {
        case Form::Unquoted: return RemoveSubstring("\"", path);
        case Form::AsIs: break;
        case Form::InSystemFolder: return paths.systemRoot + "\\system32\\" + path;
    }
    return path;
}

}  // namespace

// The forms are tried in order up to the first that names a file; a folder does not count. A form
// the system will not tell about may be the server: the class is not called missing then. Each
// form is looked for where the class's own programs would load it from.
bool ActiveX::serverPresent(const std::string& server, RegistryView view) {
    auto& files = context_.platform.files;
    const FileView seenAs(view, context_.paths.systemRoot);
    for (const Form form : kForms) {
        std::uint32_t attributes = 0;
        switch (files.probe(seenAs(formOf(form, server, context_.paths)), &attributes)) {
            case PathPresence::Present:
                if ((attributes & kAttrDirectory) == 0) return true;
                break;
            case PathPresence::Unknown: return true;
            case PathPresence::Missing: break;
        }
    }
    return false;
}

// The server path of a class key, when it names a server that is missing: the default value of
// its InprocServer32 subkey as read (a string of any of the string types, read whole), missing
// when every path it names is (each string of a list, its environment variables expanded as the
// class's own programs expand them). Data that cannot be judged (another type, a path the code page
// cannot carry, a variable without a value) names no missing server.
std::optional<std::string> ActiveX::missingServer(HKey classKey, RegistryView view) {
    auto& platform = context_.platform;
    ScopedKey server(platform.registry);
    if (server.openChild(classKey, kServerKey, kKeyRead) != kErrorSuccess) return std::nullopt;
    std::string path = ReadTextExact(platform, server.get(), u"");
    const auto texts = ReadPathTexts(platform, server.get(), u"", view, true);
    if (path.empty() || !texts || texts->empty()) return std::nullopt;
    for (const auto& text : *texts)
        if (serverPresent(text, view)) return std::nullopt;
    return path;
}

void ActiveX::scanSource(ScanRun& run, const ScanSource& source) {
    auto& platform = context_.platform;
    const std::u16string path = source.widePath();
    const RegistryView view = ViewOfKey(path);
    const std::string location = LocationText(source);
    ScopedKey classes(platform.registry);
    if (classes.openExact(source.root, path, kKeyRead) != kErrorSuccess) return;
    for (const auto& name : SubkeysOf(platform, classes.get())) {
        ScopedKey classKey(platform.registry);
        if (classKey.openChild(classes.get(), name.wide, kKeyRead) != kErrorSuccess) continue;
        const auto server = missingServer(classKey.get(), view);
        if (!server || ignored(*server)) continue;
        run.add(Finding{*server, {kRepairReport, name.ansi, location}, true, name.identity()}, false);
        context_.stepBelow(kLoopLimit);
        context_.pause(kStepPauseMs);
    }
}

void ActiveX::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 200}, {"Repair Report", 150}, {"Detail Info", 200}, {"Registry Location", 150}});
    context_.ramp(0, 30);
    for (const auto& source : kSources) scanSource(run, source);
    context_.ramp(kLoopLimit, 100);
}

// The class key is named by "Detail Info" below the key of "Registry Location", which must be one
// the scan lists. It goes only while its server is the one listed and still missing.
RemovalOutcome ActiveX::removeOne(RegistryRemoval& room, const Finding& finding) {
    const ScanSource* source = SourceAt(kSources, finding.subItem(3));
    auto& codePage = context_.platform.codePage;
    const std::u16string name = ExactItem(finding.exactName, finding.subItem(2), codePage);
    if (source == nullptr || !IsSingleKeyName(name)) return RemovalOutcome::Left;
    const std::u16string path = JoinKey(source->widePath(), name);
    ScopedKey classKey(context_.platform.registry);
    if (auto outcome = room.openForRecheck(classKey, source->root, path)) return *outcome;
    if (missingServer(classKey.get(), ViewOfKey(path)) != finding.caption) return RemovalOutcome::NoLongerAFinding;
    classKey.reset();
    return room.deleteKeyTree(source->root, path);
}

void ActiveX::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
