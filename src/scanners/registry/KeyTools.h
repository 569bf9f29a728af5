#pragma once
// Registry pieces the uninstall, extension, ActiveX and deep-analysis scanners share: listings
// read back without their blank and the location texts of the result lists.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryApi.h"

namespace keltora {

// An open key, closed on every path out of its scope.
class OpenedKey {
public:
    explicit OpenedKey(RegistryApi& api) : api_(api) {}
    ~OpenedKey() { close(); }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    // The key path below base. A path longer than one key name may be more than the ANSI calls
    // take in one piece (Wine stops at 260 characters), so such a path that does not open whole
    // is opened one name at a time, the keys on the way with read access only.
    bool open(HKey base, const std::string& path, std::uint32_t access);
    HKey get() const { return key_; }
    explicit operator bool() const { return key_ != 0; }

private:
    void close();
    RegistryApi& api_;
    HKey key_ = 0;
};

// A value of an open key as the registry string read gives it: at most 255 characters, the
// returned bytes without the last one, empty on any failure.
std::string ReadText(RegistryApi& api, HKey key, const std::string& name);
bool HasValue(RegistryApi& api, HKey key, const std::string& name);

// Subkey names of root\path as listed (blank-prefixed listing, blank dropped); empty when the
// key does not open with full access.
std::vector<std::string> SubkeyNames(RegistryApi& api, HKey root, const std::string& path);

// A name that stands for exactly one key below its parent: a backslash would reach further down.
bool IsSingleKeyName(const std::string& name);

// parent\name, or name alone below the root itself.
std::string JoinKey(const std::string& parent, const std::string& name);

// A location text of a result list ("HKLM\SOFTWARE\K1", "HKCR\CLSID", "HKCR") read back: the
// root its abbreviation stands for and the key path below it. Only the leading abbreviation is
// taken off, so a key whose own name holds "HKLM" keeps its name.
struct KeyLocation {
    HKey root = 0;
    std::string path;
};
std::optional<KeyLocation> ParseLocation(std::string_view text);

}  // namespace keltora
