#include "scanners/registry/FileExtensions.h"

#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Unused Extension(Removable)";
constexpr const char* kDetail = "Empty Key";
constexpr int kLoopLimit = 60;

// The machine's classes, then the user's, each as itself: HKEY_CLASSES_ROOT shows the user's over
// the machine's, and a delete through it would take the user's copy and let the machine's show.
constexpr ScanSource kSources[] = {
    {kHKeyLocalMachine, "SOFTWARE\\Classes"},
    {kHKeyCurrentUser, "Software\\Classes"},
};

// Where an extension key names its handlers: the "Open with" lists hold one value per handler,
// the shell key one subkey per verb.
struct AssociationKey {
    const char16_t* name;
    bool verbs;  // counted by subkeys, else by values
};
constexpr AssociationKey kAssociationKeys[] = {
    {u"OpenWithProgids", false},
    {u"OpenWithList", false},
    {u"shell", true},
};

std::string asciiCase(std::string text, bool upper) {
    for (char& c : text) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}


}  // namespace

// Subkeys are opened by name, so their names are compared without regard to case, as the
// registry compares them. One that is a registry link may lead to handlers, which Windows would
// find there: the extension is not called unused.
bool FileExtensions::hasAssociations(HKey extension) {
    auto& api = context_.platform.registry;
    for (const auto& association : kAssociationKeys) {
        ScopedKey key(api);
        KeyInfo info;
        const long rc = key.openChild(extension, association.name, kKeyRead);
        if (rc == kErrorLinkOnPath) return true;
        if (rc != kErrorSuccess || api.queryInfoKey(key.get(), info) != kErrorSuccess) continue;
        if ((association.verbs ? info.subKeys : info.values) > 0) return true;
    }
    return false;
}

// An open extension key whose default value reads as empty text and that names no handlers.
bool FileExtensions::unused(HKey extension) {
    return ReadTextExact(context_.platform, extension, u"").empty() && !hasAssociations(extension);
}

// Only the all-upper and all-lower forms of a later finding count as repeats of an earlier one of
// the same classes (the rows from `first` on).
bool FileExtensions::duplicateOfEarlier(const std::string& extension, std::size_t first, std::size_t row) const {
    const std::string upper = asciiCase(extension, true), lower = asciiCase(extension, false);
    for (std::size_t earlier = first; earlier < row; ++earlier) {
        const std::string& caption = list().at(earlier).caption;
        if (caption == upper || caption == lower) return true;
    }
    return false;
}

// The subkeys of one classes key, each read as the extension key "." and its name less its first
// character, in that same key.
void FileExtensions::scanSource(ScanRun& run, const ScanSource& source) {
    auto& platform = context_.platform;
    const std::u16string classesPath = source.widePath();
    const std::string location = LocationText(source);
    const std::size_t first = list().size();
    ScopedKey classes(platform.registry);
    if (classes.openExact(source.root, classesPath, kKeyRead) != kErrorSuccess) return;
    for (const auto& name : SubkeysOf(platform, classes.get())) {
        const ListedName extension = NameOf(platform.codePage, u"." + name.wide.substr(name.wide.empty() ? 0 : 1));
        ScopedKey key(platform.registry);
        if (key.openChild(classes.get(), extension.wide, kKeyRead) != kErrorSuccess || !unused(key.get()) ||
            ignored(extension.ansi))
            continue;
        const std::size_t row =
            run.add(Finding{extension.ansi, {kRepairReport, kDetail, location}, true, extension.identity()}, false);
        list().select(static_cast<int>(row));
        if (duplicateOfEarlier(extension.ansi, first, row)) list().remove(row);
        // A repeat costs its step and pause as well.
        context_.stepBelow(kLoopLimit);
        context_.pause(kStepPauseMs);
    }
}

void FileExtensions::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 100}, {"Repair Report", 200}, {"Detail Info", 150}, {"Registry Location", 150}});
    context_.ramp(0, 30);
    for (const auto& source : kSources) scanSource(run, source);
    context_.ramp(kLoopLimit, 100);
}

// The extension key goes only from the classes its finding names, and only while it is still
// unused there: no file type, no handlers.
RemovalOutcome FileExtensions::removeOne(RegistryRemoval& room, const Finding& finding) {
    const ScanSource* source = SourceAt(kSources, finding.subItem(3));
    auto& codePage = context_.platform.codePage;
    const std::u16string extension = ExactItem(finding.exactName, finding.caption, codePage);
    if (source == nullptr || !IsSingleKeyName(extension)) return RemovalOutcome::Left;
    const std::u16string path = JoinKey(source->widePath(), extension);
    ScopedKey key(context_.platform.registry);
    if (auto outcome = room.openForRecheck(key, source->root, path)) return *outcome;
    if (!unused(key.get())) return RemovalOutcome::NoLongerAFinding;
    key.reset();
    return room.deleteKeyTree(source->root, path);
}

void FileExtensions::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
