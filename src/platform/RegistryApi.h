#pragma once
// The registry as the program reaches it: the advapi32 calls it makes, with Windows error codes.
// The ANSI calls carry names in the ANSI code page, which cannot hold every name Windows keeps
// (a name may read back as "??", or as a look-alike of another name); the wide calls carry the
// names exactly, and whatever changes the registry on a finding's behalf uses them. The Win32
// backend forwards to advapi32; the memory backend keeps a tree.
#include <cstdint>
#include <string>
#include <vector>

namespace keltora {

using HKey = std::uintptr_t;

constexpr HKey kHKeyClassesRoot = 0x80000000u;
constexpr HKey kHKeyCurrentUser = 0x80000001u;
constexpr HKey kHKeyLocalMachine = 0x80000002u;

// Windows error codes the callers look at.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorPathNotFound = 3;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
constexpr long kErrorAlreadyExists = 183;
constexpr long kErrorBadConfiguration = 1013;  // ERROR_CANTWRITE: "The configuration registry key could not be written."

// Access masks.
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyExistsAccess = 0x20009;  // KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | READ_CONTROL
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kDeleteAccess = 0x00010000;
constexpr std::uint32_t kReadControlAccess = 0x00020000;  // a key's security descriptor read
constexpr std::uint32_t kWriteDacAccess = 0x00040000;     // its access list written
constexpr std::uint32_t kMaximumAllowedAccess = 0x02000000;

// Options of openKeyW and createKeyW.
constexpr std::uint32_t kRegOptionVolatile = 0x1;
// createKeyW: the new key is a registry link; its target is the value kSymbolicLinkValue.
constexpr std::uint32_t kRegOptionCreateLink = 0x2;
// openKeyW: a link at the end of the path is opened as itself instead of being followed.
constexpr std::uint32_t kRegOptionOpenLink = 0x8;
// The value of a link key that names its target (REG_LINK: the NT path in UTF-16, no NUL, such
// as \Registry\Machine\Software\Target).
inline constexpr char16_t kSymbolicLinkValue[] = u"SymbolicLinkValue";

// Registry value types.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegLink = 6;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kRegQword = 11;

struct KeyInfo {
    std::uint32_t subKeys = 0;
    std::uint32_t maxSubKeyLen = 0;
    std::uint32_t values = 0;
    std::uint32_t maxValueNameLen = 0;
    std::uint32_t maxValueLen = 0;
};

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    // RegOpenKeyExA with the given access.
    virtual long openKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) = 0;
    // RegCreateKeyExA, non-volatile.
    virtual long createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) = 0;
    virtual long closeKey(HKey key) = 0;
    virtual long flushKey(HKey key) = 0;
    virtual long queryInfoKey(HKey key, KeyInfo& info) = 0;
    // RegEnumKeyExA / RegEnumValueA; nameCapacity is the buffer size in characters with its NUL,
    // so a name that does not fit gives kErrorMoreData as on Windows.
    virtual long enumKey(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) = 0;
    virtual long enumValue(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) = 0;
    // RegQueryValueExA: data may be null to ask only for type and size; size is in and out.
    virtual long queryValue(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) = 0;
    virtual long setValue(HKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) = 0;
    // RegEnumValueA asked for the data too: the name as enumValue gives it, then type and up to
    // *size bytes of data as queryValue gives them for that name. A backend that can answer in one
    // call overrides it; a walk over every value of a large tree then costs half the calls.
    virtual long enumValueData(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name,
                               std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
        const long rc = enumValue(key, index, nameCapacity, name);
        return rc == kErrorSuccess ? queryValue(key, name, type, data, size) : rc;
    }
    virtual long deleteKey(HKey key, const std::string& subKey) = 0;
    virtual long deleteValue(HKey key, const std::string& name) = 0;

    // The wide calls (RegOpenKeyExW and the rest): names exactly as Windows keeps them, value data
    // exactly as stored (strings in UTF-16LE). KeyInfo lengths are in UTF-16 units for both forms.
    virtual long openKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                          HKey& result) = 0;
    // Non-volatile unless kRegOptionVolatile; kRegOptionCreateLink makes a link key (a key of that
    // name that exists already gives kErrorAlreadyExists).
    virtual long createKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                            HKey& result) = 0;
    virtual long enumKeyW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) = 0;
    virtual long enumValueW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) = 0;
    virtual long queryValueW(HKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                             std::uint32_t* size) = 0;
    virtual long setValueW(HKey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                           std::uint32_t size) = 0;
    // RegEnumValueW with the data, as enumValueData is for the ANSI names.
    virtual long enumValueDataW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name,
                                std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
        const long rc = enumValueW(key, index, nameCapacity, name);
        return rc == kErrorSuccess ? queryValueW(key, name, type, data, size) : rc;
    }
    // RegDeleteKeyW: like every open by name, it follows a link at the end of the path, so it
    // deletes the link's target. Only deleteOpenedKey removes a link itself.
    virtual long deleteKeyW(HKey key, const std::u16string& subKey) = 0;
    // Deletes the key the handle stands for (opened with DELETE access); a key opened with
    // kRegOptionOpenLink is the link itself. A key with subkeys is refused (kErrorAccessDenied).
    virtual long deleteOpenedKey(HKey key) = 0;
    virtual long deleteValueW(HKey key, const std::u16string& name) = 0;
    // The full name of the key a handle stands for, as the system keeps it
    // (\REGISTRY\MACHINE\SOFTWARE\..., \REGISTRY\USER\<sid>\...): the key's own place, whatever
    // path, links included, led to it. HKEY_CLASSES_ROOT, a merged view, has none
    // (kErrorInvalidHandle).
    virtual long keyNameW(HKey key, std::u16string& name) = 0;
    // Whether a key opened with kRegOptionOpenLink is a registry link: a key Windows made one, so
    // that opening its name without that option reaches another key, or none. A plain key that
    // merely holds a kSymbolicLinkValue of type REG_LINK is none.
    virtual long isLinkW(HKey openedAsLink, bool& link) = 0;

    // RegGetKeySecurity / RegSetKeySecurity of the key's access list (DACL_SECURITY_INFORMATION),
    // as a self-relative security descriptor: read through a handle with READ_CONTROL, written
    // through one with WRITE_DAC.
    virtual long getKeySecurity(HKey key, std::vector<std::uint8_t>& descriptor) = 0;
    virtual long setKeySecurity(HKey key, const std::vector<std::uint8_t>& descriptor) = 0;

    // FormatMessage text of a system error code, as the user sees it.
    virtual std::string systemMessage(long code) = 0;
};

}  // namespace keltora
