#pragma once
// The command lock as a named mutex in the session's namespace: every Keltora program of the
// signed-in session (the window, each console) shares it; other sessions have their own.
#include "platform/CommandLock.h"
#include "platform/win32/Win32Handle.h"

namespace keltora {

class Win32CommandLock final : public CommandLock {
public:
    bool tryAcquire() override;
    void release() override;

    static constexpr const wchar_t* kName = L"Local\\KeltoraProfessionalCommand";

private:
    ScopedHandle mutex_{nullptr};
};

}  // namespace keltora
