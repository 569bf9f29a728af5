// filespage.exe: the history and cache pages of the real window, without pauses, on the real
// system. Times each category's scan alone (no window; the best of three), then its page visit
// in the window, where the list shows every finding as it comes, and the part of the visit the
// scan took there (from the hourglass the scan shows to the arrow it shows at its end). Prints
// one line per category:
//   CODE FINDINGS SCAN_MS PAGE_MS SCAN_IN_PAGE_MS
#include <windows.h>

#include <algorithm>
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

using Steady = std::chrono::steady_clock;

// The window's host, noting when the scan of a page visit starts and ends (its hourglass).
class TimingHost : public keltora::win32::Win32Host {
public:
    void setCursor(keltora::Cursor cursor) override {
        Win32Host::setCursor(cursor);
        const auto now = Steady::now();
        if (cursor == keltora::Cursor::Hourglass && !scanning_) scanStart_ = now;
        if (cursor == keltora::Cursor::Default && scanning_) scanEnd_ = now;
        scanning_ = cursor == keltora::Cursor::Hourglass;
    }
    double scanMs() const { return std::chrono::duration<double, std::milli>(scanEnd_ - scanStart_).count(); }

private:
    bool scanning_ = false;
    Steady::time_point scanStart_{}, scanEnd_{};
};

}  // namespace

int main() {
    using namespace keltora;
    struct Page {
        const char* code;
        const char* visit;
    };
    const Page pages[] = {{"his", "History1Click"}, {"tempie", "emporaryIE1Click"}};

    TimingHost host;
    TForm1 bare(win32Platform(), host, 0.0);
    bare.FormCreate();
    TForm1 form(win32Platform(), host, 0.0);
    win32::MainWindow window(form, host);
    form.FormCreate();
    window.show();
    pump();
    for (const auto& page : pages) {
        double scan = 0;
        for (int round = 0; round < 3; ++round) {
            const double ms = millisecondsOf([&] { bare.category(page.code).scan(); });
            scan = round == 0 ? ms : std::min(scan, ms);
        }
        const double visit = millisecondsOf([&] {
            window.run(page.visit);
            pump();
        });
        std::printf("%s %zu %.1f %.1f %.1f\n", page.code, form.category(page.code).list().size(), scan, visit,
                    host.scanMs());
    }
    window.destroy();
    return 0;
}
