#include "platform/memory/MemoryRegistry.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/memory/AsciiCase.h"
#include "platform/memory/WindowsMessages.h"

namespace keltora {

struct MemoryRegistry::Node {
    std::string name;
    Node* parent = nullptr;
    // Keyed by the upper-cased name: the order in which Windows enumerates subkeys.
    std::map<std::string, std::shared_ptr<Node>> children;
    // In the order first written; a rewrite keeps its place.
    std::vector<std::pair<std::string, MemoryValue>> values;
    std::uint32_t denied = 0;
    bool deleted = false;
    bool predefined = false;  // a root or the node behind HKEY_CLASSES_ROOT: never deleted

    MemoryValue* findValue(const std::string& valueName) {
        for (auto& [n, v] : values) {
            if (EqualsNoCase(n, valueName)) return &v;
        }
        return nullptr;
    }
};

namespace {

using NodePtr = std::shared_ptr<MemoryRegistry::Node>;

// Key paths split at '\'; empty parts (a trailing or doubled '\') are passed over.
std::vector<std::string> SplitKeyPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Generic rights and MAXIMUM_ALLOWED as the registry maps them to key rights.
std::uint32_t MapGeneric(std::uint32_t access) {
    std::uint32_t mapped = access & 0x00FFFFFF & ~kMaximumAllowedAccess;
    if (access & 0x80000000u) mapped |= kKeyRead;        // GENERIC_READ
    if (access & 0x40000000u) mapped |= kKeyWrite;       // GENERIC_WRITE
    if (access & 0x20000000u) mapped |= kKeyRead;        // GENERIC_EXECUTE
    if (access & 0x10000000u) mapped |= kKeyAllAccess;   // GENERIC_ALL
    if (access & kMaximumAllowedAccess) mapped |= kKeyAllAccess;
    return mapped;
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
    auto makeRoot = [](const char* name) {
        auto node = std::make_shared<Node>();
        node->name = name;
        node->predefined = true;
        return node;
    };
    localMachine_ = makeRoot("HKEY_LOCAL_MACHINE");
    currentUser_ = makeRoot("HKEY_CURRENT_USER");
    classes_ = make(kHKeyLocalMachine, "Software\\Classes");
    classes_->predefined = true;
}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::rootNode(HKey root) const {
    switch (root) {
        case kHKeyClassesRoot: return classes_;
        case kHKeyCurrentUser: return currentUser_;
        case kHKeyLocalMachine: return localMachine_;
        default: return nullptr;
    }
}

long MemoryRegistry::resolve(HKey key, std::uint32_t needed, NodePtr& node) const {
    std::uint32_t access = kKeyAllAccess;
    node = rootNode(key);
    if (!node) {
        auto it = handles_.find(key);
        if (it == handles_.end()) return kErrorInvalidHandle;
        node = it->second.node;
        access = it->second.access;
    }
    if (node->deleted) return kErrorKeyDeleted;
    if ((access & needed) != needed) return kErrorAccessDenied;
    return kErrorSuccess;
}

namespace {

// The child of node called part, made when missing and asked for; null when missing.
NodePtr Child(const NodePtr& node, const std::string& part, bool create) {
    const std::string upper = UpperAscii(part);
    auto it = node->children.find(upper);
    if (it != node->children.end()) return it->second;
    if (!create) return nullptr;
    auto child = std::make_shared<MemoryRegistry::Node>();
    child->name = part;
    child->parent = node.get();
    return node->children.emplace(upper, std::move(child)).first->second;
}

}  // namespace

long MemoryRegistry::walk(const NodePtr& from, const std::vector<std::string>& parts, bool create, NodePtr& node) {
    node = from;
    for (const auto& part : parts) {
        NodePtr next = Child(node, part, false);
        if (!next && !create) return kErrorFileNotFound;
        // A key that may not get subkeys keeps that right from whoever walks through it.
        if (!next && (node->denied & kKeyCreateSubKey)) return kErrorAccessDenied;
        node = next ? next : Child(node, part, true);
    }
    return kErrorSuccess;
}

HKey MemoryRegistry::newHandle(NodePtr node, std::uint32_t access) {
    // Handles are never reused, so a key used after it was closed fails instead of reaching
    // whatever key got the number next.
    HKey handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = Handle{std::move(node), access};
    return handle;
}

namespace {

// The rights an open of the node gets, or kErrorAccessDenied by its deny mark.
long Grant(std::uint32_t denied, std::uint32_t access, std::uint32_t& granted) {
    if (denied == kDenyAllAccess) return kErrorAccessDenied;
    const std::uint32_t mapped = MapGeneric(access);
    if (access & kMaximumAllowedAccess) {
        granted = mapped & ~denied;
        return granted != 0 ? kErrorSuccess : kErrorAccessDenied;
    }
    if (mapped & denied) return kErrorAccessDenied;
    granted = mapped;
    return kErrorSuccess;
}

// A subkey path may not begin with '\', except below HKEY_CLASSES_ROOT where one is allowed.
long RelativePath(HKey parent, const std::string& subKey, std::string& path) {
    path = subKey;
    if (path.empty() || path[0] != '\\') return kErrorSuccess;
    if (parent != kHKeyClassesRoot) return kErrorBadPathname;
    path.erase(0, 1);
    return kErrorSuccess;
}

}  // namespace

long MemoryRegistry::openKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) {
    result = 0;
    std::string path;
    NodePtr base, target;
    std::uint32_t granted = 0;
    if (long rc = RelativePath(parent, subKey, path)) return rc;
    if (long rc = resolve(parent, 0, base)) return rc;
    if (long rc = walk(base, SplitKeyPath(path), false, target)) return rc;
    if (long rc = Grant(target->denied, access, granted)) return rc;
    result = newHandle(target, granted);
    return kErrorSuccess;
}

long MemoryRegistry::createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) {
    result = 0;
    std::string path;
    NodePtr base, target;
    std::uint32_t granted = 0;
    if (long rc = RelativePath(parent, subKey, path)) return rc;
    if (long rc = resolve(parent, 0, base)) return rc;
    const auto parts = SplitKeyPath(path);
    if (walk(base, parts, false, target) != kErrorSuccess) {
        // Only a key that has to be made needs the right to make subkeys of the parent.
        if (long rc = resolve(parent, kKeyCreateSubKey, base)) return rc;
        if (long rc = walk(base, parts, true, target)) return rc;
    }
    if (long rc = Grant(target->denied, access, granted)) return rc;
    result = newHandle(target, granted);
    return kErrorSuccess;
}

