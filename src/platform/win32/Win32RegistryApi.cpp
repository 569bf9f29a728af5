#include "platform/win32/Win32RegistryApi.h"

#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <vector>

namespace keltora {
namespace {

// The predefined roots (HKEY_CLASSES_ROOT 0x80000000 up to the performance keys) as the core
// spells them: 32-bit values, zero-extended.
constexpr HKey kPredefinedFirst = 0x80000000u;
constexpr HKey kPredefinedLast = 0x800000FFu;

bool isPredefined(HKey key) { return key >= kPredefinedFirst && key <= kPredefinedLast; }

// windows.h defines the predefined roots as sign-extended 32-bit values
// ((HKEY)(ULONG_PTR)(LONG)0x80000001), so on 64-bit Windows HKEY_CURRENT_USER is
// 0xFFFFFFFF80000001 and the core's 0x80000001 must be widened the same way.
HKEY toNative(HKey key) {
    if (isPredefined(key)) {
        const auto value = static_cast<LONG>(static_cast<DWORD>(key));
        return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(value));
    }
    return reinterpret_cast<HKEY>(key);
}

// Opening a root with an empty path may hand the root itself back; give it the core's spelling
// so that closeKey recognises it.
HKey fromNative(HKEY key) {
    const auto low = static_cast<HKey>(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(key)));
    if (isPredefined(low) && toNative(low) == key) return low;
    return reinterpret_cast<HKey>(key);
}

// RegEnumKeyEx and RegEnumValue share this shape, in both forms: a name buffer of nameCapacity
// characters.
template <typename Char, typename Enumerate>
long enumName(std::uint32_t nameCapacity, std::basic_string<Char>& name, Enumerate enumerate) {
    std::vector<Char> buffer(std::max<std::uint32_t>(nameCapacity, 1));
    DWORD length = nameCapacity;
    const long rc = enumerate(buffer.data(), &length);
    if (rc == ERROR_SUCCESS) name.assign(buffer.data(), std::min<DWORD>(length, nameCapacity));
    return rc;
}

// The wide names as the W functions take them: wchar_t is 16 bits on Windows.
const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
wchar_t* wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

// NtDeleteKey is the only call that deletes the key a handle stands for, and so the only way to
// delete a link rather than its target; advapi32 has no such function.
using NtDeleteKeyFunction = LONG(NTAPI*)(HANDLE);
using RtlNtStatusToDosErrorFunction = ULONG(NTAPI*)(LONG);
// NtQueryKey tells the full name of the key a handle stands for (KeyNameInformation, 3), and
// NtOpenKey opens a key by that full name; advapi32 has neither.
using NtQueryKeyFunction = LONG(NTAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
constexpr int kKeyNameInformation = 3;
struct NtUnicodeString {
    USHORT length;
    USHORT maximumLength;
    PWSTR buffer;
};
struct NtObjectAttributes {
    ULONG length;
    HANDLE rootDirectory;
    NtUnicodeString* objectName;
    ULONG attributes;
    PVOID securityDescriptor;
    PVOID securityQualityOfService;
};
constexpr ULONG kObjCaseInsensitive = 0x40;
using NtOpenKeyFunction = LONG(NTAPI*)(PHANDLE, ACCESS_MASK, NtObjectAttributes*);

template <typename Function>
Function ntdllFunction(const char* name) {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) return nullptr;
    // Through the generic function type, which every function pointer may be cast to and from.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(ntdll, name)));
}

long ntError(LONG status) {
    static const auto toDosError = ntdllFunction<RtlNtStatusToDosErrorFunction>("RtlNtStatusToDosError");
    if (status >= 0) return ERROR_SUCCESS;
    return toDosError != nullptr ? static_cast<long>(toDosError(status)) : ERROR_GEN_FAILURE;
}

