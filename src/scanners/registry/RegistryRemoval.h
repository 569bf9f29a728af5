#pragma once
// The one place every registry change of a removal goes through. It acts only on the exact item
// it is given (wide names, as Windows keeps them), deletes a subtree without ever following a
// registry link, hands each change to the command's journal first, honours a dry run, and tells
// what became of the item:
//   Removed  it was there and is gone now (in a dry run: it would be);
//   Gone     it was not there when the removal came ("not found", nothing else);
//   Left     it is still there: the journal refused, access was denied, or the change failed.
// Access denied and every other failure mean present: nothing is called gone that may still be
// there. The caller re-checks the finding's reason before it asks for a change.
#include <functional>
#include <string>

#include "scan/ScanContext.h"

namespace keltora {

class RegistryRemoval {
public:
    explicit RegistryRemoval(ScanContext& context);
    // Tells the user why the journal refused, when it did (once per command).
    ~RegistryRemoval();
    RegistryRemoval(const RegistryRemoval&) = delete;
    RegistryRemoval& operator=(const RegistryRemoval&) = delete;

    // root\keyPath with everything below it. A link inside the subtree, or keyPath itself when
    // it is one, is deleted as the link; its target is never touched.
    RemovalOutcome deleteKeyTree(HKey root, const std::u16string& keyPath);
    // The value of that exact name.
    RemovalOutcome deleteValue(HKey root, const std::u16string& keyPath, const std::u16string& name);
    // The unnamed value becomes the empty string, as the settings write writes it; a failed write
    // raises ERegistryException("Failed to set data for ''") as that write does.
    RemovalOutcome emptyDefaultValue(HKey root, const std::u16string& keyPath);
    // A file move a removal makes beside its registry changes (the startup removal's moves into
    // startbug) goes to the same journal first: false when it refused (the user is told as above).
    bool allowFileMove(const std::string& from, const std::string& to);
    // What became of the move allowed last: one that was not made is marked so in the journal.
    void fileMoveDone(bool made);

private:
    bool present(HKey root, const std::u16string& keyPath);
    // The change journaled first, then made by `make` (which tells what became of the item); a
    // change the journal refused is not made (Left), one that failed is marked as not made.
    RemovalOutcome journaled(const RegistryChange& change, std::function<RemovalOutcome()> make);
    // What a key's handle needs besides the change's own access for the journal to read it.
    std::uint32_t journalAccess() const;
    void tell(const std::string& reason);
    long deleteTree(HKey parent, const std::u16string& path);
    long deleteOpenedTree(HKey key);

    ScanContext& context_;
    RegistryApi& api_;
    std::string refusal_;
    JournalEntryNumber move_ = 0;  // the move allowed last, until told what became of it
};

// A key path the removal may act on: below a root (never the root itself), no empty name.
bool IsKeyPathBelowRoot(const std::u16string& keyPath);

}  // namespace keltora
