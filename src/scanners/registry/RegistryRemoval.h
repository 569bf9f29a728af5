#pragma once
// The one place every registry change of a removal goes through. It acts only on the exact item
// it is given (wide names, as Windows keeps them), deletes a subtree without ever following a
// registry link, hands each change to the command's journal first, honours a dry run, and tells
// what became of the item:
//   Removed  it was there and is gone now (in a dry run: it would be);
//   Gone     it was not there when the removal came ("not found", nothing else);
//   Left     it is still there: the journal refused, access was denied, or the change failed.
// Access denied and every other failure mean present: nothing is called gone that may still be
// there. The caller re-checks the finding's reason before it asks for a change, through the room
// (openForRecheck), so that the re-check too reaches only the key the finding names.
// A key is reached only by its own path: where a registry link stands at any level of it, the key
// reached is another one, and nothing is changed. Such items, and trees of which a key may not be
// deleted, are left and told once per command with the first of them.
// With a journal, a change may wait for its entry to reach the disk with those of other findings
// (Pending, see ChangeGroup); the handles it acts through wait with it.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryWide.h"

#include "scan/ScanContext.h"

namespace keltora {

class RegistryRemoval {
public:
    explicit RegistryRemoval(ScanContext& context);
    // Tells the user why the journal refused, when it did (once per command).
    ~RegistryRemoval();
    RegistryRemoval(const RegistryRemoval&) = delete;
    RegistryRemoval& operator=(const RegistryRemoval&) = delete;

    // root\keyPath with everything below it, all or nothing: every key of the tree is opened with
    // what its delete needs before the first one goes. A link inside the subtree, or keyPath
    // itself when it is one, is deleted as the link; its target is never touched.
    RemovalOutcome deleteKeyTree(HKey root, const std::u16string& keyPath);
    // The value of that exact name.
    RemovalOutcome deleteValue(HKey root, const std::u16string& keyPath, const std::u16string& name);
    // The unnamed value becomes the empty string, as the settings write writes it; a failed write
    // raises ERegistryException("Failed to set data for ''") as that write does.
    RemovalOutcome emptyDefaultValue(HKey root, const std::u16string& keyPath);
    // A file move a removal makes beside its registry changes (the startup removal's moves into
    // startbug) goes to the same journal first: false when it refused (the user is told as above).
    bool allowFileMove(const std::string& from, const std::string& to, const FileIdentity& moved);
    // What became of the move allowed last: one whose file did not arrive is marked as not made.
    void fileMoveDone(bool arrived);
    // Opens root\keyPath for reading, to check a finding again at fix time, by its own path as a
    // removal reaches it. When it cannot be opened: the finding's outcome, Gone when the key is not
    // there, Left when it may not be read or a link stands on the way (what cannot be checked is
    // not touched; a link is told).
    std::optional<RemovalOutcome> openForRecheck(ScopedKey& key, HKey root, const std::u16string& keyPath);

private:
    enum class Reason { LinkOnPath, TreeRefused };
    using Plan = std::vector<std::unique_ptr<ScopedKey>>;
    RemovalOutcome opened(long rc, HKey root, const std::u16string& keyPath);
    void leave(Reason reason, HKey root, const std::u16string& keyPath);
    bool present(HKey root, const std::u16string& keyPath);
    // The change journaled first, then made by `make` (which tells what became of the item); a
    // change the journal refused is not made (Left), one that failed is marked as not made.
    RemovalOutcome journaled(const RegistryChange& change, std::function<RemovalOutcome()> make);
    // What a key's handle needs besides the change's own access for the journal to read it.
    std::uint32_t journalAccess() const;
    void tell(const std::string& reason);
    // `known`: what queryInfoKey told of the key just before, or null.
    long planTree(HKey key, Plan& plan, const KeyInfo* known = nullptr);

    struct Left {
        int count = 0;
        std::string first;
    };
    ScanContext& context_;
    RegistryApi& api_;
    std::string refusal_;
    Left left_[2];
    JournalEntryNumber move_ = 0;  // the move allowed last, until told what became of it
};

// A key path the removal may act on: below a root (never the root itself), no empty name.
bool IsKeyPathBelowRoot(const std::u16string& keyPath);

}  // namespace keltora
