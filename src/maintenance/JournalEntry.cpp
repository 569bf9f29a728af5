#include "maintenance/JournalEntry.h"

#include <algorithm>

#include "platform/RegText.h"

namespace keltora {

namespace {

constexpr std::uint32_t kCaptureAccess = kKeyRead;
constexpr std::uint32_t kLongestName = 32768;

// Every value the key counted when asked, with its data, one call each while the sizes the key
// reported hold; a value that grew meanwhile is read again whole. A value made since the key was
// asked is no part of what it held then, so the list's end is not asked for; one deleted since
// ends it early.
long CaptureValues(RegistryApi& api, HKey key, const KeyInfo& info, std::vector<CapturedValue>& values) {
    std::vector<std::uint8_t> buffer(std::max<std::uint32_t>(info.maxValueLen, 1));
    values.reserve(info.values);
    for (std::uint32_t i = 0; i < info.values; ++i) {
        CapturedValue value;
        auto size = static_cast<std::uint32_t>(buffer.size());
        long rc = api.enumValueDataW(key, i, info.maxValueNameLen + 1, value.name, &value.data.type, buffer.data(),
                                     &size);
        if (rc == kErrorNoMoreItems) return kErrorSuccess;
        if (rc == kErrorSuccess) {
            value.data.bytes.assign(buffer.begin(), buffer.begin() + size);
        } else if (rc == kErrorMoreData) {
            rc = api.enumValueW(key, i, kLongestName, value.name);
            if (rc == kErrorSuccess) rc = ReadValueW(api, key, value.name, value.data);
        }
        if (rc != kErrorSuccess) return rc;
        values.push_back(std::move(value));
    }
    return kErrorSuccess;
}

long CaptureKey(RegistryApi& api, HKey parent, const std::u16string& name, const std::u16string& path,
                std::vector<CapturedKey>& keys);

// An open key and everything below it. A link keeps its target as a REG_LINK value, so only a key
// that lists a value of that type is asked whether it is one; a plain key holding such a value is
// kept as the ordinary key it is.
long CaptureOpened(RegistryApi& api, HKey key, const std::u16string& path, std::vector<CapturedKey>& keys,
                   const KeyInfo* known = nullptr) {
    KeyInfo info;
    if (known != nullptr)
        info = *known;
    else if (long rc = api.queryInfoKey(key, info))
        return rc;
    CapturedKey captured;
    captured.path = path;
    if (long rc = api.getKeySecurity(key, captured.security)) return rc;
    if (long rc = CaptureValues(api, key, info, captured.values)) return rc;
    const bool mayBeLink = std::any_of(captured.values.begin(), captured.values.end(),
                                       [](const CapturedValue& value) { return value.data.type == kRegLink; });
    bool link = false;
    if (mayBeLink)
        if (long rc = LinkStatus(api, key, link)) return rc;
    if (link) {
        RegistryData target;
        if (long rc = ReadValueW(api, key, kSymbolicLinkValue, target)) return rc;
        captured.link = true;
        captured.target = std::move(target.bytes);
        captured.values.clear();
        keys.push_back(std::move(captured));
        return kErrorSuccess;
    }
    keys.push_back(std::move(captured));
    std::vector<std::u16string> subkeys;
    if (long rc = SubkeyNamesW(api, key, subkeys, &info)) return rc;
    for (const auto& sub : subkeys)
        if (long rc = CaptureKey(api, key, sub, path + u"\\" + sub, keys)) return rc;
    return kErrorSuccess;
}

long CaptureKey(RegistryApi& api, HKey parent, const std::u16string& name, const std::u16string& path,
                std::vector<CapturedKey>& keys) {
    ScopedKey key(api);
    if (long rc = key.open(parent, name, kRegOptionOpenLink, kCaptureAccess)) return rc;
    return CaptureOpened(api, key.get(), path, keys);
}

}  // namespace

long CaptureKeyTree(RegistryApi& api, HKey root, const std::u16string& path, std::vector<CapturedKey>& keys) {
    keys.clear();
    ScopedKey key(api);
    long rc = key.openExact(root, path, kCaptureAccess, ScopedKey::LinkAtEnd::Allowed);
    if (rc == kErrorSuccess) rc = CaptureOpened(api, key.get(), path, keys);
    if (rc != kErrorSuccess) keys.clear();
    return rc;
}

long CaptureOpenedKeyTree(RegistryApi& api, HKey key, const std::u16string& path, std::vector<CapturedKey>& keys,
                          const KeyInfo* known) {
    keys.clear();
    const long rc = CaptureOpened(api, key, path, keys, known);
    if (rc != kErrorSuccess) keys.clear();
    return rc;
}

long CaptureValue(RegistryApi& api, HKey root, const std::u16string& path, const std::u16string& name,
                  CapturedValue& value) {
    ScopedKey key(api);
    if (long rc = key.openExact(root, path, kKeyQueryValue)) return rc;
    return CaptureOpenedValue(api, key.get(), name, value);
}

long CaptureOpenedValue(RegistryApi& api, HKey key, const std::u16string& name, CapturedValue& value) {
    value.name = name;
    return ReadValueW(api, key, name, value.data);
}

std::string UnwritableReason(const JournalEntry& entry) {
    static constexpr const char* kBreak = " holds a line break or a NUL";
    auto name = [](const std::u16string& text) { return "\"" + Utf16ToUtf8(text) + "\""; };
    for (const auto& key : entry.keys) {
        if (!RegNameWritable(key.path)) return "the key name " + name(key.path) + kBreak;
        for (const auto& value : key.values)
            if (!RegNameWritable(value.name)) return "the value name " + name(value.name) + kBreak;
    }
    for (const auto* text : {&entry.keyPath, &entry.value.name, &entry.from, &entry.to})
        if (!RegNameWritable(*text)) return "the name " + name(*text) + kBreak;
    return {};
}

}  // namespace keltora
