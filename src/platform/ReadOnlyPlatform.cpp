#include "platform/ReadOnlyPlatform.h"

namespace keltora {

long ReadOnlyRegistry::createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) {
    const long rc = real_.openKey(parent, subKey, access, result);
    return rc == kErrorFileNotFound ? kErrorAccessDenied : rc;
}

}  // namespace keltora
