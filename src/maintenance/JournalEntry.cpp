#include "maintenance/JournalEntry.h"

#include "platform/RegText.h"

namespace keltora {

namespace {

constexpr std::uint32_t kCaptureAccess = kKeyRead;
constexpr std::uint32_t kLongestName = 32768;

// Every value of an open key with its data, one call each while the sizes the key reported hold;
// a value that grew meanwhile is read again whole.
long CaptureValues(RegistryApi& api, HKey key, const KeyInfo& info, std::vector<CapturedValue>& values) {
    std::vector<std::uint8_t> buffer(std::max<std::uint32_t>(info.maxValueLen, 1));
    for (std::uint32_t i = 0;; ++i) {
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
}

long CaptureKey(RegistryApi& api, HKey parent, const std::u16string& name, const std::u16string& path,
                std::vector<CapturedKey>& keys) {
    ScopedKey key(api);
    if (long rc = key.open(parent, name, kRegOptionOpenLink, kCaptureAccess)) return rc;
    CapturedKey& captured = keys.emplace_back();
    captured.path = path;
    if (IsLinkKey(api, key.get())) {
        RegistryData target;
        if (long rc = ReadValueW(api, key.get(), kSymbolicLinkValue, target)) return rc;
        captured.link = true;
        captured.target = std::move(target.bytes);
        return kErrorSuccess;
    }
    KeyInfo info;
    if (long rc = api.queryInfoKey(key.get(), info)) return rc;
    if (long rc = CaptureValues(api, key.get(), info, captured.values)) return rc;
    std::vector<std::u16string> subkeys;
    // A key that had no subkeys when asked is not listed: a subkey made since then is no part of
    // what was there.
    if (info.subKeys > 0)
        if (long rc = SubkeyNamesW(api, key.get(), subkeys)) return rc;
    for (const auto& sub : subkeys)
        if (long rc = CaptureKey(api, key.get(), sub, path + u"\\" + sub, keys)) return rc;
    return kErrorSuccess;
}

}  // namespace

long CaptureKeyTree(RegistryApi& api, HKey root, const std::u16string& path, std::vector<CapturedKey>& keys) {
    keys.clear();
    const long rc = CaptureKey(api, root, path, path, keys);
    if (rc != kErrorSuccess) keys.clear();
    return rc;
}

long CaptureValue(RegistryApi& api, HKey root, const std::u16string& path, const std::u16string& name,
                  CapturedValue& value) {
    ScopedKey key(api);
    if (long rc = key.open(root, path, 0, kKeyQueryValue)) return rc;
    value.name = name;
    return ReadValueW(api, key.get(), name, value.data);
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
