#include "scanners/registry/TypedHistory.h"

#include <stdexcept>

#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr TypedHistoryKey kKeys[] = {
    {"url", "Software\\Microsoft\\Internet Explorer\\TypedURLs",
     "HKCU\\Software\\Microsoft\\Internet Explorer\\TypedURLs"},
    {"run", "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
     "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU"},
};

const TypedHistoryKey& keyFor(std::string_view code) {
    for (const auto& key : kKeys)
        if (key.code == code) return key;
    throw std::invalid_argument("no typed-history key for " + std::string(code));
}

}  // namespace

std::span<const TypedHistoryKey> TypedHistoryKeys() { return kKeys; }

TypedHistory::TypedHistory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore)
    : Category(info, context, ignore), key_(keyFor(info.code)) {}

void TypedHistory::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 200}, {"Repair Report", 200}, {"Detail Info", 250}, {"Registry Location", 250}});
    auto& platform = context_.platform;
    for (auto& [name, data] : ListValues(platform, kHKeyCurrentUser, platform.codePage.toWide(std::string(key_.path)))) {
        context_.pause(kValuePauseMs);
        context_.host.processMessages();
        run.add(Finding{name.ansi, {"Rarely Used(Remove)", std::move(data), std::string(key_.location)}, true,
                        name.identity()},
                false);
    }
    context_.ramp(0, 100);
}

RemovalOutcome TypedHistory::removeOne(RegistryRemoval& room, const Finding& finding) {
    // Only this category's own key is ever opened, whatever the location column says.
    if (finding.subItem(3) != key_.location) return RemovalOutcome::Left;
    return RemoveListedValue(context_, room, kHKeyCurrentUser, context_.platform.codePage.toWide(std::string(key_.path)),
                             finding);
}

void TypedHistory::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
