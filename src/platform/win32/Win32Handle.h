#pragma once
// A kernel handle closed when it goes out of scope, so every early return closes it.
#include <windows.h>

namespace keltora {

class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE get() const { return handle_; }
    // CreateFileA fails with INVALID_HANDLE_VALUE, most other calls with NULL.
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (valid()) CloseHandle(handle_);
        handle_ = handle;
    }
    // Gives the handle up without closing it.
    void release() { handle_ = INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

}  // namespace keltora
