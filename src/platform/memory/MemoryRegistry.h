#pragma once
// An in-memory registry with the observable behaviour of advapi32: predefined roots, names
// without case, handles that carry their granted access, and the error codes Windows gives.
// Test setup goes through the helpers below, which ignore access and deny marks.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryApi.h"

namespace keltora {

constexpr long kErrorBadPathname = 161;
constexpr long kErrorKeyDeleted = 1018;  // a handle whose key was deleted meanwhile

constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kDeleteAccess = 0x00010000;
constexpr std::uint32_t kMaximumAllowedAccess = 0x02000000;
constexpr std::uint32_t kDenyAllAccess = 0xFFFFFFFF;

struct MemoryValue {
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

class MemoryRegistry : public RegistryApi {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    long openKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) override;
    long createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) override;
    long closeKey(HKey key) override;
    long flushKey(HKey key) override;
    long queryInfoKey(HKey key, KeyInfo& info) override;
    long enumKey(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) override;
    long enumValue(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) override;
    long queryValue(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long setValue(HKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long deleteKey(HKey key, const std::string& subKey) override;
    long deleteValue(HKey key, const std::string& name) override;
    std::string systemMessage(long code) override;

    // Setup: keys are created as needed. Strings are stored with their terminating NUL.
    void addKey(HKey root, const std::string& path);
    void setString(HKey root, const std::string& path, const std::string& name, const std::string& value);
    void setExpandString(HKey root, const std::string& path, const std::string& name, const std::string& value);
    void setDword(HKey root, const std::string& path, const std::string& name, std::uint32_t value);
    void setBinary(HKey root, const std::string& path, const std::string& name, const std::vector<std::uint8_t>& data);
    void setRaw(HKey root, const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data);
    // Opens of the key asking for any of these rights fail with kErrorAccessDenied, and with
    // KEY_CREATE_SUB_KEY no key can be made below it; the default makes it unopenable. Deny
    // KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE for a key a standard user may only read.
    void deny(HKey root, const std::string& path, std::uint32_t rights = kDenyAllAccess);
    // Removes a subtree as another program would; open handles to it then see kErrorKeyDeleted.
    void removeKey(HKey root, const std::string& path);

    // Inspection.
    bool exists(HKey root, const std::string& path) const;
    bool valueExists(HKey root, const std::string& path, const std::string& name) const;
    std::optional<MemoryValue> value(HKey root, const std::string& path, const std::string& name) const;
    // The data of a value as text, without the one terminating NUL it was stored with.
    std::optional<std::string> stringValue(HKey root, const std::string& path, const std::string& name) const;
    std::vector<std::string> subKeyNames(HKey root, const std::string& path) const;
    std::vector<std::string> valueNames(HKey root, const std::string& path) const;
    // Handles opened and not yet closed; every registry operation is expected to leave none.
    std::size_t openHandles() const { return handles_.size(); }

    struct Node;  // one key; defined with the implementation

private:
    struct Handle {
        std::shared_ptr<Node> node;
        std::uint32_t access = 0;
    };

    long resolve(HKey key, std::uint32_t needed, std::shared_ptr<Node>& node) const;
    long walk(const std::shared_ptr<Node>& from, const std::vector<std::string>& parts, bool create,
              std::shared_ptr<Node>& node);
    HKey newHandle(std::shared_ptr<Node> node, std::uint32_t access);
    std::shared_ptr<Node> rootNode(HKey root) const;
    std::shared_ptr<Node> find(HKey root, const std::string& path) const;
    std::shared_ptr<Node> make(HKey root, const std::string& path);

    std::shared_ptr<Node> localMachine_, currentUser_, classes_;
    std::map<HKey, Handle> handles_;
    HKey nextHandle_ = 0x100;
};

}  // namespace keltora
