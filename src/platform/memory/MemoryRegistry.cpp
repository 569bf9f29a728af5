#include "platform/memory/MemoryRegistry.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/RegistryWide.h"
#include "platform/memory/MemoryRegistryNode.h"
#include "platform/memory/WideCase.h"
#include "platform/memory/WindowsMessages.h"

namespace keltora {

using namespace memory_registry;

namespace {

// A link followed from a link followed ... gives up after this many.
constexpr int kMaxLinkHops = 16;

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
long RelativePath(HKey parent, const std::u16string& subKey, std::u16string& path) {
    path = subKey;
    if (path.empty() || path[0] != u'\\') return kErrorSuccess;
    if (parent != kHKeyClassesRoot) return kErrorBadPathname;
    path.erase(0, 1);
    return kErrorSuccess;
}

// The name buffer holds the name and its NUL; a name that does not fit is not returned.
template <typename Text>
long FitName(const Text& found, std::uint32_t capacity, Text& name) {
    if (found.size() + 1 > capacity) return kErrorMoreData;
    name = found;
    return kErrorSuccess;
}

// Data into a caller's buffer as RegQueryValueEx fills it.
long CopyData(const std::vector<std::uint8_t>& stored, std::uint8_t* data, std::uint32_t* size) {
    const auto needed = static_cast<std::uint32_t>(stored.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return kErrorMoreData;
        }
        if (needed != 0) std::memcpy(data, stored.data(), needed);
    }
    if (size) *size = needed;
    return kErrorSuccess;
}

bool StartsWithNoCase(const std::u16string& text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCaseWide(std::u16string_view(text).substr(0, prefix.size()), prefix);
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
    auto makeRoot = [](const char16_t* name) {
        auto node = std::make_shared<Node>();
        node->name = name;
        node->predefined = true;
        return node;
    };
    localMachine_ = makeRoot(u"HKEY_LOCAL_MACHINE");
    currentUser_ = makeRoot(u"HKEY_CURRENT_USER");
    classes_ = make(kHKeyLocalMachine, u"Software\\Classes");
    classes_->predefined = true;
}

MemoryRegistry::~MemoryRegistry() = default;

NodePtr MemoryRegistry::rootNode(HKey root) const {
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
    if (node->unwritable && (needed & (kKeySetValue | kKeyCreateSubKey | kDeleteAccess)) != 0)
        return kErrorBadConfiguration;
    return kErrorSuccess;
}

// The key a link names: \Registry\Machine\... or \Registry\User\<our sid>\...; anything else, an
// unset target or one that does not exist is not found.
long MemoryRegistry::follow(const NodePtr& link, int hops, NodePtr& target) const {
    if (hops >= kMaxLinkHops) return kErrorCantResolveFilename;
    const MemoryValue* value = link->findValue(kSymbolicLinkValue);
    if (value == nullptr || value->type != kRegLink) return kErrorFileNotFound;
    std::u16string path = Utf16LeText(value->data.data(), value->data.size());
    const std::u16string machine = u"\\Registry\\Machine";
    const std::u16string user = std::u16string(u"\\Registry\\User\\") + kMemoryUserSid;
    NodePtr base;
    if (StartsWithNoCase(path, machine)) {
        base = localMachine_;
        path.erase(0, machine.size());
    } else if (StartsWithNoCase(path, user)) {
        base = currentUser_;
        path.erase(0, user.size());
    } else {
        return kErrorFileNotFound;
    }
    if (!path.empty() && path[0] != u'\\') return kErrorFileNotFound;
    return walk(base, SplitKeyPath(path), false, false, target, hops + 1);
}

long MemoryRegistry::walk(const NodePtr& from, const std::vector<std::u16string>& parts, bool create, bool openLink,
                          NodePtr& node, int hops) const {
    node = from;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        NodePtr next = Child(node, parts[i], false);
        if (!next && !create) return kErrorFileNotFound;
        // A key that may not get subkeys keeps that right from whoever walks through it.
        if (!next && (node->denied & kKeyCreateSubKey)) return kErrorAccessDenied;
        if (!next) next = Child(node, parts[i], true);
        // A link is followed wherever it stands, except as the last name of an open that asks
        // for the link itself.
        if (next->link && !(openLink && i + 1 == parts.size())) {
            if (long rc = follow(next, hops, next)) return rc;
        }
        node = next;
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

// --- the wide calls ---------------------------------------------------------------------------

long MemoryRegistry::openKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                              HKey& result) {
    result = 0;
    std::u16string path;
    NodePtr base, target;
    std::uint32_t granted = 0;
    if (long rc = RelativePath(parent, subKey, path)) return rc;
    if (long rc = resolve(parent, 0, base)) return rc;
    if (long rc = walk(base, SplitKeyPath(path), false, (options & kRegOptionOpenLink) != 0, target)) return rc;
    if (long rc = Grant(target->denied, access, granted)) return rc;
    result = newHandle(target, granted);
    return kErrorSuccess;
}

long MemoryRegistry::createKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options,
                                std::uint32_t access, HKey& result) {
    result = 0;
    std::u16string path;
    NodePtr base, target;
    std::uint32_t granted = 0;
    if (long rc = RelativePath(parent, subKey, path)) return rc;
    if (long rc = resolve(parent, 0, base)) return rc;
    const auto parts = SplitKeyPath(path);
    const bool makeLink = (options & kRegOptionCreateLink) != 0;
    const long found = walk(base, parts, false, makeLink, target);
    if (found == kErrorSuccess && makeLink) return kErrorAlreadyExists;
    if (found != kErrorSuccess) {
        // Only a key that has to be made needs the right to make subkeys of the parent.
        if (long rc = resolve(parent, kKeyCreateSubKey, base)) return rc;
        if (long rc = walk(base, parts, true, makeLink, target)) return rc;
        target->link = makeLink;
    }
    if (long rc = Grant(target->denied, access, granted)) return rc;
    result = newHandle(target, granted);
    return kErrorSuccess;
}

