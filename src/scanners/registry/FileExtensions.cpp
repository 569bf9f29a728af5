#include "scanners/registry/FileExtensions.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"
#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Unused Extension(Removable)";
constexpr const char* kDetail = "Empty Key";
constexpr const char* kLocation = "HKCR";
constexpr int kLoopLimit = 60;

std::string asciiCase(std::string text, bool upper) {
    for (char& c : text) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Every subkey name of the root itself, as listed.
std::vector<std::string> rootNames(RegistryApi& api) {
    std::vector<std::string> names;
    TRegistry reg(api);
    reg.SetRootKey(kHKeyClassesRoot);
    if (reg.OpenKey("", false)) reg.GetKeyNames(names);
    return names;
}

}  // namespace

std::string FileExtensions::ExtensionOf(const std::string& rootName) {
    return "." + (rootName.empty() ? std::string() : rootName.substr(1));
}

// An extension key that exists and whose default value reads as empty text.
bool FileExtensions::unused(const std::string& extension) {
    auto& api = context_.platform.registry;
    if (!IsSingleKeyName(extension)) return false;
    TRegistry reg(api);
    reg.SetRootKey(kHKeyClassesRoot);
    if (!reg.OpenKey("", false) || !reg.KeyExists("\\" + extension)) return false;
    return RegReadString(api, kHKeyClassesRoot, extension, "").empty();
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
    for (const auto& name : rootNames(context_.platform.registry)) {
        const std::string extension = ExtensionOf(name);
        if (!unused(extension) || ignored(extension)) continue;
        const std::size_t row = run.add(extension, {kRepairReport, kDetail, kLocation}, false);
        list().select(static_cast<int>(row));
        if (duplicateOfEarlier(extension, row)) list().remove(row);
        // A repeat costs its step and pause as well.
        context_.stepBelow(kLoopLimit);
        context_.pause(kStepPauseMs);
    }
    context_.ramp(kLoopLimit, 100);
}

RemovalOutcome FileExtensions::removeOne(RegistryRemoval& room, const Finding& finding) {
    const auto location = ParseLocation(finding.subItem(3));
    if (!location || location->root != kHKeyClassesRoot || !IsSingleKeyName(finding.caption))
        return RemovalOutcome::Left;
    return room.deleteKeyTree(kHKeyClassesRoot,
                              context_.platform.codePage.toWide(JoinKey(location->path, finding.caption)));
}

void FileExtensions::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
