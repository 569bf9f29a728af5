#include "scanners/registry/KeyTools.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"

namespace keltora {

namespace {

struct RootAbbreviation {
    std::string_view text;
    HKey root;
};

// The longest key name the registry keeps.
constexpr std::size_t kMaxKeyName = 255;

constexpr RootAbbreviation kRootAbbreviations[] = {
    {"HKLM", kHKeyLocalMachine},
    {"HKCU", kHKeyCurrentUser},
    {"HKCR", kHKeyClassesRoot},
};

}  // namespace

void OpenedKey::close() {
    if (key_ != 0) api_.closeKey(key_);
    key_ = 0;
}

bool OpenedKey::open(HKey base, const std::string& path, std::uint32_t access) {
    close();
    HKey opened = 0;
    if (api_.openKey(base, path, access, opened) == kErrorSuccess) {
        key_ = opened;
        return true;
    }
    if (path.size() <= kMaxKeyName || path.find('\\') == std::string::npos) return false;
    const auto cut = path.find('\\');
    OpenedKey first(api_);
    if (!first.open(base, path.substr(0, cut), kKeyRead)) return false;
    return open(first.get(), path.substr(cut + 1), access);
}

std::string ReadText(RegistryApi& api, HKey key, const std::string& name) {
    std::uint8_t buffer[kStringReadBuffer];
    std::uint32_t size = kStringReadBuffer, type = 0;
    if (api.queryValue(key, name, &type, buffer, &size) != kErrorSuccess || size == 0) return {};
    return std::string(reinterpret_cast<const char*>(buffer), size - 1);
}

bool HasValue(RegistryApi& api, HKey key, const std::string& name) {
    std::uint32_t type = 0, size = 0;
    return api.queryValue(key, name, &type, nullptr, &size) == kErrorSuccess;
}

std::vector<std::string> SubkeyNames(RegistryApi& api, HKey root, const std::string& path) {
    std::vector<std::string> names;
    TRegistry reg(api);
    reg.SetRootKey(root);
    if (reg.OpenKey("\\" + path, false)) reg.GetKeyNames(names);
    return names;
}

bool IsSingleKeyName(const std::string& name) { return !name.empty() && name.find('\\') == std::string::npos; }

std::string JoinKey(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "\\" + name;
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