long MemoryRegistry::closeKey(HKey key) {
    if (rootNode(key)) return kErrorSuccess;
    return handles_.erase(key) != 0 ? kErrorSuccess : kErrorInvalidHandle;
}

long MemoryRegistry::flushKey(HKey key) {
    NodePtr node;
    return resolve(key, 0, node);
}

long MemoryRegistry::queryInfoKey(HKey key, KeyInfo& info) {
    NodePtr node;
    if (long rc = resolve(key, kKeyQueryValue, node)) return rc;
    info = KeyInfo{};
    info.subKeys = static_cast<std::uint32_t>(node->children.size());
    info.values = static_cast<std::uint32_t>(node->values.size());
    for (const auto& [upper, child] : node->children) {
        info.maxSubKeyLen = std::max(info.maxSubKeyLen, static_cast<std::uint32_t>(child->name.size()));
    }
    for (const auto& [valueName, v] : node->values) {
        info.maxValueNameLen = std::max(info.maxValueNameLen, static_cast<std::uint32_t>(valueName.size()));
        info.maxValueLen = std::max(info.maxValueLen, static_cast<std::uint32_t>(v.data.size()));
    }
    return kErrorSuccess;
}

namespace {

// The name buffer holds the name and its NUL; a name that does not fit is not returned.
long FitName(const std::string& found, std::uint32_t capacity, std::string& name) {
    if (found.size() + 1 > capacity) return kErrorMoreData;
    name = found;
    return kErrorSuccess;
}

}  // namespace

long MemoryRegistry::enumKey(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) {
    NodePtr node;
    if (long rc = resolve(key, kKeyEnumerateSubKeys, node)) return rc;
    if (index >= node->children.size()) return kErrorNoMoreItems;
    return FitName(std::next(node->children.begin(), index)->second->name, nameCapacity, name);
}

long MemoryRegistry::enumValue(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) {
    NodePtr node;
    if (long rc = resolve(key, kKeyQueryValue, node)) return rc;
    if (index >= node->values.size()) return kErrorNoMoreItems;
    return FitName(node->values[index].first, nameCapacity, name);
}

long MemoryRegistry::queryValue(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* size) {
    NodePtr node;
    if (long rc = resolve(key, kKeyQueryValue, node)) return rc;
    if (data && !size) return kErrorInvalidParameter;
    const MemoryValue* v = node->findValue(name);
    if (!v) return kErrorFileNotFound;
    if (type) *type = v->type;
    const auto needed = static_cast<std::uint32_t>(v->data.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return kErrorMoreData;
        }
        if (needed != 0) std::memcpy(data, v->data.data(), needed);
    }
    if (size) *size = needed;
    return kErrorSuccess;
}

long MemoryRegistry::setValue(HKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) {
    NodePtr node;
    if (long rc = resolve(key, kKeySetValue, node)) return rc;
    if (!data && size != 0) return kErrorInvalidParameter;
    MemoryValue fresh{type, data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>{}};
    if (MemoryValue* existing = node->findValue(name)) {
        *existing = std::move(fresh);
    } else {
        node->values.emplace_back(name, std::move(fresh));
    }
    return kErrorSuccess;
}

namespace {

void MarkDeleted(MemoryRegistry::Node& node) {
    node.deleted = true;
    for (auto& [upper, child] : node.children) MarkDeleted(*child);
}

}  // namespace

