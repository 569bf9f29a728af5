#pragma once
// Subkeys of the Uninstall keys (the machine's, in both registry views, and the user's own) that
// carry none of the values by which an installed program registers itself there. Removal deletes
// such a subkey with everything below it, in the key it was found in.
#include "scan/Category.h"
#include "scanners/registry/KeyTools.h"
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
    void scanSource(ScanRun& run, const ScanSource& source);
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);
};

}  // namespace keltora
