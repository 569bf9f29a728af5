#pragma once
// The memory registry's keys, for the files that implement it: one node per key, and the steps
// every part of it takes through the tree.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/RegistryWide.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/WideCase.h"

namespace keltora {

struct MemoryRegistry::Node {
    std::u16string name;
    Node* parent = nullptr;
    // Keyed by the upper-cased name: the order in which Windows enumerates subkeys.
    std::map<std::u16string, std::shared_ptr<Node>> children;
    // In the order first written; a rewrite keeps its place.
    std::vector<std::pair<std::u16string, MemoryValue>> values;
    std::uint32_t denied = 0;
    // Its access list as RegGetKeySecurity gives it; a new key takes its parent's (inherited).
    std::vector<std::uint8_t> security = kMemoryDefaultSecurity;
    bool unwritable = false;  // every change through a handle fails (ERROR_CANTWRITE)
    bool deleted = false;
    bool predefined = false;  // a root or the node behind HKEY_CLASSES_ROOT: never deleted
    bool link = false;        // a registry link: opening it opens what its kSymbolicLinkValue names

    MemoryValue* findValue(const std::u16string& valueName) {
        for (auto& [n, v] : values) {
            if (EqualsNoCaseWide(n, valueName)) return &v;
        }
        return nullptr;
    }
};

namespace memory_registry {

using NodePtr = std::shared_ptr<MemoryRegistry::Node>;

// Key paths split at '\'; empty parts (a trailing or doubled '\') are passed over.
inline std::vector<std::u16string> SplitKeyPath(const std::u16string& path) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find(u'\\', start);
        if (end == std::u16string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

inline bool IsStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

inline std::vector<std::uint8_t> Utf16LeBytes(const std::u16string& text) {
    std::vector<std::uint8_t> bytes = Utf16LeData(text);
    bytes.resize(bytes.size() - 2);  // the text as given, its NULs included, nothing added
    return bytes;
}

// The child of node called part, made when missing and asked for; null when missing.
inline NodePtr Child(const NodePtr& node, const std::u16string& part, bool create) {
    const std::u16string upper = UpperWide(part);
    auto it = node->children.find(upper);
    if (it != node->children.end()) return it->second;
    if (!create) return nullptr;
    auto child = std::make_shared<MemoryRegistry::Node>();
    child->name = part;
    child->security = node->security;
    child->parent = node.get();
    return node->children.emplace(upper, std::move(child)).first->second;
}

inline void MarkDeleted(MemoryRegistry::Node& node) {
    node.deleted = true;
    for (auto& [upper, child] : node.children) MarkDeleted(*child);
}

// Takes a node out of the tree; handles to it see kErrorKeyDeleted from now on.
inline void Unlink(MemoryRegistry::Node& node) {
    MarkDeleted(node);
    node.parent->children.erase(UpperWide(node.name));
}

}  // namespace memory_registry
}  // namespace keltora
