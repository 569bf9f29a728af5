// filespage.exe: the history and cache pages of the real window, without pauses, on the real
// system. Times each category's scan alone (no window), then its page visit in the window, where
// the list shows every finding as it comes. Prints one line per category:
//   CODE FINDINGS SCAN_MS PAGE_MS
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "app/Unit1.h"
#include "app/win32/MainWindow.h"
#include "app/win32/Win32Host.h"
#include "platform/win32/Win32Platform.h"

namespace {

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int main() {
    using namespace keltora;
    struct Page {
        const char* code;
        const char* visit;
    };
    const Page pages[] = {{"his", "History1Click"}, {"tempie", "emporaryIE1Click"}};

    win32::Win32Host host;
    TForm1 bare(win32Platform(), host, 0.0);
    bare.FormCreate();
    TForm1 form(win32Platform(), host, 0.0);
    win32::MainWindow window(form, host);
    form.FormCreate();
    window.show();
    pump();
    for (const auto& page : pages) {
        const double scan = millisecondsOf([&] { bare.category(page.code).scan(); });
        const double visit = millisecondsOf([&] {
            window.run(page.visit);
            pump();
        });
        std::printf("%s %zu %.1f %.1f\n", page.code, form.category(page.code).list().size(), scan, visit);
    }
    window.destroy();
    return 0;
}
