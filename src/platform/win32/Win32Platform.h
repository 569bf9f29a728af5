#pragma once
// The real system: one backend of each kind, handed to the core as one Platform.
#include "platform/Platform.h"
#include "platform/win32/Win32Account.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32CodePage.h"
#include "platform/win32/Win32CommandLock.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32RegistryApi.h"
#include "platform/win32/Win32Shell.h"

namespace keltora {

class Win32Platform {
public:
    Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() { return platform_; }

private:
    Win32CodePage codePage_;  // before the file system, which converts names with it
    Win32RegistryApi registry_;
    Win32FileSystem files_{codePage_};
    Win32Shell shell_;
    Win32Clipboard clipboard_;
    Win32Clock clock_;
    Win32Account account_;
    Win32CommandLock commandLock_;
    Platform platform_;
};

// The process's one Win32 platform, made on first use, for the programs' entry points.
Platform& win32Platform();

}  // namespace keltora
