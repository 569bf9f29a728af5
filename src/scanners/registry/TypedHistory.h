#pragma once
// Two registry lists of what the user typed: the addresses of the browser's address bar (url)
// and the commands of the Start menu's Run box (run). Every value of the key is reported as a
// whole; removal deletes the checked values.
#include <span>
#include <string_view>

#include "scan/Category.h"
#include "scanners/registry/RegistryRemoval.h"

namespace keltora {

struct TypedHistoryKey {
    std::string_view code;
    std::string_view path;  // below HKEY_CURRENT_USER
    std::string_view location;  // the "Registry Location" text
};

std::span<const TypedHistoryKey> TypedHistoryKeys();

// url and run: one scanner, told apart by its category code.
class TypedHistory : public Category {
public:
    TypedHistory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore);
    void scan() override;  // type_urlExecute, runExecute
    void remove() override;  // removeurlExecute, removerunExecute

    // Each value pauses this long and lets the window handle its messages.
    static constexpr std::uint32_t kValuePauseMs = 10;

private:
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);
    const TypedHistoryKey& key_;
};

}  // namespace keltora
