#pragma once
// The seam an undo journal plugs into: every registry change a removal makes is handed to it
// first, while the registry still holds what the change will take away.
//
// Contract:
// - record() is called once for each change, right before the change would be made, with the
//   registry as it is at that moment, and with the removal's own handle on the key when it holds
//   one (the change is then made through that handle, so what was read is what goes). It reads
//   what the change will take away (for DeleteKeyTree the key and its whole subtree, exactly:
//   names, types and bytes; a link as a link, never its target) and adds it to the journal's
//   open group of entries: the entry's number, or 0 when it refuses.
// - write() puts the open group on disk (written, flushed, read back and compared). Only after
//   it returned true may the changes of the group's entries be made, in the order recorded; when
//   it returns false none of them may be.
// - Refusing (0, or false) means: nothing of those findings is changed, they stay listed
//   (RemovalOutcome::Left) and the user is told `reason` once per command.
// - notMade() is told of entries whose changes failed, or were never tried, after their entries
//   were written: the journal marks each as not made (on disk before it returns), so that undo
//   never reverses them.
// - None of it is called in a dry run, nor for an item that is not there.
// - recordMove() is record() for a file the startup removal moves aside (into startbug), called
//   once every check that could stop the move has passed, with what the file will be there (its
//   identity), so that undo moves back that file and no other.
// - It must not change the registry itself. An exception it raises ends the removal command as a
//   failed registry write does: the findings not yet handled stay listed.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileIdentity.h"
#include "platform/RegistryApi.h"

namespace keltora {

struct RegistryChange {
    enum class Kind {
        // keyPath with every value and subkey below it. When keyPath itself is a registry link,
        // only the link goes; a link below it goes as the link, its target untouched.
        DeleteKeyTree,
        // The value valueName of keyPath.
        DeleteValue,
        // The unnamed value of keyPath becomes the empty string (REG_SZ, one NUL).
        EmptyDefaultValue,
    };
    Kind kind;
    HKey root;                 // kHKeyLocalMachine, kHKeyCurrentUser or kHKeyClassesRoot
    std::u16string keyPath;    // below root, exactly as Windows keeps the names; never empty
    std::u16string valueName;  // DeleteValue: exactly; empty otherwise
    // keyPath as the removal holds it open (a link as itself; query and enumerate access, and
    // READ_CONTROL for a key tree), or 0. No part of what the change is: two changes of the same
    // item are equal whatever they hold.
    HKey opened = 0;
    // What queryInfoKey told of `opened` just before, when the removal asked (the journal then
    // does not ask again), or null. Like `opened`, no part of what the change is.
    const KeyInfo* openedInfo = nullptr;
    bool operator==(const RegistryChange& other) const {
        return kind == other.kind && root == other.root && keyPath == other.keyPath && valueName == other.valueName;
    }
};

// The number of an entry in its journal, from 1; 0 stands for none.
using JournalEntryNumber = std::uint64_t;

class RegistryJournal {
public:
    virtual ~RegistryJournal() = default;
    virtual JournalEntryNumber record(const RegistryChange& change, std::string& reason) = 0;
    virtual JournalEntryNumber recordMove(const std::string& from, const std::string& to, const FileIdentity& moved,
                                          std::string& reason) = 0;
    virtual bool write(std::string& reason) = 0;
    virtual void notMade(const std::vector<JournalEntryNumber>& entries) = 0;
};

}  // namespace keltora
