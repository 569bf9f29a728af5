#pragma once
// The seam an undo journal plugs into: every registry change a removal makes is handed to it
// first, while the registry still holds what the change will take away.
//
// Contract:
// - record() is called once for each change, right before the change is made, with the registry
//   as it is at that moment, and with the removal's own handle on the key when it holds one (the
//   change is then made through that handle, so what was read is what goes). It reads what the
//   change will take away (for DeleteKeyTree the key and its whole subtree, exactly: names, types
//   and bytes; a link as a link, never its target), keeps it where it survives the program
//   (written, flushed, read back and compared), and only then returns true.
// - Returning false refuses the change: nothing of that finding is changed, the finding stays
//   listed (RemovalOutcome::Left) and the user is told `reason` once per command.
// - It is never called in a dry run, nor for an item that is not there.
// - recordMove() is the same for a file the startup removal moves aside (into startbug), called
//   right before the move with what the file will be there (its identity), so that undo moves
//   back that file and no other.
// - It must not change the registry itself. An exception it raises ends the removal command as a
//   failed registry write does: the findings not yet handled stay listed.
#include <string>

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
    // keyPath as the removal holds it open (a link as itself; query and enumerate access), or 0.
    // No part of what the change is: two changes of the same item are equal whatever they hold.
    HKey opened = 0;
    bool operator==(const RegistryChange& other) const {
        return kind == other.kind && root == other.root && keyPath == other.keyPath && valueName == other.valueName;
    }
};

class RegistryJournal {
public:
    virtual ~RegistryJournal() = default;
    virtual bool record(const RegistryChange& change, std::string& reason) = 0;
    virtual bool recordMove(const std::string& from, const std::string& to, const FileIdentity& moved,
                            std::string& reason) = 0;
};

}  // namespace keltora
