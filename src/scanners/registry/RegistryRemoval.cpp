#include "scanners/registry/RegistryRemoval.h"

#include "platform/RegText.h"
#include "platform/Registry2.h"
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

// What the user is told of the items left for each reason: one item, or how many and the first.
struct ReasonText {
    const char* one;
    const char* many;
};
constexpr ReasonText kReasonTexts[] = {
    {"A checked registry item was left as it is: a registry link stands on the way to its key, so the key "
     "reached is not the one the finding names: ",
     " checked registry items were left as they are: registry links stand on the way to their keys, so the keys "
     "reached are not the ones the findings name. The first: "},
    {"A checked registry key was left as it is: a key of its tree may not be deleted, so nothing of it was: ",
     " checked registry keys were left as they are: a key of each tree may not be deleted, so nothing of them "
     "was. The first: "},
};

}  // namespace

bool IsKeyPathBelowRoot(const std::u16string& keyPath) {
    if (keyPath.empty() || keyPath.front() == u'\\' || keyPath.back() == u'\\') return false;
    return keyPath.find(u"\\\\") == std::u16string::npos;
}

RegistryRemoval::RegistryRemoval(ScanContext& context) : context_(context), api_(context.platform.registry) {}

RegistryRemoval::~RegistryRemoval() {
    try {
        for (std::size_t i = 0; i < std::size(left_); ++i) {
            if (left_[i].count == 0) continue;
            const ReasonText& text = kReasonTexts[i];
            context_.host.showNotice(left_[i].count == 1 ? text.one + left_[i].first
                                                         : std::to_string(left_[i].count) + text.many + left_[i].first);
        }
        if (!refusal_.empty()) context_.host.showMessage(refusal_);
    } catch (...) {
        // A message that cannot be shown must not end the program from a destructor.
    }
}

void RegistryRemoval::leave(Reason reason, HKey root, const std::u16string& keyPath) {
    Left& left = left_[static_cast<int>(reason)];
    if (left.count++ == 0) left.first = context_.platform.codePage.toAnsi(RegKeyText(root, keyPath));
}

// The outcome of an open that failed: Gone only when the key is not there.
RemovalOutcome RegistryRemoval::opened(long rc, HKey root, const std::u16string& keyPath) {
    if (IsNotFound(rc)) return RemovalOutcome::Gone;
    if (rc == kErrorLinkOnPath) leave(Reason::LinkOnPath, root, keyPath);
    return RemovalOutcome::Left;
}

std::optional<RemovalOutcome> RegistryRemoval::openForRecheck(ScopedKey& key, HKey root, const std::u16string& keyPath) {
    const long rc = key.openExact(root, keyPath, kKeyRead);
    if (rc == kErrorSuccess) return std::nullopt;
    return opened(rc, root, keyPath);
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
bool RegistryRemoval::allowFileMove(const std::string& from, const std::string& to, const FileIdentity& moved) {
    RegistryJournal* journal = context_.journal;
    if (journal == nullptr) return true;
    if (context_.changes != nullptr) context_.changes->flush();
    std::string reason;
    move_ = journal->recordMove(from, to, moved, reason);
    if (move_ != 0 && journal->write(reason)) return true;
    move_ = 0;
    tell(reason);
    return false;
}

void RegistryRemoval::fileMoveDone(bool arrived) {
    if (!arrived && move_ != 0 && context_.journal != nullptr) context_.journal->notMade({move_});
    move_ = 0;
}

// Every key below an open one, each opened as itself with what its delete needs, subkeys before
// their parent, from the last listed to the first; a link is not entered, so what it names is
// never reached. A key gone meanwhile is passed over; the first that refuses ends the plan.
long RegistryRemoval::planTree(HKey key, Plan& plan, const KeyInfo* known) {
    if (IsLinkKey(api_, key)) return kErrorSuccess;
    std::vector<std::u16string> names;
    if (long rc = SubkeyNamesW(api_, key, names, known)) return rc;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        auto sub = std::make_unique<ScopedKey>(api_);
        const long rc = sub->open(key, *it, kRegOptionOpenLink, kTreeAccess);
        if (IsNotFound(rc)) continue;
        if (rc != kErrorSuccess) return rc;
        if (long below = planTree(sub->get(), plan)) return below;
        plan.push_back(std::move(sub));
    }
    return kErrorSuccess;
}

// The key is opened once, by its own path and as itself: the journal reads it through that
// handle and the subtree goes through handles opened from it, so what goes is the key the journal
// kept, even when another program puts a key of that name in its place meanwhile. What the key
// told of its subkeys and values is asked once, for the plan and the journal. The dry run opens
// the whole tree as the removal would.
RemovalOutcome RegistryRemoval::deleteKeyTree(HKey root, const std::u16string& keyPath) {
    if (!IsKeyPathBelowRoot(keyPath)) return RemovalOutcome::Left;
    auto key = std::make_shared<ScopedKey>(api_);
    const long rc = key->openExact(root, keyPath, kTreeAccess | journalAccess(), ScopedKey::LinkAtEnd::Allowed);
    if (rc != kErrorSuccess) return opened(rc, root, keyPath);
    auto plan = std::make_shared<Plan>();
    KeyInfo info;
    if (api_.queryInfoKey(key->get(), info) != kErrorSuccess || planTree(key->get(), *plan, &info) != kErrorSuccess) {
        leave(Reason::TreeRefused, root, keyPath);
        return RemovalOutcome::Left;
    }
    if (context_.dryRun) return RemovalOutcome::Removed;
    return journaled({RegistryChange::Kind::DeleteKeyTree, root, keyPath, {}, key->get(), &info}, [this, key, plan, root, keyPath] {
        for (const auto& sub : *plan)
            if (api_.deleteOpenedKey(sub->get()) != kErrorSuccess) return RemovalOutcome::Left;
        api_.deleteOpenedKey(key->get());
        plan->clear();
        key->reset();
        return present(root, keyPath) ? RemovalOutcome::Left : RemovalOutcome::Removed;
    });
}

RemovalOutcome RegistryRemoval::deleteValue(HKey root, const std::u16string& keyPath, const std::u16string& name) {
    if (!IsKeyPathBelowRoot(keyPath)) return RemovalOutcome::Left;
    auto key = std::make_shared<ScopedKey>(api_);
    if (long rc = key->openExact(root, keyPath, kValueAccess)) return opened(rc, root, keyPath);
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
    if (long rc = key->openExact(root, keyPath, kValueAccess)) return opened(rc, root, keyPath);
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
