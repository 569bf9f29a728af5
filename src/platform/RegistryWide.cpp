#include "platform/RegistryWide.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace keltora {

long ScopedKey::open(HKey parent, const std::u16string& path, std::uint32_t options, std::uint32_t access) {
    reset();
    HKey opened = 0;
    const long rc = api_.openKeyW(parent, path, options, access, opened);
    if (rc == kErrorSuccess) key_ = opened;
    const auto cut = path.find(u'\\');
    if (rc != kErrorInvalidParameter || cut == std::u16string::npos) return rc;
    ScopedKey first(api_);
    if (long stepRc = first.open(parent, path.substr(0, cut), 0, kMaximumAllowedAccess)) return stepRc;
    return open(first.get(), path.substr(cut + 1), options, access);
}

namespace {

char16_t FoldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// Whether a path begins with these whole names.
bool StartsWithNames(std::u16string_view path, std::u16string_view names) {
    return path.size() >= names.size() && SameNamesAsciiCase(path.substr(0, names.size()), names) &&
           (path.size() == names.size() || path[names.size()] == u'\\');
}

// Whether a key opened by root\path stands where the path says: its own name is the root's and
// the path, or, below a link Windows made, where that link leads and the rest of the path.
long StandsAt(RegistryApi& api, HKey key, HKey root, const std::u16string& path, bool& there) {
    std::u16string rootName, name;
    if (long rc = api.keyNameW(root, rootName)) return rc;
    if (long rc = api.keyNameW(key, name)) return rc;
    there = SameNamesAsciiCase(name, path.empty() ? rootName : rootName + u"\\" + path);
    for (const auto& link : kSystemLinks) {
        if (there || link.root != root || !StartsWithNames(path, link.path)) continue;
        const std::u16string_view rest = std::u16string_view(path).substr(link.path.size());
        there = SameNamesAsciiCase(name, rootName + std::u16string(link.rootSuffix) + std::u16string(rest));
    }
    return kErrorSuccess;
}

}  // namespace

// One open by the whole path and one question of the key's own name, however deep the path: a
// link at any level would have led to a key of another name.
long ScopedKey::openExact(HKey root, const std::u16string& path, std::uint32_t access, LinkAtEnd end) {
    // A link Windows made is followed as the last name too: what it leads to is the key meant.
    const std::uint32_t options = IsSystemLink(root, path) ? 0 : kRegOptionOpenLink;
    if (long rc = open(root, path, options, access)) return rc;
    bool there = false;
    long rc = StandsAt(api_, key_, root, path, there);
    if (rc == kErrorSuccess && !there) rc = kErrorLinkOnPath;
    if (rc == kErrorSuccess && end == LinkAtEnd::Refused && options != 0 && IsLinkKey(api_, key_))
        rc = kErrorLinkOnPath;
    if (rc != kErrorSuccess) reset();
    return rc;
}

long ScopedKey::openChild(HKey parent, const std::u16string& name, std::uint32_t access) {
    if (long rc = open(parent, name, kRegOptionOpenLink, access)) return rc;
    if (!IsLinkKey(api_, key_)) return kErrorSuccess;
    reset();
    return kErrorLinkOnPath;
}

void ScopedKey::reset() {
    if (key_ != 0) api_.closeKey(key_);
    key_ = 0;
}

long ReadValueW(RegistryApi& api, HKey key, const std::u16string& name, RegistryData& data) {
    std::uint32_t size = 0;
    long rc = api.queryValueW(key, name, &data.type, nullptr, &size);
    // Another program may make the value longer between the two calls: ask again with its new size.
    for (int attempt = 0; rc == kErrorSuccess && attempt < 8; ++attempt) {
        data.bytes.resize(size);
        rc = api.queryValueW(key, name, &data.type, data.bytes.empty() ? nullptr : data.bytes.data(), &size);
        if (rc == kErrorSuccess) {
            data.bytes.resize(size);
            return rc;
        }
        if (rc == kErrorMoreData) rc = kErrorSuccess;
    }
    return rc == kErrorSuccess ? kErrorMoreData : rc;
}

namespace {

// Names of index 0 on, until the end of the list. A name longer than the key reported when asked
// (it changed meanwhile) is read again with the longest name the registry allows.
template <typename Enumerate>
long ListNames(RegistryApi& api, HKey key, bool values, std::vector<std::u16string>& names, const KeyInfo* known,
               Enumerate enumerate) {
    names.clear();
    KeyInfo info;
    if (known != nullptr) {
        // A name made since the caller asked is no part of what the key held then.
        if ((values ? known->values : known->subKeys) == 0) return kErrorSuccess;
        info = *known;
    } else if (long rc = api.queryInfoKey(key, info)) {
        return rc;
    }
    const std::uint32_t reported = (values ? info.maxValueNameLen : info.maxSubKeyLen) + 1;
    constexpr std::uint32_t kLongestName = 32768;  // a value name of 16383 units, with room to spare
    for (std::uint32_t i = 0;; ++i) {
        std::u16string name;
        long rc = enumerate(i, reported, name);
        if (rc == kErrorMoreData) rc = enumerate(i, kLongestName, name);
        if (rc == kErrorNoMoreItems) return kErrorSuccess;
        if (rc != kErrorSuccess) return rc;
        names.push_back(std::move(name));
    }
}

}  // namespace

long SubkeyNamesW(RegistryApi& api, HKey key, std::vector<std::u16string>& names, const KeyInfo* known) {
    return ListNames(api, key, false, names, known, [&](std::uint32_t i, std::uint32_t capacity, std::u16string& name) {
        return api.enumKeyW(key, i, capacity, name);
    });
}

long ValueNamesW(RegistryApi& api, HKey key, std::vector<std::u16string>& names) {
    return ListNames(api, key, true, names, nullptr, [&](std::uint32_t i, std::uint32_t capacity, std::u16string& name) {
        return api.enumValueW(key, i, capacity, name);
    });
}

long LinkStatus(RegistryApi& api, HKey openedAsLink, bool& link) {
    link = false;
    std::uint32_t type = kRegNone, size = 0;
    const long rc = api.queryValueW(openedAsLink, kSymbolicLinkValue, &type, nullptr, &size);
    if (IsNotFound(rc) || (rc == kErrorSuccess && type != kRegLink)) return kErrorSuccess;
    return api.isLinkW(openedAsLink, link);
}

bool IsLinkKey(RegistryApi& api, HKey openedAsLink) {
    bool link = false;
    return LinkStatus(api, openedAsLink, link) != kErrorSuccess || link;
}

bool SameNamesAsciiCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

bool IsSystemLink(HKey root, std::u16string_view path) {
    return std::any_of(std::begin(kSystemLinks), std::end(kSystemLinks),
                       [&](const SystemLink& link) { return link.root == root && SameNamesAsciiCase(path, link.path); });
}

std::vector<std::uint8_t> Utf16LeData(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(2 * (text.size() + 1));
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// Text lies in memory as UTF-16LE on every machine this runs on, so it is copied as it is.
static_assert(std::endian::native == std::endian::little);

std::u16string Utf16LeText(const std::uint8_t* bytes, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), bytes, text.size() * 2);
    return text;
}

}  // namespace keltora
