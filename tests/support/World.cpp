#include "support/World.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"

namespace keltora::testing {

std::string World::read(HKey root, const std::string& path, const std::string& name) {
    return RegReadString(registry(), root, path, name);
}

bool World::valueExists(HKey root, const std::string& path, const std::string& name) {
    TRegistry reg(registry());
    reg.SetRootKey(root);
    return reg.OpenKey("\\" + path, false) && reg.ValueExists(name);
}

std::vector<std::string> Captions(const ResultList& list) {
    std::vector<std::string> captions;
    for (const auto& finding : list.findings()) captions.push_back(finding.caption);
    return captions;
}

}  // namespace keltora::testing