long MemoryRegistry::enumKeyW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) {
    NodePtr node;
    if (long rc = resolve(key, kKeyEnumerateSubKeys, node)) return rc;
    if (index >= node->children.size()) return kErrorNoMoreItems;
    return FitName(std::next(node->children.begin(), index)->second->name, nameCapacity, name);
}

long MemoryRegistry::enumValueW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) {
    NodePtr node;
    if (long rc = resolve(key, kKeyQueryValue, node)) return rc;
    if (index >= node->values.size()) return kErrorNoMoreItems;
    return FitName(node->values[index].first, nameCapacity, name);
}

long MemoryRegistry::queryValueW(HKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* size) {
    NodePtr node;
    if (long rc = resolve(key, kKeyQueryValue, node)) return rc;
    if (data && !size) return kErrorInvalidParameter;
    const MemoryValue* v = node->findValue(name);
    if (!v) return kErrorFileNotFound;
    if (type) *type = v->type;
    return CopyData(v->data, data, size);
}

long MemoryRegistry::setValueW(HKey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
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

long MemoryRegistry::deleteKeyW(HKey key, const std::u16string& subKey) {
    std::u16string path;
    NodePtr base, target;
    std::uint32_t granted = 0;
    if (long rc = RelativePath(key, subKey, path)) return rc;
    if (long rc = resolve(key, 0, base)) return rc;
    // Opened as any open is, so a link at the end is followed: its target is what goes.
    if (long rc = walk(base, SplitKeyPath(path), false, false, target)) return rc;
    // The key is opened for DELETE; the rights of the parent handle do not matter.
    if (long rc = Grant(target->denied, kDeleteAccess, granted)) return rc;
    if (target->predefined || !target->children.empty()) return kErrorAccessDenied;
    Unlink(*target);
    return kErrorSuccess;
}

long MemoryRegistry::deleteOpenedKey(HKey key) {
    NodePtr node;
    if (long rc = resolve(key, kDeleteAccess, node)) return rc;
    if (node->predefined || !node->children.empty()) return kErrorAccessDenied;
    Unlink(*node);
    return kErrorSuccess;
}

long MemoryRegistry::deleteValueW(HKey key, const std::u16string& name) {
    NodePtr node;
    if (long rc = resolve(key, kKeySetValue, node)) return rc;
    auto& values = node->values;
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const auto& v) { return EqualsNoCaseWide(v.first, name); });
    if (it == values.end()) return kErrorFileNotFound;
    values.erase(it);
    return kErrorSuccess;
}

