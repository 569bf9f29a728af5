// keltora.exe: the program as users run it.
#include <windows.h>

#include "app/win32/Program.h"
#include "app/win32/Splash.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a DLL at run time: from the system folder only.
    keltora::RestrictDllSearchToSystem();
    return keltora::win32::RunProgram(keltora::win32Platform(), {keltora::win32::Splash::kDelayMs});
}
