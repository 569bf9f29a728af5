#include "scan/Paths.h"

#include <cctype>

#include "platform/FolderRule.h"

namespace keltora {

std::string Paths::programFolder(std::string_view below) const {
    if (programFiles.empty()) throw EMissingSetting(kMissingProgramFiles);
    return programFiles + std::string(below);
}

std::string UsableFolderText(CodePage& codePage, const std::string& value) {
    return UsableFolderText(codePage, codePage.toWide(value));
}

std::string UsableFolderText(CodePage& codePage, const std::u16string& value) {
    const auto folder = UsableFolder(value);
    bool exact = false;
    const std::string text = folder ? codePage.toAnsi(*folder, &exact) : std::string();
    return exact ? text : std::string();
}

std::string SystemDrivePrefix(const std::string& systemRoot) {
    // Taking "WINDOWS" out of the text only works where the folder is spelled in capitals; the
    // drive root is what every user of the prefix wants.
    if (systemRoot.size() >= 2 && std::isalpha(static_cast<unsigned char>(systemRoot[0])) && systemRoot[1] == ':')
        return systemRoot.substr(0, 2) + "\\";
    return {};
}

}  // namespace keltora
