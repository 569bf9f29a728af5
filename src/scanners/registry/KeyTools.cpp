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

// The variables a 32-bit program finds with other values than a 64-bit one: the (x86) folders.
constexpr std::pair<std::u16string_view, std::u16string_view> kWow32Variables[] = {
    {u"ProgramFiles", u"ProgramFiles(x86)"},
    {u"CommonProgramFiles", u"CommonProgramFiles(x86)"},
};

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
        // ASCII text, the common case, straight from the bytes; an odd last byte is a character of
        // its own, its high byte missing.
        text.reserve((size + 1) / 2);
        std::uint32_t i = 0;
        for (; i + 1 < size && data[i + 1] == 0 && data[i] < 0x80; i += 2) text.push_back(static_cast<char>(data[i]));
        if (i + 1 == size && data[i] < 0x80) {
            text.push_back(static_cast<char>(data[i]));
            i = size;
        }
        if (i < size) {
            std::u16string wide = Utf16LeText(data, size);
            if (size % 2 != 0) wide.push_back(data[size - 1]);
            text = codePage.toAnsi(wide, &exact);
        }
    } else {
        text.assign(reinterpret_cast<const char*>(data), size);
    }
    if (text.size() > kStringReadBuffer) return std::nullopt;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::optional<std::vector<std::string>> PathTexts(const Platform& platform, std::uint32_t type,
                                                  const std::uint8_t* data, std::uint32_t size, RegistryView view,
                                                  bool expandPlain) {
    if (!IsStringType(type)) return std::nullopt;
    bool exact = true;
    const auto text = StringReadText(platform.codePage, type, data, size, exact);
    if (!text || !exact) return std::nullopt;
    std::vector<std::string> texts;
    if (type == kRegMultiSz) {
        for (std::size_t at = 0; at < text->size();) {
            const std::size_t end = std::min(text->find('\0', at), text->size());
            if (end > at) texts.push_back(text->substr(at, end - at));
            at = end + 1;
        }
    } else {
        // A string ends at its first NUL, as every program reading it sees it.
        texts.push_back(text->substr(0, text->find('\0')));
    }
    if (type == kRegExpandSz || (expandPlain && type == kRegSz)) {
        for (auto& piece : texts) {
            auto expanded = ExpandForView(platform, piece, view);
            if (!expanded) return std::nullopt;
            piece = std::move(*expanded);
        }
    }
    return texts;
}

std::optional<std::vector<std::string>> ReadPathTexts(const Platform& platform, HKey key, const std::u16string& name,
                                                      RegistryView view, bool expandPlain) {
    std::uint8_t buffer[kWideReadBuffer];
    std::uint32_t size = kWideReadBuffer, type = 0;
    if (platform.registry.queryValueW(key, name, &type, buffer, &size) != kErrorSuccess) return std::nullopt;
    return PathTexts(platform, type, buffer, size, view, expandPlain);
}

std::optional<std::string> ExpandForView(const Platform& platform, const std::string& text, RegistryView view) {
    if (text.find('%') == std::string::npos) return text;
    return ExpandVariables(text, [&](const std::string& name) -> std::optional<std::string> {
        std::u16string variable = platform.codePage.toWide(name);
        if (view == RegistryView::Wow32) {
            for (const auto& [native, x86] : kWow32Variables)
                if (SameNamesAsciiCase(variable, native)) variable = x86;
        }
        const auto value = platform.files.environmentVariable(variable);
        if (!value) return std::nullopt;
        bool exact = true;
        std::string ansi = AnsiOf(platform.codePage, *value, exact);
        return exact ? std::optional<std::string>(std::move(ansi)) : std::nullopt;
    });
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
