#include "scanners/registry/KeyTools.h"

#include <algorithm>

#include "platform/Helpers.h"

namespace keltora {

namespace {

struct RootAbbreviation {
    std::string_view text;
    HKey root;
};

constexpr RootAbbreviation kRootAbbreviations[] = {
    {"HKLM", kHKeyLocalMachine},
    {"HKCU", kHKeyCurrentUser},
    {"HKCR", kHKeyClassesRoot},
};

bool IsStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Most names and data are plain ASCII, which every ANSI code page carries as it is: converted
// here without asking the code page, which keeps the walks over a whole registry fast.
std::string AnsiOf(CodePage& codePage, const std::u16string& wide, bool& exact) {
    if (std::all_of(wide.begin(), wide.end(), [](char16_t c) { return c < 0x80; })) {
        exact = true;
        return std::string(wide.begin(), wide.end());
    }
    return codePage.toAnsi(wide, &exact);
}

std::vector<ListedName> Listed(const Platform& platform, const std::vector<std::u16string>& names) {
    std::vector<ListedName> listed;
    listed.reserve(names.size());
    for (const auto& name : names) listed.push_back(NameOf(platform.codePage, name));
    return listed;
}

}  // namespace

ListedName NameOf(CodePage& codePage, std::u16string wide) {
    ListedName name;
    name.ansi = AnsiOf(codePage, wide, name.exact);
    name.wide = std::move(wide);
    return name;
}

std::vector<ListedName> SubkeysOf(const Platform& platform, HKey key) {
    std::vector<std::u16string> names;
    SubkeyNamesW(platform.registry, key, names);
    return Listed(platform, names);
}

std::vector<ListedName> ValuesOf(const Platform& platform, HKey key) {
    std::vector<std::u16string> names;
    ValueNamesW(platform.registry, key, names);
    return Listed(platform, names);
}

std::optional<std::string> StringReadText(CodePage& codePage, std::uint32_t type, const std::uint8_t* data,
                                          std::uint32_t size, bool& exact) {
    std::string text;
    exact = true;
    if (IsStringType(type)) {
        // ASCII text, the common case, straight from the bytes.
        text.reserve(size / 2);
        for (std::uint32_t i = 0; i + 1 < size && data[i + 1] == 0 && data[i] < 0x80; i += 2)
            text.push_back(static_cast<char>(data[i]));
        if (text.size() != size / 2) text = codePage.toAnsi(Utf16LeText(data, size), &exact);
    } else {
        text.assign(reinterpret_cast<const char*>(data), size);
    }
    if (text.size() > kStringReadBuffer) return std::nullopt;
    if (!text.empty()) text.pop_back();
    return text;
}

std::string ReadTextExact(const Platform& platform, HKey key, const std::u16string& name, bool* exact) {
    std::uint8_t buffer[kWideReadBuffer];
    std::uint32_t size = kWideReadBuffer, type = 0;
    bool textExact = true;
    std::optional<std::string> text;
    if (platform.registry.queryValueW(key, name, &type, buffer, &size) == kErrorSuccess)
        text = StringReadText(platform.codePage, type, buffer, size, textExact);
    if (exact != nullptr) *exact = textExact;
    return text.value_or(std::string());
}

std::vector<ListedValue> ListValues(const Platform& platform, HKey root, const std::u16string& path) {
    std::vector<ListedValue> values;
    ScopedKey key(platform.registry);
    if (key.openExact(root, path, kKeyRead) != kErrorSuccess) return values;
    for (auto& name : ValuesOf(platform, key.get())) {
        std::string data = ReadTextExact(platform, key.get(), name.wide);
        values.push_back({std::move(name), std::move(data)});
    }
    return values;
}

RemovalOutcome RemoveListedValue(ScanContext& context, RegistryRemoval& room, HKey root, const std::u16string& path,
                                 const Finding& finding) {
    const Platform& platform = context.platform;
    const std::u16string name = ExactItem(finding.exactName, finding.caption, platform.codePage);
    ScopedKey key(platform.registry);
    if (auto outcome = room.openForRecheck(key, root, path)) return *outcome;
    std::uint32_t size = 0;
    const long found = platform.registry.queryValueW(key.get(), name, nullptr, nullptr, &size);
    if (found != kErrorSuccess) return IsNotFound(found) ? RemovalOutcome::Gone : RemovalOutcome::Left;
    if (ReadTextExact(platform, key.get(), name) != finding.subItem(2)) return RemovalOutcome::NoLongerAFinding;
    key.reset();
    return room.deleteValue(root, path, name);
}

std::u16string ExactItem(const std::u16string& identity, const std::string& ansi, CodePage& codePage) {
    return identity.empty() ? codePage.toWide(ansi) : identity;
}

bool IsSingleKeyName(const std::string& name) { return !name.empty() && name.find('\\') == std::string::npos; }
bool IsSingleKeyName(const std::u16string& name) { return !name.empty() && name.find(u'\\') == std::u16string::npos; }

std::string JoinKey(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "\\" + name;
}

std::u16string JoinKey(const std::u16string& parent, const std::u16string& name) {
    return parent.empty() ? name : parent + u"\\" + name;
}

std::string LocationText(HKey root, std::string_view path) {
    for (const auto& abbreviation : kRootAbbreviations) {
        if (abbreviation.root != root) continue;
        std::string text(abbreviation.text);
        if (!path.empty()) text.append("\\").append(path);
        return text;
    }
    return std::string(path);
}

const ScanSource* SourceAt(std::span<const ScanSource> sources, std::string_view location) {
    for (const auto& source : sources)
        if (LocationText(source) == location) return &source;
    return nullptr;
}

std::optional<KeyLocation> ParseLocation(std::string_view text) {
    for (const auto& abbreviation : kRootAbbreviations) {
        if (!text.starts_with(abbreviation.text)) continue;
        auto rest = text.substr(abbreviation.text.size());
        if (rest.empty()) return KeyLocation{abbreviation.root, {}};
        if (rest.front() != '\\') return std::nullopt;
        return KeyLocation{abbreviation.root, std::string(rest.substr(1))};
    }
    return std::nullopt;
}

}  // namespace keltora
