#include "scanners/registry/TypedHistory.h"

#include <stdexcept>

#include "platform/Helpers.h"
#include "platform/Registry2.h"

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

// Whether the value is still there, asked with read access only, so that a key this program may
// not change still tells what it holds.
bool valueRemains(RegistryApi& api, const std::string& path, const std::string& name) {
    TRegistry reg(api, kKeyRead);
    return reg.OpenKey(path, false) && reg.ValueExists(name);
}

}  // namespace

std::span<const TypedHistoryKey> TypedHistoryKeys() { return kKeys; }

TypedHistory::TypedHistory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore)
    : Category(info, context, ignore), key_(keyFor(info.code)) {}

void TypedHistory::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 200}, {"Repair Report", 200}, {"Detail Info", 250}, {"Registry Location", 250}});
    auto& registry = context_.platform.registry;
    const std::string path(key_.path);
    std::vector<std::string> names;
    {
        TRegistry reg(registry);
        if (reg.OpenKey("\\" + path, false)) reg.GetValueNames(names);
    }
    for (const auto& name : names) {
        context_.pause(kValuePauseMs);
        context_.host.processMessages();
        run.add(name, {"Rarely Used(Remove)", RegReadString(registry, kHKeyCurrentUser, path, name),
                       std::string(key_.location)},
                false);
    }
    context_.ramp(0, 100);
}

bool TypedHistory::removeOne(const Finding& finding) {
    // Only this category's own key is ever opened, whatever the location column says.
    if (finding.subItem(3) != key_.location) return false;
    const std::string path = RemoveSubstring("HKCU", finding.subItem(3));
    {
        TRegistry reg(context_.platform.registry);
        if (reg.OpenKey(path, false)) reg.DeleteValue(finding.caption);
    }
    return !valueRemains(context_.platform.registry, path, finding.caption);
}

void TypedHistory::remove() {
    RemovalRun removal(context_, list());
    removal.run([this](const Finding& finding) { return removeOne(finding); });
}

}  // namespace keltora
