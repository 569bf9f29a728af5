#pragma once
// The programs Windows starts at log-on: the values of the three Run keys and the entries of the
// user's Startup folder. Removal deletes a Run value or moves a Startup file into startbug.
#include "scan/Category.h"
#include "scan/FileRemoval.h"
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
    void scanRunKey(ScanRun& run, HKey root, const std::string& path, const std::string& location, bool skipOwn);
    void scanStartupFolder(ScanRun& run);
    RemovalOutcome removeOne(RegistryRemoval& room, FileRemoval& files, const Finding& finding);

    bool startbugMissing_ = false;  // a Startup-folder file stayed for want of the startbug folder
};

}  // namespace keltora
