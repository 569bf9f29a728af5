#include "scanners/registry/UninstallEntries.h"

#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Missing Uninstall Key(Removable)";
constexpr const char* kLocationPrefix = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Any one of these, of any type and even empty, marks a subkey as a program's registration.
constexpr const char16_t* kRegistrationValues[] = {u"UninstallString", u"InstallSource", u"DisplayName"};

// The bar climbs by one per finding up to here, then the closing ramp runs from here.
constexpr int kLoopLimit = 70;

}  // namespace

// Whether an open subkey carries a registration value.
bool UninstallEntries::registered(HKey subkey) {
    std::uint32_t size = 0;
    for (const char16_t* value : kRegistrationValues)
        if (context_.platform.registry.queryValueW(subkey, value, nullptr, nullptr, &size) == kErrorSuccess) return true;
    return false;
}

// Read access is all the scan asks for; a subkey that does not open is passed over.
void UninstallEntries::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 180}, {"Repair Report", 210}, {"Detail Info", 210}, {"Registry Location", 220}});
    context_.ramp(0, 30);
    auto& platform = context_.platform;
    ScopedKey uninstall(platform.registry);
    if (uninstall.open(kHKeyLocalMachine, platform.codePage.toWide(kUninstallKey), 0, kKeyRead) == kErrorSuccess) {
        for (const auto& name : SubkeysOf(platform, uninstall.get())) {
            ScopedKey subkey(platform.registry);
            if (subkey.open(uninstall.get(), name.wide, 0, kKeyRead) != kErrorSuccess || registered(subkey.get()) ||
                ignored(name.ansi))
                continue;
            run.add(Finding{name.ansi, {kRepairReport, name.ansi, kLocationPrefix + name.ansi}, true, name.identity()},
                    false);
            context_.stepBelow(kLoopLimit);
            context_.pause(kStepPauseMs);
        }
    }
    context_.ramp(kLoopLimit, 100);
}

// The subkey to delete is read from "Detail Info", as the scan wrote it there, or is the exact
// identity the finding carries. It goes only while it still lacks every registration value.
RemovalOutcome UninstallEntries::removeOne(RegistryRemoval& room, const Finding& finding) {
    auto& codePage = context_.platform.codePage;
    const std::u16string name = ExactItem(finding.exactName, finding.subItem(2), codePage);
    if (!IsSingleKeyName(name)) return RemovalOutcome::Left;
    const std::u16string path = JoinKey(codePage.toWide(kUninstallKey), name);
    ScopedKey subkey(context_.platform.registry);
    if (auto outcome = OpenForRecheck(subkey, kHKeyLocalMachine, path)) return *outcome;
    if (registered(subkey.get())) return RemovalOutcome::NoLongerAFinding;
    subkey.reset();
    return room.deleteKeyTree(kHKeyLocalMachine, path);
}

void UninstallEntries::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
