#include "maintenance/UndoRestore.h"

#include <algorithm>

#include "platform/FolderRule.h"
#include "platform/Helpers.h"
#include "platform/RegText.h"
#include "scan/FileRemoval.h"

namespace keltora {

namespace {

enum class Result { Restored, Left, Failed };

struct Verdict {
    Result result;
    std::string why;
};

constexpr std::uint32_t kValueAccess = kKeyQueryValue | kKeySetValue;
constexpr const char* kLinkOnPath =
    "a registry link stands on the way to its key, so the key reached is not the one the journal names";

bool IsEmptyString(const RegistryData& data) {
    return data.type == kRegSz && (data.bytes.empty() || data.bytes == std::vector<std::uint8_t>{0, 0});
}

std::u16string ParentOf(const std::u16string& path) {
    const auto cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

std::u16string LeafOf(const std::u16string& path) { return path.substr(path.rfind(u'\\') + 1); }

// A key as it is now is the key the journal kept. A journal of an earlier version kept no access
// lists: then what the key has now is not asked.
bool AsKept(const CapturedKey& kept, CapturedKey now) {
    if (kept.security.empty()) now.security.clear();
    return now == kept;
}

bool Among(const std::vector<CapturedKey>& keys, const std::u16string& path) {
    return std::any_of(keys.begin(), keys.end(), [&](const CapturedKey& k) { return k.path == path; });
}

class Restorer {
public:
    Restorer(Platform& platform, const std::string& startbug, JournalOwner owner)
        : platform_(platform), api_(platform.registry), startbug_(startbug), owner_(owner) {}

    std::string what(const JournalEntry& entry) const {
        const std::string key = Utf16ToUtf8(RegKeyText(entry.root, entry.keyPath));
        switch (entry.kind) {
            case JournalEntry::Kind::KeyTree: return key;
            case JournalEntry::Kind::Value: return key + " value \"" + Utf16ToUtf8(entry.value.name) + "\"";
            case JournalEntry::Kind::DefaultValue: return key + " unnamed value";
            case JournalEntry::Kind::FileMove: return Utf16ToUtf8(entry.from);
        }
        return key;
    }

    Verdict restore(const JournalEntry& entry) {
        if (owner_ == JournalOwner::User && (entry.kind == JournalEntry::Kind::FileMove || entry.root != kHKeyCurrentUser))
            return {Result::Left, "a journal of the user's own data may name nothing but HKEY_CURRENT_USER"};
        switch (entry.kind) {
            case JournalEntry::Kind::KeyTree: return keyTree(entry);
            case JournalEntry::Kind::Value: return value(entry, false);
            case JournalEntry::Kind::DefaultValue: return value(entry, true);
            case JournalEntry::Kind::FileMove: return fileMove(entry);
        }
        return {Result::Failed, "an unknown change"};
    }

private:
    bool treeAsKept(const JournalEntry& entry) {
        std::vector<CapturedKey> now;
        if (CaptureKeyTree(api_, entry.root, entry.keyPath, now) != kErrorSuccess || now.size() != entry.keys.size())
            return false;
        for (std::size_t i = 0; i < now.size(); ++i)
            if (!AsKept(entry.keys[i], now[i])) return false;
        return true;
    }

    // Every key is reached by its own path, never through a registry link.
    Verdict keyTree(const JournalEntry& entry) {
        ScopedKey top(api_);
        const long found = top.openExact(entry.root, entry.keyPath, kKeyRead, ScopedKey::LinkAtEnd::Allowed);
        top.reset();
        if (found == kErrorSuccess) return fillIn(entry);
        if (found == kErrorLinkOnPath) return {Result::Left, kLinkOnPath};
        if (!IsNotFound(found)) return {Result::Left, "the key cannot be looked at (" + api_.systemMessage(found) + ")"};
        const std::u16string parent = ParentOf(entry.keyPath);
        ScopedKey above(api_);
        const long aboveFound = parent.empty() ? kErrorSuccess : above.openExact(entry.root, parent, kKeyRead);
        if (aboveFound == kErrorLinkOnPath) return {Result::Left, kLinkOnPath};
        if (aboveFound != kErrorSuccess) return {Result::Left, "the key above it is gone"};
        above.reset();
        return makeMissing(entry, {});
    }

    // A tree that is there in part comes back whole when each key that is there is exactly as the
    // journal kept it: the keys missing are made. A key there with other content, or one the
    // journal does not name, is left as it stands.
    Verdict fillIn(const JournalEntry& entry) {
        std::vector<CapturedKey> now;
        const long read = CaptureKeyTree(api_, entry.root, entry.keyPath, now);
        if (read == kErrorLinkOnPath) return {Result::Left, kLinkOnPath};
        if (read != kErrorSuccess) return {Result::Left, "the key cannot be looked at (" + api_.systemMessage(read) + ")"};
        for (const auto& key : now) {
            const auto kept = std::find_if(entry.keys.begin(), entry.keys.end(),
                                           [&](const CapturedKey& k) { return k.path == key.path; });
            if (kept == entry.keys.end() || !AsKept(*kept, key))
                return {Result::Left, "the key exists again with other content (" +
                                          Utf16ToUtf8(RegKeyText(entry.root, key.path)) + ")"};
        }
        if (now.size() == entry.keys.size()) return {Result::Restored, ""};
        return makeMissing(entry, now);
    }

    // The keys of the journal that are not there, each after its parent, then the whole read back.
    Verdict makeMissing(const JournalEntry& entry, const std::vector<CapturedKey>& there) {
        for (const auto& key : entry.keys) {
            if (Among(there, key.path)) continue;
            if (long rc = make(entry.root, key)) {
                if (rc == kErrorLinkOnPath) return {Result::Left, kLinkOnPath};
                return {Result::Failed, "it could not be made again (" + api_.systemMessage(rc) + ")"};
            }
        }
        if (long rc = secure(entry.root, entry.keys, there))
            return {Result::Failed, "its permissions could not be set again (" + api_.systemMessage(rc) + ")"};
        return treeAsKept(entry) ? Verdict{Result::Restored, ""}
                                 : Verdict{Result::Failed, "it does not read back as it was kept"};
    }

    // One key of a tree, its parent made before it: a link with its target, or a key with its values.
    long make(HKey root, const CapturedKey& key) {
        const std::u16string parentPath = ParentOf(key.path);
        ScopedKey parent(api_);
        if (!parentPath.empty())
            if (long rc = parent.openExact(root, parentPath, kKeyCreateSubKey)) return rc;
        HKey made = 0;
        const long rc = api_.createKeyW(parentPath.empty() ? root : parent.get(), LeafOf(key.path),
                                        key.link ? kRegOptionCreateLink : 0, kKeyAllAccess, made);
        if (rc != kErrorSuccess) return rc;
        long set = kErrorSuccess;
        if (key.link) {
            set = api_.setValueW(made, kSymbolicLinkValue, kRegLink, key.target.data(),
                                 static_cast<std::uint32_t>(key.target.size()));
        }
        for (const auto& value : key.values) {
            if (set != kErrorSuccess) break;
            set = api_.setValueW(made, value.name, value.data.type, value.data.bytes.data(),
                                 static_cast<std::uint32_t>(value.data.bytes.size()));
        }
        api_.closeKey(made);
        return set;
    }

    // The access list of every key made (those that were there keep theirs), deepest first once
    // all of them stand, so that a list letting this process make no subkey is set only after the
    // subkeys were made; each key reached by its own path.
    long secure(HKey root, const std::vector<CapturedKey>& keys, const std::vector<CapturedKey>& there) {
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            if (key->security.empty() || Among(there, key->path)) continue;
            ScopedKey made(api_);
            if (long rc = made.openExact(root, key->path, kWriteDacAccess, ScopedKey::LinkAtEnd::Allowed)) return rc;
            if (long rc = api_.setKeySecurity(made.get(), key->security)) return rc;
        }
        return kErrorSuccess;
    }

    // A value deleted (or the unnamed value emptied) is made again when it is absent (or still
    // the empty text the removal left).
    Verdict value(const JournalEntry& entry, bool emptied) {
        ScopedKey key(api_);
        const long opened = key.openExact(entry.root, entry.keyPath, kValueAccess);
        if (IsNotFound(opened)) return {Result::Left, "its key is gone"};
        if (opened == kErrorLinkOnPath) return {Result::Left, kLinkOnPath};
        if (opened != kErrorSuccess) return {Result::Left, "its key cannot be changed (" + api_.systemMessage(opened) + ")"};
        const CapturedValue& kept = entry.value;
        RegistryData now;
        const long read = ReadValueW(api_, key.get(), kept.name, now);
        if (read == kErrorSuccess && now == kept.data) return {Result::Restored, ""};
        const bool free = IsNotFound(read) || (emptied && read == kErrorSuccess && IsEmptyString(now));
        if (!free)
            return {Result::Left, emptied ? "the unnamed value was changed meanwhile" : "a value of that name was made again meanwhile"};
        const long set = api_.setValueW(key.get(), kept.name, kept.data.type, kept.data.bytes.data(),
                                        static_cast<std::uint32_t>(kept.data.bytes.size()));
        if (set != kErrorSuccess) return {Result::Failed, "it could not be written (" + api_.systemMessage(set) + ")"};
        return ReadValueW(api_, key.get(), kept.name, now) == kErrorSuccess && now == kept.data
                   ? Verdict{Result::Restored, ""}
                   : Verdict{Result::Failed, "it does not read back as it was kept"};
    }

    // Only the file that was moved goes back: from startbug, under its own name, and only when
    // it is what the move recorded (a file that took that name in startbug later is another),
    // through the one act on files (never over a file back in the Startup folder, never through
    // a link).
    Verdict fileMove(const JournalEntry& entry) {
        const std::u16string startbug = platform_.codePage.toWide(startbug_);
        const std::u16string name = entry.to.substr(std::min(entry.to.size(), startbug.size() + 1));
        const std::string to = Utf16ToUtf8(entry.to);
        if (entry.to != startbug + u"\\" + name || !IsExactEntryName(name) || entry.from.size() <= name.size() + 1 ||
            !entry.from.ends_with(u"\\" + name) || !IsResolvedFolder(entry.from.substr(0, entry.from.size() - name.size() - 1)))
            return {Result::Left, "it names no file of startbug (" + to + ")"};
        if (!entry.moved.known())
            return {Result::Left, "the journal does not say which file was moved (an earlier version wrote it)"};
        const FileActOutcome outcome = platform_.files.act(FileAct{entry.to, entry.from, false, entry.moved});
        switch (outcome.result) {
            case FileActResult::Done: return {Result::Restored, ""};
            case FileActResult::Absent: return {Result::Left, "it is no longer in startbug (" + to + ")"};
            case FileActResult::Unsafe:
                if (outcome.fault == FileActFault::NotListed)
                    return {Result::Left, "the file of that name in startbug is not the one that was moved"};
                return {Result::Left, WhyLeft(platform_, outcome)};
            case FileActResult::Failed: break;
        }
        if (outcome.fault == FileActFault::NameTaken) return {Result::Left, "a file of that name is back in the Startup folder"};
        return {Result::Failed, "it could not be moved back from " + to + ": " + WhyLeft(platform_, outcome)};
    }

    Platform& platform_;
    RegistryApi& api_;
    std::string startbug_;
    JournalOwner owner_;
};

}  // namespace

// Last change first, so that a key deleted after a value of it was comes back before the value
// does; but the values of one key deleted one after another come back in their own order, so
// the key lists them as it did (the registry lists values in the order they were made).
UndoReport UndoChanges(Platform& platform, const std::string& startbug, const std::vector<JournalEntry>& entries,
                       JournalOwner owner) {
    UndoReport report;
    Restorer restorer(platform, startbug, owner);
    auto sameKeyValues = [](const JournalEntry& a, const JournalEntry& b) {
        return a.kind == JournalEntry::Kind::Value && b.kind == JournalEntry::Kind::Value && a.root == b.root &&
               a.keyPath == b.keyPath;
    };
    for (std::size_t end = entries.size(); end > 0;) {
        std::size_t begin = end - 1;
        while (begin > 0 && sameKeyValues(entries[begin - 1], entries[begin])) --begin;
        for (std::size_t i = begin; i < end; ++i) {
            const Verdict verdict = restorer.restore(entries[i]);
            const std::string item = restorer.what(entries[i]) + ": " + verdict.why;
            if (verdict.result == Result::Restored) ++report.restored;
            if (verdict.result == Result::Left) report.left.push_back(item);
            if (verdict.result == Result::Failed) report.failed.push_back(item);
        }
        end = begin;
    }
    return report;
}

}  // namespace keltora
