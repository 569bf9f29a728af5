#include "scanners/registry/RegistryRemoval.h"

#include <memory>

#include "platform/Registry2.h"
#include "platform/RegistryWide.h"
#include "scan/ChangeGroup.h"

namespace keltora {

namespace {

// What deleting a subtree needs of each key in it: its subkeys listed, whether it is a link
// read, and the key itself deleted.
constexpr std::uint32_t kTreeAccess = kDeleteAccess | kKeyEnumerateSubKeys | kKeyQueryValue;
constexpr std::uint32_t kValueAccess = kKeyQueryValue | kKeySetValue;

bool IsEmptyString(const RegistryData& data) {
    return data.type == kRegSz && (data.bytes.empty() || (data.bytes.size() == 2 && data.bytes[0] == 0 && data.bytes[1] == 0));
}

}  // namespace

bool IsKeyPathBelowRoot(const std::u16string& keyPath) {
    if (keyPath.empty() || keyPath.front() == u'\\' || keyPath.back() == u'\\') return false;
    return keyPath.find(u"\\\\") == std::u16string::npos;
}

RegistryRemoval::RegistryRemoval(ScanContext& context) : context_(context), api_(context.platform.registry) {}

RegistryRemoval::~RegistryRemoval() {
    if (refusal_.empty()) return;
    try {
        context_.host.showMessage(refusal_);
    } catch (...) {
        // A message that cannot be shown must not end the program from a destructor.
    }
}

// The journal keeps a key tree's security descriptor, read through the removal's own handle.
std::uint32_t RegistryRemoval::journalAccess() const { return context_.journal != nullptr ? kReadControlAccess : 0; }

// A key whose open fails for any reason but "not found" is there, even if we may not look at it.
bool RegistryRemoval::present(HKey root, const std::u16string& keyPath) {
    ScopedKey key(api_);
    return !IsNotFound(key.open(root, keyPath, kRegOptionOpenLink, kMaximumAllowedAccess));
}

void RegistryRemoval::tell(const std::string& reason) {
    if (refusal_.empty()) refusal_ = reason;
}

// Inside a removal run the change waits in the run's group; outside one it is a group of its own,
// written and made at once.
RemovalOutcome RegistryRemoval::journaled(const RegistryChange& change, std::function<RemovalOutcome()> make) {
    RegistryJournal* journal = context_.journal;
    if (journal == nullptr) return make();
    std::string reason;
    const JournalEntryNumber entry = journal->record(change, reason);
    if (entry == 0) {
        tell(reason);
        return RemovalOutcome::Left;
    }
    if (context_.changes != nullptr) {
        context_.changes->add(entry, std::move(make));
        return RemovalOutcome::Pending;
    }
    RemovalOutcome outcome = RemovalOutcome::Left;
    ChangeGroup once(
        *journal, context_.platform.clock, [&](std::size_t, RemovalOutcome made) { outcome = made; },
        [this](const std::string& why) { tell(why); });
    once.add(entry, std::move(make));
    once.flush();
    return outcome;
}

// The changes waiting in the group go first: the move is written and made at once, after them.
bool RegistryRemoval::allowFileMove(const std::string& from, const std::string& to) {
    RegistryJournal* journal = context_.journal;
    if (journal == nullptr) return true;
    if (context_.changes != nullptr) context_.changes->flush();
    std::string reason;
    move_ = journal->recordMove(from, to, reason);
    if (move_ != 0 && journal->write(reason)) return true;
    move_ = 0;
    tell(reason);
    return false;
}

void RegistryRemoval::fileMoveDone(bool made) {
    if (!made && move_ != 0 && context_.journal != nullptr) context_.journal->notMade({move_});
    move_ = 0;
}

// Subkeys first, from the last listed to the first; each key is opened as itself, so a link is
// deleted where it stands and what it names is never reached. The first failure stops the walk.
long RegistryRemoval::deleteTree(HKey parent, const std::u16string& path) {
    ScopedKey key(api_);
    if (long rc = key.open(parent, path, kRegOptionOpenLink, kTreeAccess)) return rc;
    return deleteOpenedTree(key.get());
}

long RegistryRemoval::deleteOpenedTree(HKey key) {
    if (!IsLinkKey(api_, key)) {
        std::vector<std::u16string> names;
        if (long rc = SubkeyNamesW(api_, key, names)) return rc;
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            const long rc = deleteTree(key, *it);
            if (rc != kErrorSuccess && !IsNotFound(rc)) return rc;
        }
    }
    return api_.deleteOpenedKey(key);
}

