#include "app/win32/Program.h"

#include <exception>
#include <string>

#include "app/Product.h"
#include "app/Unit1.h"
#include "app/win32/MainWindow.h"
#include "app/win32/Splash.h"
#include "app/win32/Win32Host.h"

namespace keltora::win32 {

HANDLE TakeInstanceMutex() {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, std::string(kInstanceMutex).c_str());
    if (mutex == nullptr) return nullptr;
    if (WaitForSingleObject(mutex, 0) == WAIT_TIMEOUT) {
        CloseHandle(mutex);
        return nullptr;
    }
    return mutex;
}

int RunProgram(Platform& platform, const ProgramOptions& options) {
    // Held until the process ends; a second start finds it taken and ends without a word.
    HANDLE mutex = TakeInstanceMutex();
    if (mutex == nullptr) return 0;

    Win32Host host;
    TForm1 form(platform, host);
    Splash splash(form.settings);
    if (splash.on()) splash.show(options.splashDelayMs);

    int exitCode = 0;
    {
        MainWindow window(form, host);
        try {
            form.FormCreate();
        } catch (const std::exception& error) {
            host.showMessage(error.what());
        }
        splash.hide();
        window.show();
        if (form.autoscanOnStart) window.run("OBall2Click");
        if (!host.quitRequested()) exitCode = host.messageLoop();
        // "Exit Keltora Pro" ends the loop with the window still there: it is destroyed
        // without its close step.
        window.destroy();
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return exitCode;
}

}  // namespace keltora::win32
