#include "platform/ReadOnlyPlatform.h"

namespace keltora {

long ReadOnlyRegistry::createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) {
    const long rc = real_.openKey(parent, subKey, access, result);
    return rc == kErrorFileNotFound ? kErrorAccessDenied : rc;
}

long ReadOnlyRegistry::createKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options,
                                  std::uint32_t access, HKey& result) {
    if ((options & kRegOptionCreateLink) != 0) return kErrorAccessDenied;
    const long rc = real_.openKeyW(parent, subKey, 0, access, result);
    return rc == kErrorFileNotFound ? kErrorAccessDenied : rc;
}

}  // namespace keltora