// The key is opened once, as itself: the journal reads it through that handle and the subtree
// goes through the same one, so what goes is the key the journal kept, even when another program
// puts a key of that name in its place meanwhile.
RemovalOutcome RegistryRemoval::deleteKeyTree(HKey root, const std::u16string& keyPath) {
    if (!IsKeyPathBelowRoot(keyPath)) return RemovalOutcome::Left;
    auto key = std::make_shared<ScopedKey>(api_);
    const long opened = key->open(root, keyPath, kRegOptionOpenLink, kTreeAccess | journalAccess());
    if (IsNotFound(opened)) return RemovalOutcome::Gone;
    if (opened != kErrorSuccess) return RemovalOutcome::Left;
    if (context_.dryRun) return RemovalOutcome::Removed;
    return journaled({RegistryChange::Kind::DeleteKeyTree, root, keyPath, {}, key->get()}, [this, key, root, keyPath] {
        deleteOpenedTree(key->get());
        key->reset();
        return present(root, keyPath) ? RemovalOutcome::Left : RemovalOutcome::Removed;
    });
}

RemovalOutcome RegistryRemoval::deleteValue(HKey root, const std::u16string& keyPath, const std::u16string& name) {
    if (!IsKeyPathBelowRoot(keyPath)) return RemovalOutcome::Left;
    auto key = std::make_shared<ScopedKey>(api_);
    const long opened = key->open(root, keyPath, 0, kValueAccess);
    if (IsNotFound(opened)) return RemovalOutcome::Gone;
    if (opened != kErrorSuccess) return RemovalOutcome::Left;
    std::uint32_t size = 0;
    const long found = api_.queryValueW(key->get(), name, nullptr, nullptr, &size);
    if (IsNotFound(found)) return RemovalOutcome::Gone;
    if (found != kErrorSuccess) return RemovalOutcome::Left;
    if (context_.dryRun) return RemovalOutcome::Removed;
    return journaled({RegistryChange::Kind::DeleteValue, root, keyPath, name, key->get()}, [this, key, name] {
        api_.deleteValueW(key->get(), name);
        std::uint32_t left = 0;
        return IsNotFound(api_.queryValueW(key->get(), name, nullptr, nullptr, &left)) ? RemovalOutcome::Removed
                                                                                      : RemovalOutcome::Left;
    });
}

RemovalOutcome RegistryRemoval::emptyDefaultValue(HKey root, const std::u16string& keyPath) {
    if (!IsKeyPathBelowRoot(keyPath)) return RemovalOutcome::Left;
    auto key = std::make_shared<ScopedKey>(api_);
    const long opened = key->open(root, keyPath, 0, kValueAccess);
    if (IsNotFound(opened)) return RemovalOutcome::Gone;
    if (opened != kErrorSuccess) return RemovalOutcome::Left;
    RegistryData data;
    const long found = ReadValueW(api_, key->get(), u"", data);
    if (IsNotFound(found)) return RemovalOutcome::Gone;
    if (found != kErrorSuccess) return RemovalOutcome::Left;
    if (context_.dryRun) return RemovalOutcome::Removed;
    return journaled({RegistryChange::Kind::EmptyDefaultValue, root, keyPath, {}, key->get()}, [this, key] {
        const std::uint8_t empty[2] = {0, 0};
        if (api_.setValueW(key->get(), u"", kRegSz, empty, sizeof empty) != kErrorSuccess)
            throw ERegistryException("Failed to set data for ''");
        RegistryData now;
        return ReadValueW(api_, key->get(), u"", now) == kErrorSuccess && IsEmptyString(now) ? RemovalOutcome::Removed
                                                                                            : RemovalOutcome::Left;
    });
}

}  // namespace keltora