// The names the system gives the roots; a link target names its key the same way.
long MemoryRegistry::keyNameW(HKey key, std::u16string& name) {
    NodePtr node;
    if (key == kHKeyClassesRoot) return kErrorInvalidHandle;
    if (long rc = resolve(key, 0, node)) return rc;
    std::u16string path;
    const Node* at = node.get();
    for (; at->parent != nullptr; at = at->parent) path = u"\\" + at->name + path;
    if (at == localMachine_.get()) {
        name = u"\\REGISTRY\\MACHINE" + path;
    } else {
        name = std::u16string(u"\\REGISTRY\\USER\\") + kMemoryUserSid + path;
    }
    return kErrorSuccess;
}

long MemoryRegistry::isLinkW(HKey openedAsLink, bool& link) {
    NodePtr node;
    if (long rc = resolve(openedAsLink, 0, node)) return rc;
    link = node->link;
    return kErrorSuccess;
}

long MemoryRegistry::getKeySecurity(HKey key, std::vector<std::uint8_t>& descriptor) {
    NodePtr node;
    if (long rc = resolve(key, kReadControlAccess, node)) return rc;
    descriptor = node->security;
    return kErrorSuccess;
}

// A descriptor too short to hold its header is one Windows refuses.
long MemoryRegistry::setKeySecurity(HKey key, const std::vector<std::uint8_t>& descriptor) {
    NodePtr node;
    if (long rc = resolve(key, kWriteDacAccess, node)) return rc;
    if (descriptor.size() < 20) return kErrorInvalidParameter;
    node->security = descriptor;
    return kErrorSuccess;
}

// --- the ANSI calls: the wide ones behind a conversion, as advapi32 makes them -----------------

std::vector<std::uint8_t> MemoryRegistry::ansiData(const MemoryValue& value) const {
    if (!IsStringType(value.type)) return value.data;
    const std::string text = ansi(Utf16LeText(value.data.data(), value.data.size()));
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> MemoryRegistry::storedData(std::uint32_t type, const std::uint8_t* data,
                                                     std::uint32_t size) const {
    if (!data) return {};
    if (!IsStringType(type)) return {data, data + size};
    return Utf16LeBytes(wide(std::string(reinterpret_cast<const char*>(data), size)));
}

long MemoryRegistry::openKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) {
    return openKeyW(parent, wide(subKey), 0, access, result);
}

long MemoryRegistry::createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) {
    return createKeyW(parent, wide(subKey), 0, access, result);
}

long MemoryRegistry::closeKey(HKey key) {
    if (rootNode(key)) return kErrorSuccess;
    return handles_.erase(key) != 0 ? kErrorSuccess : kErrorInvalidHandle;
}

long MemoryRegistry::flushKey(HKey key) {
    NodePtr node;
    return resolve(key, 0, node);
}

// Lengths as Windows reports them to both forms: names in UTF-16 units, data as stored.
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

long MemoryRegistry::enumKey(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) {
    std::u16string found;
    if (long rc = enumKeyW(key, index, 0xFFFFFFFF, found)) return rc;
    return FitName(ansi(found), nameCapacity, name);
}

long MemoryRegistry::enumValue(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) {
    std::u16string found;
    if (long rc = enumValueW(key, index, 0xFFFFFFFF, found)) return rc;
    return FitName(ansi(found), nameCapacity, name);
}

long MemoryRegistry::queryValue(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* size) {
    NodePtr node;
    if (long rc = resolve(key, kKeyQueryValue, node)) return rc;
    if (data && !size) return kErrorInvalidParameter;
    const MemoryValue* v = node->findValue(wide(name));
    if (!v) return kErrorFileNotFound;
    if (type) *type = v->type;
    return CopyData(ansiData(*v), data, size);
}

long MemoryRegistry::setValue(HKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) {
    if (!data && size != 0) return kErrorInvalidParameter;
    const std::vector<std::uint8_t> stored = storedData(type, data, size);
    return setValueW(key, wide(name), type, data ? stored.data() : nullptr, static_cast<std::uint32_t>(stored.size()));
}

long MemoryRegistry::deleteKey(HKey key, const std::string& subKey) { return deleteKeyW(key, wide(subKey)); }

long MemoryRegistry::deleteValue(HKey key, const std::string& name) { return deleteValueW(key, wide(name)); }

std::string MemoryRegistry::systemMessage(long code) { return WindowsMessageText(code); }

}  // namespace keltora
