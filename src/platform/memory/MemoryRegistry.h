#pragma once
// An in-memory registry with the observable behaviour of advapi32: predefined roots, names
// without case, handles that carry their granted access, registry links, and the error codes
// Windows gives. Names are kept in UTF-16 and string data as Windows stores it (UTF-16LE); the
// ANSI calls convert both with the code page, so a name the code page cannot carry reads back
// as '?' or as its look-alike, as it does through advapi32.
// Test setup goes through the helpers below, which ignore access and deny marks and see links as
// keys of their own (they never follow one).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/RegistryApi.h"
#include "platform/memory/AnsiCodePage.h"

namespace keltora {

constexpr long kErrorBadPathname = 161;
constexpr long kErrorKeyDeleted = 1018;           // a handle whose key was deleted meanwhile
constexpr long kErrorCantResolveFilename = 1921;  // a chain of links too long to follow

constexpr std::uint32_t kDenyAllAccess = 0xFFFFFFFF;

// The user the memory HKEY_CURRENT_USER belongs to, as a link target names it:
// \Registry\User\<sid>\...
inline constexpr char16_t kMemoryUserSid[] = u"S-1-5-21-0-0-0-1000";

// The security descriptor of the roots: self-relative, with an empty access list.
inline const std::vector<std::uint8_t> kMemoryDefaultSecurity = {1, 0, 4, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                                   0, 0, 20, 0, 0, 0, 2, 0, 8, 0, 0, 0, 0, 0};

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

    long openKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                  HKey& result) override;
    long createKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                    HKey& result) override;
    long enumKeyW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) override;
    long enumValueW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) override;
    long queryValueW(HKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* size) override;
    long setValueW(HKey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                   std::uint32_t size) override;
    long deleteKeyW(HKey key, const std::u16string& subKey) override;
    long deleteOpenedKey(HKey key) override;
    long deleteValueW(HKey key, const std::u16string& name) override;
    long keyNameW(HKey key, std::u16string& name) override;
    long isLinkW(HKey openedAsLink, bool& link) override;
    long getKeySecurity(HKey key, std::vector<std::uint8_t>& descriptor) override;
    long setKeySecurity(HKey key, const std::vector<std::uint8_t>& descriptor) override;
    std::string systemMessage(long code) override;

    // The code page of the ANSI calls: Windows-1252 with best fit unless a test sets another
    // (the UTF-8 code page of recent Windows, say); it must outlive the registry.
    void useCodePage(CodePage& codePage) { codePage_ = &codePage; }

    // Setup with ANSI names and data as the ANSI calls would store them: keys are created as
    // needed, strings are stored with their terminating NUL.
    void addKey(HKey root, const std::string& path);
    void setString(HKey root, const std::string& path, const std::string& name, const std::string& value);
    void setExpandString(HKey root, const std::string& path, const std::string& name, const std::string& value);
    void setDword(HKey root, const std::string& path, const std::string& name, std::uint32_t value);
    void setBinary(HKey root, const std::string& path, const std::string& name, const std::vector<std::uint8_t>& data);
    void setRaw(HKey root, const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data);
    // Setup with exact names: data stored as given (UTF-16LE for the string types).
    void setRawExact(HKey root, const std::u16string& path, const std::u16string& name, std::uint32_t type,
                     const std::vector<std::uint8_t>& data);
    void setStringExact(HKey root, const std::u16string& path, const std::u16string& name,
                        const std::u16string& value);
    // Makes root\path a link to targetRoot\targetPath (which need not exist).
    void addLink(HKey root, const std::u16string& path, HKey targetRoot, const std::u16string& targetPath);
    // Opens of the key asking for any of these rights fail with kErrorAccessDenied, and with
    // KEY_CREATE_SUB_KEY no key can be made below it; the default makes it unopenable. Deny
    // KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE for a key a standard user may only read.
    void deny(HKey root, const std::string& path, std::uint32_t rights = kDenyAllAccess);
    // A key's access list, as an installer that opens a key to users sets it; and read.
    void setSecurity(HKey root, const std::string& path, const std::vector<std::uint8_t>& descriptor);
    std::vector<std::uint8_t> security(HKey root, const std::string& path) const;
    // Every change made through a handle of the key (its values set or deleted, a key made below
    // it, the key deleted) fails with ERROR_CANTWRITE, as in a hive the system cannot write;
    // opening and reading it still work.
    void failChanges(HKey root, const std::string& path);
    // Removes a subtree as another program would; open handles to it then see kErrorKeyDeleted.
    void removeKey(HKey root, const std::string& path);

    // Inspection, with ANSI names; data as the ANSI calls read it.
    bool exists(HKey root, const std::string& path) const;
    bool valueExists(HKey root, const std::string& path, const std::string& name) const;
    std::optional<MemoryValue> value(HKey root, const std::string& path, const std::string& name) const;
    // The data of a value as text, without the one terminating NUL it was stored with.
    std::optional<std::string> stringValue(HKey root, const std::string& path, const std::string& name) const;
    std::vector<std::string> subKeyNames(HKey root, const std::string& path) const;
    std::vector<std::string> valueNames(HKey root, const std::string& path) const;
    // Inspection with exact names; data exactly as stored.
    bool existsExact(HKey root, const std::u16string& path) const;
    std::optional<MemoryValue> valueExact(HKey root, const std::u16string& path, const std::u16string& name) const;
    // Handles opened and not yet closed; every registry operation is expected to leave none.
    std::size_t openHandles() const { return handles_.size(); }

    struct Node;  // one key; defined with the implementation

private:
    struct Handle {
        std::shared_ptr<Node> node;
        std::uint32_t access = 0;
    };
    using NodePtr = std::shared_ptr<Node>;

    long resolve(HKey key, std::uint32_t needed, NodePtr& node) const;
    long walk(const NodePtr& from, const std::vector<std::u16string>& parts, bool create, bool openLink,
              NodePtr& node, int hops = 0) const;
    long follow(const NodePtr& link, int hops, NodePtr& target) const;
    HKey newHandle(NodePtr node, std::uint32_t access);
    NodePtr rootNode(HKey root) const;
    NodePtr find(HKey root, const std::u16string& path) const;
    NodePtr make(HKey root, const std::u16string& path);
    std::u16string wide(const std::string& ansi) const { return codePage_->toWide(ansi); }
    std::string ansi(const std::u16string& text) const { return codePage_->toAnsi(text); }
    // Data between the stored form and the form the ANSI calls give and take.
    std::vector<std::uint8_t> ansiData(const MemoryValue& value) const;
    std::vector<std::uint8_t> storedData(std::uint32_t type, const std::uint8_t* data, std::uint32_t size) const;

    MemoryCodePage ownCodePage_;
    CodePage* codePage_ = &ownCodePage_;
    NodePtr localMachine_, currentUser_, classes_;
    std::map<HKey, Handle> handles_;
    HKey nextHandle_ = 0x100;
};

}  // namespace keltora
