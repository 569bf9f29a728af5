#include "scanners/registry/UninstallEntries.h"

#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Missing Uninstall Key(Removable)";

// The Uninstall keys in scan order: the machine's for 64-bit and for 32-bit programs, and the
// user's own (programs installed for one user).
constexpr ScanSource kSources[] = {
    {kHKeyLocalMachine, UninstallEntries::kUninstallKey},
    {kHKeyLocalMachine, "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
};

// Any one of these, of any type and even empty, marks a subkey as a program's registration.
constexpr const char16_t* kRegistrationValues[] = {u"UninstallString", u"InstallSource", u"DisplayName"};

// The bar climbs by one per finding up to here, then the closing ramp runs from here.
constexpr int kLoopLimit = 70;

// The Uninstall key a finding names: its location is that key's and the subkey's name.
const ScanSource* sourceOf(const Finding& finding) {
    for (const auto& source : kSources)
        if (finding.subItem(3) == LocationText(source) + "\\" + finding.subItem(2)) return &source;
    return nullptr;
}

}  // namespace

// Whether an open subkey carries a registration value.
bool UninstallEntries::registered(HKey subkey) {
    std::uint32_t size = 0;
    for (const char16_t* value : kRegistrationValues)
        if (context_.platform.registry.queryValueW(subkey, value, nullptr, nullptr, &size) == kErrorSuccess) return true;
    return false;
}

// Read access is all the scan asks for; a subkey that does not open is passed over.
void UninstallEntries::scanSource(ScanRun& run, const ScanSource& source) {
    auto& platform = context_.platform;
    const std::string location = LocationText(source) + "\\";
    ScopedKey uninstall(platform.registry);
    if (uninstall.openExact(source.root, source.widePath(), kKeyRead) != kErrorSuccess)
        return;
    for (const auto& name : SubkeysOf(platform, uninstall.get())) {
        ScopedKey subkey(platform.registry);
        if (subkey.openChild(uninstall.get(), name.wide, kKeyRead) != kErrorSuccess || registered(subkey.get()) ||
            ignored(name.ansi))
            continue;
        run.add(Finding{name.ansi, {kRepairReport, name.ansi, location + name.ansi}, true, name.identity()}, false);
        context_.stepBelow(kLoopLimit);
        context_.pause(kStepPauseMs);
    }
}

void UninstallEntries::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 180}, {"Repair Report", 210}, {"Detail Info", 210}, {"Registry Location", 220}});
    context_.ramp(0, 30);
    for (const auto& source : kSources) scanSource(run, source);
    context_.ramp(kLoopLimit, 100);
}

// The subkey to delete is read from "Detail Info", as the scan wrote it there, or is the exact
// identity the finding carries; "Registry Location" says which Uninstall key holds it. It goes
// only while it still lacks every registration value.
RemovalOutcome UninstallEntries::removeOne(RegistryRemoval& room, const Finding& finding) {
    auto& codePage = context_.platform.codePage;
    const ScanSource* source = sourceOf(finding);
    const std::u16string name = ExactItem(finding.exactName, finding.subItem(2), codePage);
    if (source == nullptr || !IsSingleKeyName(name)) return RemovalOutcome::Left;
    const std::u16string path = JoinKey(source->widePath(), name);
    ScopedKey subkey(context_.platform.registry);
    if (auto outcome = room.openForRecheck(subkey, source->root, path)) return *outcome;
    if (registered(subkey.get())) return RemovalOutcome::NoLongerAFinding;
    subkey.reset();
    return room.deleteKeyTree(source->root, path);
}

void UninstallEntries::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
