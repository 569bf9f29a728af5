#pragma once
// COM classes below HKEY_CLASSES_ROOT\CLSID whose in-process server file cannot be found under
// any of the forms of its path tried in turn. Removal deletes the whole class key.
#include "scan/Category.h"
#include "scanners/registry/RegistryRemoval.h"

namespace keltora {

class ActiveX : public Category {
public:
    using Category::Category;
    void scan() override;    // ActiveXExecute
    void remove() override;  // removeaxExecute

private:
    bool serverPresent(const std::string& server);
    std::optional<std::string> missingServer(HKey classKey);
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);
};

}  // namespace keltora
