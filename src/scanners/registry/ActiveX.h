#pragma once
// COM classes whose in-process server file cannot be found under any of the forms of its path
// tried in turn: the CLSID keys of the machine's and the user's classes, in both registry views.
// Removal deletes the whole class key, in the hive and view it was found in.
#include "scan/Category.h"
#include "scanners/registry/KeyTools.h"
#include "scanners/registry/RegistryRemoval.h"
#include "scanners/registry/RegistryViews.h"

namespace keltora {

class ActiveX : public Category {
public:
    using Category::Category;
    void scan() override;    // ActiveXExecute
    void remove() override;  // removeaxExecute

private:
    bool serverPresent(const std::string& server, RegistryView view);
    std::optional<std::string> missingServer(HKey classKey, RegistryView view);
    void scanSource(ScanRun& run, const ScanSource& source);
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);
};

}  // namespace keltora
