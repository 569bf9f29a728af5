#pragma once
// The programs Windows starts at log-on: the values of the Run keys (the user's Run and RunOnce,
// the machine's Run in both registry views) and the entries of the user's Startup folder; an item
// disabled in Task Manager is listed unchecked. Removal deletes a Run value or moves a Startup
// file into startbug, and with it what Task Manager recorded of the item.
#include <string_view>

#include "scan/Category.h"
#include "scan/FileRemoval.h"
#include "scanners/registry/KeyTools.h"
#include "scanners/registry/RegistryRemoval.h"

namespace keltora {

class StartupPrograms : public Category {
public:
    using Category::Category;
    void scan() override;  // StartupExecute
    void remove() override;  // removespExecute

    // The Run value the program writes to start itself with Windows; never reported from HKCU Run.
    static constexpr const char* kOwnRunValue = "KeltoraPro";

private:
    void scanRunKey(ScanRun& run, const ScanSource& key, std::string_view approved, bool skipOwn);
    void scanStartupFolder(ScanRun& run);
    RemovalOutcome removeOne(RegistryRemoval& room, FileRemoval& files, const Finding& finding);
    void forgetApproval(RegistryRemoval& room, const ScanSource& approvals, const Finding& finding);

    bool startbugMissing_ = false;  // a Startup-folder file stayed for want of the startbug folder
};

}  // namespace keltora
