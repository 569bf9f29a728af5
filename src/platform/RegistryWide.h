#pragma once
// Small tools over the wide registry calls: a key closed on every path, whole value data of any
// size, exact listings, and the tests every caller shares ("not found", "a link").
#include <cstdint>
#include <string>
#include <vector>

#include "platform/RegistryApi.h"

namespace keltora {

// Only these two codes say that a key or value does not exist. Access denied and every other
// failure leave it present (or unknown), never gone.
inline bool IsNotFound(long rc) { return rc == kErrorFileNotFound || rc == kErrorPathNotFound; }

// A key handle closed when it goes out of scope.
class ScopedKey {
public:
    explicit ScopedKey(RegistryApi& api) : api_(api) {}
    ~ScopedKey() { reset(); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    // openKeyW into this holder; the status of the call. A path the call refuses as too long in
    // one piece (kErrorInvalidParameter) is opened a name at a time, the keys on the way with
    // whatever access they grant, the options applying to the last name only, as they do to a
    // whole path.
    long open(HKey parent, const std::u16string& path, std::uint32_t options, std::uint32_t access);
    HKey get() const { return key_; }
    explicit operator bool() const { return key_ != 0; }
    void reset();

private:
    RegistryApi& api_;
    HKey key_ = 0;
};

struct RegistryData {
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> bytes;  // exactly as stored
    bool operator==(const RegistryData&) const = default;
};

// The whole data of a value, whatever its size (read again while it grows); the status.
long ReadValueW(RegistryApi& api, HKey key, const std::u16string& name, RegistryData& data);

// Every subkey or value name of an open key, exactly; the status of the first failure other than
// the end of the list (the names read until then are kept).
long SubkeyNamesW(RegistryApi& api, HKey key, std::vector<std::u16string>& names);
long ValueNamesW(RegistryApi& api, HKey key, std::vector<std::u16string>& names);

// Whether a key opened with kRegOptionOpenLink (and KEY_QUERY_VALUE) is a registry link: its
// kSymbolicLinkValue is of type REG_LINK.
bool IsLinkKey(RegistryApi& api, HKey openedAsLink);

// Text as REG_SZ data: UTF-16LE with its terminating NUL.
std::vector<std::uint8_t> Utf16LeData(const std::u16string& text);
// UTF-16LE bytes as text (an odd last byte is dropped), NULs included.
std::u16string Utf16LeText(const std::uint8_t* bytes, std::size_t size);

}  // namespace keltora
