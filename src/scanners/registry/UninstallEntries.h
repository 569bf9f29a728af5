#pragma once
// Subkeys of the machine's Uninstall key that carry none of the values by which an installed
// program registers itself there. Removal deletes such a subkey with everything below it.
#include "scan/Category.h"
#include "scanners/registry/RegistryRemoval.h"

namespace keltora {

class UninstallEntries : public Category {
public:
    using Category::Category;
    void scan() override;    // UninstallExecute
    void remove() override;  // removeueExecute

    static constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

private:
    bool registered(HKey subkey);
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);
};

}  // namespace keltora
