#pragma once
// Small tools over the wide registry calls: a key closed on every path, whole value data of any
// size, exact listings, and the tests every caller shares ("not found", "a link").
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryApi.h"

namespace keltora {

// What the program says when a key's path passes a registry link, so that the key reached is not
// the key of that path (bit 29 marks a code of an application's own, never one of Windows).
constexpr long kErrorLinkOnPath = 0x20000001;

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
    // root\path as the key of exactly that path: reached without passing a registry link at any
    // level, the last name opened as itself. kErrorLinkOnPath when a link stands on the way or,
    // unless `end` allows it, when the key itself is one. The links Windows itself makes
    // (kSystemLinks) count as the keys they lead to.
    enum class LinkAtEnd { Refused, Allowed };
    long openExact(HKey root, const std::u16string& path, std::uint32_t access, LinkAtEnd end = LinkAtEnd::Refused);
    // The subkey name of an open key, as itself: kErrorLinkOnPath when it is a registry link.
    long openChild(HKey parent, const std::u16string& name, std::uint32_t access);
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
// the end of the list (the names read until then are kept). `known`: what queryInfoKey told of the
// key just before, so that it is not asked again (a key it counted no subkeys of is not listed).
long SubkeyNamesW(RegistryApi& api, HKey key, std::vector<std::u16string>& names, const KeyInfo* known = nullptr);
long ValueNamesW(RegistryApi& api, HKey key, std::vector<std::u16string>& names);

// Whether a key opened with kRegOptionOpenLink is a registry link, one Windows made (RegistryApi::
// isLinkW); the status of the question. Only a key that holds a kSymbolicLinkValue of type
// REG_LINK, or that will not say, is asked: a link keeps its target there.
long LinkStatus(RegistryApi& api, HKey openedAsLink, bool& link);
// The same, a key that cannot be told about counting as a link: what a walk must not enter.
bool IsLinkKey(RegistryApi& api, HKey openedAsLink);
// Whether a key of these counts may be a link: a link holds a value named kSymbolicLinkValue.
inline bool MayBeLink(const KeyInfo& info) {
    return info.values > 0 && info.maxValueNameLen >= std::char_traits<char16_t>::length(kSymbolicLinkValue);
}

// The links Windows makes itself in the keys the program reads, and where each leads: the user's
// classes (HKCU\Software\Classes) are a hive of their own, <the user's key>_Classes.
struct SystemLink {
    HKey root;
    std::u16string_view path;
    std::u16string_view rootSuffix;  // the target: the root's own name and this, then what follows
};
inline constexpr SystemLink kSystemLinks[] = {{kHKeyCurrentUser, u"Software\\Classes", u"_Classes"}};
// Names as the system compares them, as far as a name the program spells can differ from the one
// stored (the case of ASCII letters); any other difference counts.
bool SameNamesAsciiCase(std::u16string_view a, std::u16string_view b);
// Whether root\path is such a link itself.
bool IsSystemLink(HKey root, std::u16string_view path);

// Text as REG_SZ data: UTF-16LE with its terminating NUL.
std::vector<std::uint8_t> Utf16LeData(const std::u16string& text);
// UTF-16LE bytes as text (an odd last byte is dropped), NULs included.
std::u16string Utf16LeText(const std::uint8_t* bytes, std::size_t size);

}  // namespace keltora