long queryKeyName(HANDLE key, std::u16string& name) {
    static const auto queryKey = ntdllFunction<NtQueryKeyFunction>("NtQueryKey");
    if (queryKey == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    std::vector<ULONG> buffer(1024);  // ULONGs keep the structure aligned
    for (int attempt = 0; attempt < 4; ++attempt) {
        ULONG needed = 0;
        const auto bytes = static_cast<ULONG>(buffer.size() * sizeof(ULONG));
        const LONG status = queryKey(key, kKeyNameInformation, buffer.data(), bytes, &needed);
        if (status >= 0) {
            const ULONG length = std::min<ULONG>(buffer[0], bytes - static_cast<ULONG>(sizeof(ULONG)));
            const auto* text = reinterpret_cast<const char16_t*>(buffer.data() + 1);
            name.assign(text, length / sizeof(char16_t));
            return ERROR_SUCCESS;
        }
        if (needed <= bytes) return ntError(status);
        buffer.resize(needed / sizeof(ULONG) + 1);
    }
    return ERROR_MORE_DATA;
}

long userKeyName(std::u16string& name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return static_cast<long>(GetLastError());
    std::vector<ULONG> buffer(128);  // a TOKEN_USER with its SID, aligned
    DWORD size = 0;
    LPWSTR sid = nullptr;
    long rc = ERROR_SUCCESS;
    if (!GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(ULONG)), &size) ||
        !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid))
        rc = static_cast<long>(GetLastError());
    CloseHandle(token);
    if (rc != ERROR_SUCCESS) return rc;
    name = u"\\REGISTRY\\USER\\" + std::u16string(reinterpret_cast<const char16_t*>(sid));
    LocalFree(sid);
    return ERROR_SUCCESS;
}

}  // namespace

long Win32RegistryApi::openKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) {
    HKEY opened = nullptr;
    const long rc = RegOpenKeyExA(toNative(parent), subKey.c_str(), 0, access, &opened);
    if (rc == ERROR_SUCCESS) result = fromNative(opened);
    return rc;
}

