// The memory registry's setup and inspection helpers: what tests fill it with and read it by,
// beside the registry calls the code under test makes.
#include <stdexcept>

#include "platform/RegistryWide.h"
#include "platform/memory/MemoryRegistryNode.h"

namespace keltora {

using namespace memory_registry;

NodePtr MemoryRegistry::find(HKey root, const std::u16string& path) const {
    NodePtr node = rootNode(root);
    if (!node) throw std::invalid_argument("not a root key: " + std::to_string(root));
    for (const auto& part : SplitKeyPath(path)) {
        if (!(node = Child(node, part, false))) return nullptr;
    }
    return node;
}

NodePtr MemoryRegistry::make(HKey root, const std::u16string& path) {
    NodePtr base = rootNode(root);
    if (!base) throw std::invalid_argument("not a root key: " + std::to_string(root));
    for (const auto& part : SplitKeyPath(path)) base = Child(base, part, true);
    return base;
}

void MemoryRegistry::addKey(HKey root, const std::string& path) { make(root, wide(path)); }

void MemoryRegistry::setRawExact(HKey root, const std::u16string& path, const std::u16string& name,
                                 std::uint32_t type, const std::vector<std::uint8_t>& data) {
    NodePtr node = make(root, path);
    if (MemoryValue* existing = node->findValue(name)) {
        *existing = MemoryValue{type, data};
    } else {
        node->values.emplace_back(name, MemoryValue{type, data});
    }
}

void MemoryRegistry::setStringExact(HKey root, const std::u16string& path, const std::u16string& name,
                                    const std::u16string& value) {
    setRawExact(root, path, name, kRegSz, Utf16LeData(value));
}

void MemoryRegistry::setRaw(HKey root, const std::string& path, const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) {
    setRawExact(root, wide(path), wide(name), type, storedData(type, data.data(), static_cast<std::uint32_t>(data.size())));
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

void MemoryRegistry::addLink(HKey root, const std::u16string& path, HKey targetRoot, const std::u16string& targetPath) {
    std::u16string target = targetRoot == kHKeyCurrentUser ? std::u16string(u"\\Registry\\User\\") + kMemoryUserSid
                            : targetRoot == kHKeyClassesRoot ? u"\\Registry\\Machine\\Software\\Classes"
                                                             : u"\\Registry\\Machine";
    if (!targetPath.empty()) target += u"\\" + targetPath;
    NodePtr node = make(root, path);
    node->link = true;
    std::vector<std::uint8_t> data = Utf16LeData(target);
    data.resize(data.size() - 2);  // a link target carries no NUL
    setRawExact(root, path, kSymbolicLinkValue, kRegLink, data);
}

void MemoryRegistry::deny(HKey root, const std::string& path, std::uint32_t rights) {
    make(root, wide(path))->denied = rights;
}

void MemoryRegistry::setSecurity(HKey root, const std::string& path, const std::vector<std::uint8_t>& descriptor) {
    make(root, wide(path))->security = descriptor;
}

std::vector<std::uint8_t> MemoryRegistry::security(HKey root, const std::string& path) const {
    const NodePtr node = find(root, wide(path));
    return node ? node->security : std::vector<std::uint8_t>();
}

void MemoryRegistry::failChanges(HKey root, const std::string& path) { make(root, wide(path))->unwritable = true; }

void MemoryRegistry::removeKey(HKey root, const std::string& path) {
    NodePtr node = find(root, wide(path));
    if (!node) return;
    if (node->predefined) throw std::invalid_argument("a predefined key cannot be removed: " + path);
    Unlink(*node);
}

bool MemoryRegistry::exists(HKey root, const std::string& path) const { return find(root, wide(path)) != nullptr; }

bool MemoryRegistry::existsExact(HKey root, const std::u16string& path) const { return find(root, path) != nullptr; }

bool MemoryRegistry::valueExists(HKey root, const std::string& path, const std::string& name) const {
    return value(root, path, name).has_value();
}

std::optional<MemoryValue> MemoryRegistry::valueExact(HKey root, const std::u16string& path,
                                                      const std::u16string& name) const {
    NodePtr node = find(root, path);
    if (!node) return std::nullopt;
    const MemoryValue* v = node->findValue(name);
    return v ? std::optional<MemoryValue>(*v) : std::nullopt;
}

std::optional<MemoryValue> MemoryRegistry::value(HKey root, const std::string& path, const std::string& name) const {
    auto v = valueExact(root, wide(path), wide(name));
    if (v) v->data = ansiData(*v);
    return v;
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
    if (NodePtr node = find(root, wide(path))) {
        for (const auto& [upper, child] : node->children) names.push_back(ansi(child->name));
    }
    return names;
}

std::vector<std::string> MemoryRegistry::valueNames(HKey root, const std::string& path) const {
    std::vector<std::string> names;
    if (NodePtr node = find(root, wide(path))) {
        for (const auto& [valueName, v] : node->values) names.push_back(ansi(valueName));
    }
    return names;
}

}  // namespace keltora
