#pragma once
// What one change of a removal takes away, as an undo journal keeps it, read from the registry
// exactly: names as Windows keeps them, every value with its type and bytes, a link as a link.
// The same reading tells undo what stands in the registry now.
#include <string>
#include <vector>

#include "platform/FileIdentity.h"
#include "platform/RegistryApi.h"
#include "platform/RegistryWide.h"

namespace keltora {

struct CapturedValue {
    std::u16string name;  // empty: the unnamed value
    RegistryData data;
    bool operator==(const CapturedValue&) const = default;
};

struct CapturedKey {
    std::u16string path;  // below the root
    // A registry link: only the link is kept, with its target (the REG_LINK bytes); nothing of
    // what it leads to.
    bool link = false;
    std::vector<std::uint8_t> target;
    // Its access list (a self-relative security descriptor): each key has its own, and an
    // installer may have opened one to users. Empty in journals of earlier versions.
    std::vector<std::uint8_t> security;
    std::vector<CapturedValue> values;  // in the order the key lists them
    bool operator==(const CapturedKey&) const = default;
};

struct JournalEntry {
    enum class Kind {
        KeyTree,       // a key deleted with its subtree
        Value,         // a value deleted
        DefaultValue,  // the unnamed value emptied: its former type and bytes
        FileMove,      // a Startup-folder file moved into startbug
    };
    Kind kind = Kind::Value;
    HKey root = 0;
    std::u16string keyPath;
    // KeyTree: the key first, then every key below it, each after its parent (empty ones too).
    std::vector<CapturedKey> keys;
    CapturedValue value;     // Value, DefaultValue
    std::u16string from, to;  // FileMove: where the file was, where it went
    // FileMove: what the file is where it went (itself, or its copy on another volume), so that
    // undo moves back only that file; unknown in a journal of an earlier version.
    FileIdentity moved{};
    bool operator==(const JournalEntry&) const = default;
};

// root\path with everything below it, reached by its own path (kErrorLinkOnPath where a registry
// link stands on the way); kErrorSuccess, or the status of the first read that failed (a key whose
// subtree cannot be read whole is not captured at all).
long CaptureKeyTree(RegistryApi& api, HKey root, const std::u16string& path, std::vector<CapturedKey>& keys);
// The same for a key already open (as itself when it is a link, with query, enumerate and
// READ_CONTROL access):
// path is what the key is called below its root; `known` what queryInfoKey told of the key just
// before, or null (it is then asked).
long CaptureOpenedKeyTree(RegistryApi& api, HKey key, const std::u16string& path, std::vector<CapturedKey>& keys,
                          const KeyInfo* known = nullptr);
// One value of root\path, exactly; or of a key already open with query access.
long CaptureValue(RegistryApi& api, HKey root, const std::u16string& path, const std::u16string& name,
                  CapturedValue& value);
long CaptureOpenedValue(RegistryApi& api, HKey key, const std::u16string& name, CapturedValue& value);

// What a journal can write down exactly: names without line breaks or NULs. Empty when it can,
// otherwise what stands in the way.
std::string UnwritableReason(const JournalEntry& entry);

}  // namespace keltora