long Win32RegistryApi::createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) {
    HKEY created = nullptr;
    DWORD disposition = 0;
    const long rc = RegCreateKeyExA(toNative(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                    nullptr, &created, &disposition);
    if (rc == ERROR_SUCCESS) result = fromNative(created);
    return rc;
}

long Win32RegistryApi::closeKey(HKey key) {
    // The roots are shared by the whole process; closing one would break every later use of it.
    if (isPredefined(key)) return ERROR_SUCCESS;
    return RegCloseKey(toNative(key));
}

long Win32RegistryApi::flushKey(HKey key) { return RegFlushKey(toNative(key)); }

long Win32RegistryApi::queryInfoKey(HKey key, KeyInfo& info) {
    DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0, maxValueLen = 0;
    // The wide form: it reports the same lengths (UTF-16 units) without converting anything.
    const long rc = RegQueryInfoKeyW(toNative(key), nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr,
                                     &values, &maxValueNameLen, &maxValueLen, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    info.subKeys = subKeys;
    info.maxSubKeyLen = maxSubKeyLen;
    info.values = values;
    info.maxValueNameLen = maxValueNameLen;
    info.maxValueLen = maxValueLen;
    return rc;
}

long Win32RegistryApi::enumKey(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) {
    return enumName(nameCapacity, name, [&](char* buffer, DWORD* length) {
        return RegEnumKeyExA(toNative(key), index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

long Win32RegistryApi::enumValue(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) {
    return enumName(nameCapacity, name, [&](char* buffer, DWORD* length) {
        return RegEnumValueA(toNative(key), index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

long Win32RegistryApi::queryValue(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) {
    DWORD nativeType = 0;
    DWORD nativeSize = size != nullptr ? *size : 0;
    const long rc = RegQueryValueExA(toNative(key), name.c_str(), nullptr, type != nullptr ? &nativeType : nullptr,
                                     data, size != nullptr ? &nativeSize : nullptr);
    if (type != nullptr) *type = nativeType;
    if (size != nullptr) *size = nativeSize;
    return rc;
}

long Win32RegistryApi::setValue(HKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t size) {
    return RegSetValueExA(toNative(key), name.c_str(), 0, type, data, size);
}

long Win32RegistryApi::enumValueData(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name,
                                     std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
    std::vector<char> buffer(std::max<std::uint32_t>(nameCapacity, 1));
    DWORD length = nameCapacity;
    DWORD nativeType = 0;
    DWORD nativeSize = size != nullptr ? *size : 0;
    const long rc = RegEnumValueA(toNative(key), index, buffer.data(), &length, nullptr,
                                  type != nullptr ? &nativeType : nullptr, data, size != nullptr ? &nativeSize : nullptr);
    // One code for a short name buffer and a short data buffer: the two calls tell them apart and
    // give the name and the size needed as a read by name would.
    if (rc == ERROR_MORE_DATA) return RegistryApi::enumValueData(key, index, nameCapacity, name, type, data, size);
    if (rc != ERROR_SUCCESS) return rc;
    name.assign(buffer.data(), std::min<DWORD>(length, nameCapacity));
    if (type != nullptr) *type = nativeType;
    if (size != nullptr) *size = nativeSize;
    return rc;
}

long Win32RegistryApi::deleteKey(HKey key, const std::string& subKey) {
    return RegDeleteKeyA(toNative(key), subKey.c_str());
}

long Win32RegistryApi::deleteValue(HKey key, const std::string& name) {
    return RegDeleteValueA(toNative(key), name.c_str());
}

long Win32RegistryApi::openKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options,
                                std::uint32_t access, HKey& result) {
    HKEY opened = nullptr;
    const long rc = RegOpenKeyExW(toNative(parent), wide(subKey), options, access, &opened);
    if (rc == ERROR_SUCCESS) result = fromNative(opened);
    return rc;
}

long Win32RegistryApi::createKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options,
                                  std::uint32_t access, HKey& result) {
    HKEY created = nullptr;
    DWORD disposition = 0;
    const long rc =
        RegCreateKeyExW(toNative(parent), wide(subKey), 0, nullptr, options, access, nullptr, &created, &disposition);
    if (rc == ERROR_SUCCESS) result = fromNative(created);
    return rc;
}

long Win32RegistryApi::enumKeyW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) {
    return enumName(nameCapacity, name, [&](char16_t* buffer, DWORD* length) {
        return RegEnumKeyExW(toNative(key), index, wide(buffer), length, nullptr, nullptr, nullptr, nullptr);
    });
}

long Win32RegistryApi::enumValueW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) {
    return enumName(nameCapacity, name, [&](char16_t* buffer, DWORD* length) {
        return RegEnumValueW(toNative(key), index, wide(buffer), length, nullptr, nullptr, nullptr, nullptr);
    });
}

long Win32RegistryApi::queryValueW(HKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                                   std::uint32_t* size) {
    DWORD nativeType = 0;
    DWORD nativeSize = size != nullptr ? *size : 0;
    const long rc = RegQueryValueExW(toNative(key), wide(name), nullptr, type != nullptr ? &nativeType : nullptr, data,
                                     size != nullptr ? &nativeSize : nullptr);
    if (type != nullptr) *type = nativeType;
    if (size != nullptr) *size = nativeSize;
    return rc;
}

long Win32RegistryApi::setValueW(HKey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t size) {
    return RegSetValueExW(toNative(key), wide(name), 0, type, data, size);
}

long Win32RegistryApi::enumValueDataW(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                      std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                                      std::uint32_t* size) {
    // Most names fit a buffer on the stack; a walk over a whole registry then allocates nothing here.
    char16_t local[256];
    std::vector<char16_t> large(nameCapacity > std::size(local) ? nameCapacity : 0);
    char16_t* buffer = large.empty() ? local : large.data();
    DWORD length = nameCapacity;
    DWORD nativeType = 0;
    DWORD nativeSize = size != nullptr ? *size : 0;
    const long rc = RegEnumValueW(toNative(key), index, wide(buffer), &length, nullptr,
                                  type != nullptr ? &nativeType : nullptr, data, size != nullptr ? &nativeSize : nullptr);
    // As for the ANSI form: the two calls tell a short name buffer from a short data buffer.
    if (rc == ERROR_MORE_DATA) return RegistryApi::enumValueDataW(key, index, nameCapacity, name, type, data, size);
    if (rc != ERROR_SUCCESS) return rc;
    name.assign(buffer, std::min<DWORD>(length, nameCapacity));
    if (type != nullptr) *type = nativeType;
    if (size != nullptr) *size = nativeSize;
    return rc;
}

long Win32RegistryApi::deleteKeyW(HKey key, const std::u16string& subKey) {
    return RegDeleteKeyW(toNative(key), wide(subKey));
}

long Win32RegistryApi::deleteOpenedKey(HKey key) {
    // A root is never deleted, whatever the caller holds.
    if (isPredefined(key)) return ERROR_ACCESS_DENIED;
    static const auto deleteKey = ntdllFunction<NtDeleteKeyFunction>("NtDeleteKey");
    if (deleteKey == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    return ntError(deleteKey(toNative(key)));
}

long Win32RegistryApi::deleteValueW(HKey key, const std::u16string& name) {
    return RegDeleteValueW(toNative(key), wide(name));
}

// The machine's root is a fixed name; the user's holds the SID of the user the process runs as,
// whose hive HKEY_CURRENT_USER is (never learnt from a key below it, which a link could move).
long Win32RegistryApi::keyNameW(HKey key, std::u16string& name) {
    if (key == kHKeyLocalMachine) {
        name = u"\\REGISTRY\\MACHINE";
        return ERROR_SUCCESS;
    }
    if (key == kHKeyCurrentUser) return userKeyName(name);
    if (isPredefined(key)) return ERROR_INVALID_HANDLE;
    return queryKeyName(toNative(key), name);
}

// The key is opened again by its own full name, as any open does, following a link; a link
// reaches its target (another name) or nothing.
long Win32RegistryApi::isLinkW(HKey openedAsLink, bool& link) {
    static const auto openKey = ntdllFunction<NtOpenKeyFunction>("NtOpenKey");
    if (openKey == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    std::u16string name;
    if (long rc = keyNameW(openedAsLink, name)) return rc;
    NtUnicodeString text{static_cast<USHORT>(name.size() * sizeof(char16_t)),
                         static_cast<USHORT>(name.size() * sizeof(char16_t)), wide(name.data())};
    NtObjectAttributes attributes{sizeof(NtObjectAttributes), nullptr, &text, kObjCaseInsensitive, nullptr, nullptr};
    HANDLE followed = nullptr;
    const long opened = ntError(openKey(&followed, KEY_QUERY_VALUE, &attributes));
    if (opened == ERROR_FILE_NOT_FOUND || opened == ERROR_PATH_NOT_FOUND) {
        link = true;
        return ERROR_SUCCESS;
    }
    if (opened != ERROR_SUCCESS) return opened;
    std::u16string reached;
    const long rc = queryKeyName(followed, reached);
    CloseHandle(followed);
    if (rc != ERROR_SUCCESS) return rc;
    link = CompareStringOrdinal(reinterpret_cast<LPCWCH>(name.c_str()), static_cast<int>(name.size()),
                                reinterpret_cast<LPCWCH>(reached.c_str()), static_cast<int>(reached.size()),
                                TRUE) != CSTR_EQUAL;
    return ERROR_SUCCESS;
}

// Asked for its size first; asked again while it grows.
long Win32RegistryApi::getKeySecurity(HKey key, std::vector<std::uint8_t>& descriptor) {
    DWORD size = 256;
    for (;;) {
        descriptor.resize(size);
        const long rc = RegGetKeySecurity(toNative(key), DACL_SECURITY_INFORMATION, descriptor.data(), &size);
        if (rc != ERROR_INSUFFICIENT_BUFFER) {
            descriptor.resize(rc == ERROR_SUCCESS ? size : 0);
            return rc;
        }
    }
}

long Win32RegistryApi::setKeySecurity(HKey key, const std::vector<std::uint8_t>& descriptor) {
    std::vector<std::uint8_t> copy = descriptor;  // the call takes a non-const pointer
    return RegSetKeySecurity(toNative(key), DACL_SECURITY_INFORMATION, copy.data());
}

std::string Win32RegistryApi::systemMessage(long code) {
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) return "System error " + std::to_string(code);
    std::string message(text, length);
    LocalFree(text);
    // The system texts end in CR LF, which a message box would show as an empty line.
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    return message;
}

}  // namespace keltora
