#include "scan/Paths.h"

#include <cctype>

namespace keltora {

std::string SystemDrivePrefix(const std::string& systemRoot) {
    // Taking "WINDOWS" out of the text only works where the folder is spelled in capitals; the
    // drive root is what every user of the prefix wants.
    if (systemRoot.size() >= 2 && std::isalpha(static_cast<unsigned char>(systemRoot[0])) && systemRoot[1] == ':')
        return systemRoot.substr(0, 2) + "\\";
    return {};
}

}  // namespace keltora
