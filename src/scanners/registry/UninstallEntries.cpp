#include "scanners/registry/UninstallEntries.h"

#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Missing Uninstall Key(Removable)";
constexpr const char* kLocationPrefix = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Any one of these, of any type and even empty, marks a subkey as a program's registration.
constexpr const char* kRegistrationValues[] = {"UninstallString", "InstallSource", "DisplayName"};

// The bar climbs by one per finding up to here, then the closing ramp runs from here.
constexpr int kLoopLimit = 70;

}  // namespace

// A subkey that does not open is treated as registered: it is passed over.
bool UninstallEntries::registered(const std::string& name) {
    if (!IsSingleKeyName(name)) return true;
    auto& api = context_.platform.registry;
    OpenedKey key(api);
    if (!key.open(kHKeyLocalMachine, JoinKey(kUninstallKey, name), kKeyAllAccess)) return true;
    for (const char* value : kRegistrationValues)
        if (HasValue(api, key.get(), value)) return true;
    return false;
}

void UninstallEntries::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 180}, {"Repair Report", 210}, {"Detail Info", 210}, {"Registry Location", 220}});
    context_.ramp(0, 30);
    for (const auto& name : SubkeyNames(context_.platform.registry, kHKeyLocalMachine, kUninstallKey)) {
        if (registered(name) || ignored(name)) continue;
        run.add(name, {kRepairReport, name, kLocationPrefix + name}, false);
        context_.stepBelow(kLoopLimit);
        context_.pause(kStepPauseMs);
    }
    context_.ramp(kLoopLimit, 100);
}

// The subkey to delete is read from "Detail Info", as the scan wrote it there.
RemovalOutcome UninstallEntries::removeOne(RegistryRemoval& room, const Finding& finding) {
    const std::string& name = finding.subItem(2);
    if (!IsSingleKeyName(name)) return RemovalOutcome::Left;
    return room.deleteKeyTree(kHKeyLocalMachine, context_.platform.codePage.toWide(JoinKey(kUninstallKey, name)));
}

void UninstallEntries::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
