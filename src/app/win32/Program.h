#pragma once
// The program body of keltora.exe: one instance, the splash, the main window, the scan at start
// and the message loop.
#include <windows.h>

#include "platform/Platform.h"

namespace keltora::win32 {

struct ProgramOptions {
    DWORD splashDelayMs;
};

// Takes the instance mutex; nullptr when another instance holds it.
HANDLE TakeInstanceMutex();

// Runs the program to its end; its exit code. A second instance ends at once with 0.
int RunProgram(Platform& platform, const ProgramOptions& options);

}  // namespace keltora::win32
