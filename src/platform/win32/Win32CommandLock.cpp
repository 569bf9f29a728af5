#include "platform/win32/Win32CommandLock.h"

namespace keltora {

bool Win32CommandLock::tryAcquire() {
    if (!mutex_.valid()) mutex_.reset(CreateMutexW(nullptr, FALSE, kName));
    if (!mutex_.valid()) return false;
    // A holder that ended without releasing leaves the mutex abandoned: it is ours then.
    const DWORD result = WaitForSingleObject(mutex_.get(), 0);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void Win32CommandLock::release() {
    if (mutex_.valid()) ReleaseMutex(mutex_.get());
}

}  // namespace keltora
