#include "platform/Registry2.h"

namespace keltora {

TRegistry::TRegistry(RegistryApi& api, std::uint32_t access) : api_(api), access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKey root) {
    if (root == root_) return;
    CloseKey();
    root_ = root;
}

HKey TRegistry::baseFor(const std::string& path, std::string& relative) const {
    if (!path.empty() && path[0] == '\\') {
        relative = path.substr(1);
        return root_;
    }
    relative = path;
    return current_ != 0 ? current_ : root_;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    std::string relative;
    HKey base = baseFor(path, relative);
    const bool relativeToOpen = base == current_ && current_ != 0;
    HKey opened = 0;
    long rc = canCreate && !relative.empty() ? api_.createKey(base, relative, access_, opened)
                                             : api_.openKey(base, relative, access_, opened);
    if (rc != kErrorSuccess) {
        lastError_ = rc;
        return false;
    }
    std::string newPath = relativeToOpen ? currentPath_ + "\\" + path : path;
    CloseKey();
    current_ = opened;
    currentPath_ = newPath;
    return true;
}

void TRegistry::CloseKey() {
    if (current_ == 0) return;
    if (!LazyWrite) api_.flushKey(current_);
    api_.closeKey(current_);
    current_ = 0;
    currentPath_.clear();
}

namespace {

// The registry reports the longest name in UTF-16 units; its ANSI form may take more bytes (up
// to three a unit in the UTF-8 code page). The buffer is sized as the program always sized it,
// and a name that does not fit is read again with room for the longest ANSI form, never skipped.
long EnumName(RegistryApi& api, HKey key, bool values, std::uint32_t index, std::uint32_t longest, std::string& name) {
    auto enumerate = [&](std::uint32_t capacity) {
        return values ? api.enumValue(key, index, capacity, name) : api.enumKey(key, index, capacity, name);
    };
    const long rc = enumerate(2 * (longest + 1));
    return rc == kErrorMoreData ? enumerate(4 * (longest + 1)) : rc;
}

}  // namespace

void TRegistry::listNames(bool values, std::vector<std::string>& names) {
    names.clear();
    if (current_ == 0) return;
    KeyInfo info;
    if (api_.queryInfoKey(current_, info) != kErrorSuccess) return;
    const std::uint32_t count = values ? info.values : info.subKeys;
    const std::uint32_t longest = values ? info.maxValueNameLen : info.maxSubKeyLen;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        if (EnumName(api_, current_, values, i, longest, name) == kErrorSuccess) names.push_back(name);
    }
}

void TRegistry::GetKeyNames(std::vector<std::string>& names) { listNames(false, names); }
void TRegistry::GetValueNames(std::vector<std::string>& names) { listNames(true, names); }

void TRegistry::GetKeyNamesBlankPrefixed(std::vector<std::string>& names) {
    listNames(false, names);
    for (auto& n : names) n.insert(n.begin(), ' ');
}

void TRegistry::GetValueNamesBlankPrefixed(std::vector<std::string>& names) {
    listNames(true, names);
    for (auto& n : names) n.insert(n.begin(), ' ');
}

bool TRegistry::deleteTree(HKey base, const std::string& relative) {
    HKey target = 0;
    if (api_.openKey(base, relative, access_, target) == kErrorSuccess) {
        KeyInfo info;
        if (api_.queryInfoKey(target, info) == kErrorSuccess) {
            for (std::uint32_t i = info.subKeys; i-- > 0;) {
                std::string name;
                if (EnumName(api_, target, false, i, info.maxSubKeyLen, name) == kErrorSuccess) deleteTree(target, name);
            }
        }
        api_.closeKey(target);
    }
    return api_.deleteKey(base, relative) == kErrorSuccess;
}

bool TRegistry::DeleteKey(const std::string& path) {
    std::string relative;
    HKey base = baseFor(path, relative);
    // Deleting the root of the object (an empty path) is never what a caller means.
    if (relative.empty()) return false;
    return deleteTree(base, relative);
}

bool TRegistry::DeleteValue(const std::string& name) {
    return current_ != 0 && api_.deleteValue(current_, name) == kErrorSuccess;
}

bool TRegistry::KeyExists(const std::string& path) {
    std::string relative;
    HKey base = baseFor(path, relative);
    HKey probe = 0;
    if (api_.openKey(base, relative, kKeyExistsAccess, probe) != kErrorSuccess) return false;
    api_.closeKey(probe);
    return true;
}

bool TRegistry::ValueExists(const std::string& name) {
    if (current_ == 0) return false;
    std::uint32_t type = 0, size = 0;
    long rc = api_.queryValue(current_, name, &type, nullptr, &size);
    return rc == kErrorSuccess;
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
    if (current_ == 0) return TRegDataType::Unknown;
    std::uint32_t type = 0, size = 0;
    if (api_.queryValue(current_, name, &type, nullptr, &size) != kErrorSuccess) return TRegDataType::Unknown;
    switch (type) {
        case kRegSz: return TRegDataType::String;
        case kRegExpandSz: return TRegDataType::ExpandString;
        case kRegDword: return TRegDataType::Integer;
        case kRegBinary: return TRegDataType::Binary;
        default: return TRegDataType::Unknown;
    }
}

void TRegistry::writeData(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
    long rc = current_ != 0 ? api_.setValue(current_, name, type, data, size) : kErrorInvalidHandle;
    if (rc != kErrorSuccess) throw ERegistryException("Failed to set data for '" + name + "'");
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    writeData(name, kRegSz, reinterpret_cast<const std::uint8_t*>(value.c_str()),
              static_cast<std::uint32_t>(value.size() + 1));
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
    writeData(name, kRegExpandSz, reinterpret_cast<const std::uint8_t*>(value.c_str()),
              static_cast<std::uint32_t>(value.size() + 1));
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
    std::uint8_t bytes[4];
    auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(u >> (8 * i));
    writeData(name, kRegDword, bytes, 4);
}

void TRegistry::WriteBinaryData(const std::string& name, const std::vector<std::uint8_t>& data) {
    writeData(name, kRegBinary, data.data(), static_cast<std::uint32_t>(data.size()));
}

}  // namespace keltora
