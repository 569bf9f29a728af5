#pragma once
// TRegistry: a registry object that holds a root, one open key and its path. Each registry
// operation of the program creates its own object and lets it close its key when it goes.
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/RegistryApi.h"

namespace keltora {

// Raised by the writes, with "Failed to set data for '<name>'".
class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TRegDataType { Unknown, String, ExpandString, Integer, Binary };

class TRegistry {
public:
    explicit TRegistry(RegistryApi& api, std::uint32_t access = kKeyAllAccess);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKey RootKey() const { return root_; }
    void SetRootKey(HKey root);
    HKey CurrentKey() const { return current_; }
    const std::string& CurrentPath() const { return currentPath_; }
    bool LazyWrite = true;

    bool OpenKey(const std::string& path, bool canCreate);
    // The Windows error of the last OpenKey that failed.
    long LastError() const { return lastError_; }
    void CloseKey();

    void GetKeyNames(std::vector<std::string>& names);
    void GetValueNames(std::vector<std::string>& names);
    // Listings whose entries are one blank followed by the name; readers drop the blank.
    void GetKeyNamesBlankPrefixed(std::vector<std::string>& names);
    void GetValueNamesBlankPrefixed(std::vector<std::string>& names);

    bool DeleteKey(const std::string& path);
    bool DeleteValue(const std::string& name);
    bool KeyExists(const std::string& path);
    bool ValueExists(const std::string& name);
    TRegDataType GetDataType(const std::string& name);

    void WriteString(const std::string& name, const std::string& value);
    void WriteExpandString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteBinaryData(const std::string& name, const std::vector<std::uint8_t>& data);

private:
    // The key a path starts from, and the path below it, by the rules of OpenKey.
    HKey baseFor(const std::string& path, std::string& relative) const;
    bool deleteTree(HKey base, const std::string& relative);
    void listNames(bool values, std::vector<std::string>& names);
    void writeData(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size);

    RegistryApi& api_;
    HKey root_ = kHKeyCurrentUser;
    HKey current_ = 0;
    std::string currentPath_;
    std::uint32_t access_;
    long lastError_ = kErrorSuccess;
};

}  // namespace keltora
