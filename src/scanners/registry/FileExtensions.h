#pragma once
// File-extension keys directly below the machine's or the user's classes whose default value,
// the file type they point to, is empty or missing, and that name no handlers of their own either
// (the "Open with" lists and verbs of installed apps). Removal deletes the extension key with its
// subtree, in the classes it was found in.
#include "scan/Category.h"
#include "scanners/registry/KeyTools.h"
#include "scanners/registry/RegistryRemoval.h"

namespace keltora {

class FileExtensions : public Category {
public:
    using Category::Category;
    void scan() override;    // FileExtExecute
    void remove() override;  // removefeExecute

private:
    bool unused(HKey extension);
    bool hasAssociations(HKey extension);
    bool duplicateOfEarlier(const std::string& extension, std::size_t first, std::size_t row) const;
    void scanSource(ScanRun& run, const ScanSource& source);
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);
};

}  // namespace keltora
