#pragma once
// The lock that serialises every command that changes anything (removals, ignore-list writes,
// backups, restores, deletes) across the programs of one session: the window and the console,
// or two consoles, never change the same things at once.
namespace keltora {

class CommandLock {
public:
    virtual ~CommandLock() = default;
    // Takes the lock when no other holder has it; false at once otherwise.
    virtual bool tryAcquire() = 0;
    virtual void release() = 0;
};

}  // namespace keltora