long MemoryRegistry::deleteKey(HKey key, const std::string& subKey) {
    std::string path;
    NodePtr base, target;
    std::uint32_t granted = 0;
    if (long rc = RelativePath(key, subKey, path)) return rc;
    if (long rc = resolve(key, 0, base)) return rc;
    if (long rc = walk(base, SplitKeyPath(path), false, target)) return rc;
    // The key is opened for DELETE; the rights of the parent handle do not matter.
    if (long rc = Grant(target->denied, kDeleteAccess, granted)) return rc;
    if (target->predefined || !target->children.empty()) return kErrorAccessDenied;
    target->deleted = true;
    target->parent->children.erase(UpperAscii(target->name));
    return kErrorSuccess;
}

long MemoryRegistry::deleteValue(HKey key, const std::string& name) {
    NodePtr node;
    if (long rc = resolve(key, kKeySetValue, node)) return rc;
    auto& values = node->values;
    auto it = std::find_if(values.begin(), values.end(), [&](const auto& v) { return EqualsNoCase(v.first, name); });
    if (it == values.end()) return kErrorFileNotFound;
    values.erase(it);
    return kErrorSuccess;
}

std::string MemoryRegistry::systemMessage(long code) { return WindowsMessageText(code); }

// --- setup and inspection -------------------------------------------------------------------

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::find(HKey root, const std::string& path) const {
    NodePtr node = rootNode(root);
    if (!node) throw std::invalid_argument("not a root key: " + std::to_string(root));
    for (const auto& part : SplitKeyPath(path)) {
        if (!(node = Child(node, part, false))) return nullptr;
    }
    return node;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::make(HKey root, const std::string& path) {
    NodePtr base = rootNode(root);
    if (!base) throw std::invalid_argument("not a root key: " + std::to_string(root));
    for (const auto& part : SplitKeyPath(path)) base = Child(base, part, true);
    return base;
}

void MemoryRegistry::addKey(HKey root, const std::string& path) { make(root, path); }

void MemoryRegistry::setRaw(HKey root, const std::string& path, const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) {
    NodePtr node = make(root, path);
    if (MemoryValue* existing = node->findValue(name)) {
        *existing = MemoryValue{type, data};
    } else {
        node->values.emplace_back(name, MemoryValue{type, data});
    }
}

namespace {

std::vector<std::uint8_t> WithNul(const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

}  // namespace

void MemoryRegistry::setString(HKey root, const std::string& path, const std::string& name, const std::string& value) {
    setRaw(root, path, name, kRegSz, WithNul(value));
}

void MemoryRegistry::setExpandString(HKey root, const std::string& path, const std::string& name,
                                     const std::string& value) {
    setRaw(root, path, name, kRegExpandSz, WithNul(value));
}

void MemoryRegistry::setDword(HKey root, const std::string& path, const std::string& name, std::uint32_t value) {
    std::vector<std::uint8_t> bytes(4);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    setRaw(root, path, name, kRegDword, bytes);
}

void MemoryRegistry::setBinary(HKey root, const std::string& path, const std::string& name,
                               const std::vector<std::uint8_t>& data) {
    setRaw(root, path, name, kRegBinary, data);
}

void MemoryRegistry::deny(HKey root, const std::string& path, std::uint32_t rights) { make(root, path)->denied = rights; }

void MemoryRegistry::removeKey(HKey root, const std::string& path) {
    NodePtr node = find(root, path);
    if (!node) return;
    if (node->predefined) throw std::invalid_argument("a predefined key cannot be removed: " + path);
    MarkDeleted(*node);
    node->parent->children.erase(UpperAscii(node->name));
}

bool MemoryRegistry::exists(HKey root, const std::string& path) const { return find(root, path) != nullptr; }

bool MemoryRegistry::valueExists(HKey root, const std::string& path, const std::string& name) const {
    return value(root, path, name).has_value();
}

std::optional<MemoryValue> MemoryRegistry::value(HKey root, const std::string& path, const std::string& name) const {
    NodePtr node = find(root, path);
    if (!node) return std::nullopt;
    const MemoryValue* v = node->findValue(name);
    return v ? std::optional<MemoryValue>(*v) : std::nullopt;
}

std::optional<std::string> MemoryRegistry::stringValue(HKey root, const std::string& path,
                                                       const std::string& name) const {
    auto v = value(root, path, name);
    if (!v) return std::nullopt;
    std::string text(v->data.begin(), v->data.end());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::vector<std::string> MemoryRegistry::subKeyNames(HKey root, const std::string& path) const {
    std::vector<std::string> names;
    if (NodePtr node = find(root, path)) {
        for (const auto& [upper, child] : node->children) names.push_back(child->name);
    }
    return names;
}

std::vector<std::string> MemoryRegistry::valueNames(HKey root, const std::string& path) const {
    std::vector<std::string> names;
    if (NodePtr node = find(root, path)) {
        for (const auto& [valueName, v] : node->values) names.push_back(valueName);
    }
    return names;
}

}  // namespace keltora
