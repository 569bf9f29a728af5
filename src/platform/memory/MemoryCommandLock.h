#pragma once
// The command lock of the memory platform: one per machine, so that two windows (or a window and
// a console) started on the same machine in a test exclude each other as two programs would.
#include "platform/CommandLock.h"

namespace keltora {

class MemoryCommandLock : public CommandLock {
public:
    bool tryAcquire() override {
        if (held_) return false;
        held_ = true;
        ++acquisitions_;
        return true;
    }
    void release() override { held_ = false; }

    // Inspection and setup: "another program" holds the lock.
    bool held() const { return held_; }
    void hold(bool held) { held_ = held; }
    int acquisitions() const { return acquisitions_; }

private:
    bool held_ = false;
    int acquisitions_ = 0;
};

}  // namespace keltora
