#pragma once
// File-extension keys directly below HKEY_CLASSES_ROOT whose default value, the file type they
// point to, is empty or missing. Removal deletes the extension key with its subtree.
#include "scan/Category.h"
#include "scanners/registry/RegistryRemoval.h"

namespace keltora {

class FileExtensions : public Category {
public:
    using Category::Category;
    void scan() override;    // FileExtExecute
    void remove() override;  // removefeExecute

    // The extension a root subkey name stands for: "." and the name without its first character.
    static std::string ExtensionOf(const std::string& rootName);

private:
    bool unused(const std::string& extension);
    bool duplicateOfEarlier(const std::string& extension, std::size_t row) const;
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);
};

}  // namespace keltora
