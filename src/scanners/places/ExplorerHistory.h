#pragma once
// Explorer's lists of what the user opened, saved, typed and searched for (mru): every value of
// the keys of its table, each list's order value (MRUListEx) last after the values it orders.
// Values are read whole, of any type and size, and shown as they are; the removal deletes the
// checked values through the journaled registry removal, so undo brings them back.
#include <span>
#include <string_view>

#include "scan/Category.h"
#include "scanners/registry/RegistryRemoval.h"

namespace keltora {

struct HistoryKey {
    std::string_view path;  // below HKEY_CURRENT_USER
    bool subkeys;           // whether each of its subkeys (one level) is a list too
    // The list's entries start with a UTF-16 name (a document, a program, a search) that the list
    // shows; otherwise an entry is shown by its type and size.
    bool namesFirst;
};

std::span<const HistoryKey> HistoryKeys();

class ExplorerHistory : public Category {
public:
    using Category::Category;
    void scan() override;    // mruExecute
    void remove() override;  // removemruExecute

private:
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);
};

}  // namespace keltora
