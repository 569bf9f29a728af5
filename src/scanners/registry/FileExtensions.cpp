#include "scanners/registry/FileExtensions.h"

#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Unused Extension(Removable)";
constexpr const char* kDetail = "Empty Key";
constexpr const char* kLocation = "HKCR";
constexpr int kLoopLimit = 60;

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
// registry compares them.
bool FileExtensions::hasAssociations(HKey extension) {
    auto& api = context_.platform.registry;
    for (const auto& association : kAssociationKeys) {
        ScopedKey key(api);
        KeyInfo info;
        if (key.open(extension, association.name, 0, kKeyRead) != kErrorSuccess ||
            api.queryInfoKey(key.get(), info) != kErrorSuccess)
            continue;
        if ((association.verbs ? info.subKeys : info.values) > 0) return true;
    }
    return false;
}

// An open extension key whose default value reads as empty text and that names no handlers.
bool FileExtensions::unused(HKey extension) {
    return ReadTextExact(context_.platform, extension, u"").empty() && !hasAssociations(extension);
}

// Only the all-upper and all-lower forms of a later finding count as repeats of an earlier one.
bool FileExtensions::duplicateOfEarlier(const std::string& extension, std::size_t row) const {
    const std::string upper = asciiCase(extension, true), lower = asciiCase(extension, false);
    for (std::size_t earlier = 0; earlier < row; ++earlier) {
        const std::string& caption = list().at(earlier).caption;
        if (caption == upper || caption == lower) return true;
    }
    return false;
}

void FileExtensions::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 100}, {"Repair Report", 200}, {"Detail Info", 150}, {"Registry Location", 150}});
    context_.ramp(0, 30);
    auto& platform = context_.platform;
    ScopedKey root(platform.registry);
    const auto names = root.open(kHKeyClassesRoot, u"", 0, kKeyRead) == kErrorSuccess
                           ? SubkeysOf(platform, root.get())
                           : std::vector<ListedName>{};
    for (const auto& name : names) {
        // "." and the root subkey's name without its first character.
        const ListedName extension = NameOf(platform.codePage, u"." + name.wide.substr(name.wide.empty() ? 0 : 1));
        ScopedKey key(platform.registry);
        if (key.open(kHKeyClassesRoot, extension.wide, 0, kKeyRead) != kErrorSuccess || !unused(key.get()) ||
            ignored(extension.ansi))
            continue;
        const std::size_t row =
            run.add(Finding{extension.ansi, {kRepairReport, kDetail, kLocation}, true, extension.identity()}, false);
        list().select(static_cast<int>(row));
        if (duplicateOfEarlier(extension.ansi, row)) list().remove(row);
        // A repeat costs its step and pause as well.
        context_.stepBelow(kLoopLimit);
        context_.pause(kStepPauseMs);
    }
    context_.ramp(kLoopLimit, 100);
}

// The extension key goes only while it is still unused: no file type, no handlers.
RemovalOutcome FileExtensions::removeOne(RegistryRemoval& room, const Finding& finding) {
    const auto location = ParseLocation(finding.subItem(3));
    auto& codePage = context_.platform.codePage;
    const std::u16string extension = ExactItem(finding.exactName, finding.caption, codePage);
    if (!location || location->root != kHKeyClassesRoot || !IsSingleKeyName(extension)) return RemovalOutcome::Left;
    const std::u16string path = JoinKey(codePage.toWide(location->path), extension);
    ScopedKey key(context_.platform.registry);
    if (auto outcome = OpenForRecheck(key, kHKeyClassesRoot, path)) return *outcome;
    if (!unused(key.get())) return RemovalOutcome::NoLongerAFinding;
    key.reset();
    return room.deleteKeyTree(kHKeyClassesRoot, path);
}

void FileExtensions::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
