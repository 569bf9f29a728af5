// keltora_pages.exe: shows every page of the real window in turn, with a few findings so the
// lists are not empty, and waits at each for tools/screenshots to photograph the screen.
//
//   keltora_pages.exe HANDSHAKE-FOLDER
// For each page it writes HANDSHAKE-FOLDER\ready ("name WxH+X+Y", the window on the screen),
// waits for HANDSHAKE-FOLDER\ack, and at the end writes HANDSHAKE-FOLDER\done.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "app/win32/Splash.h"
#include "platform/win32/Win32Platform.h"
#include "wine/WindowFixture.h"

namespace {

using keltora::wine::WindowUnderTest;

std::string gFolder;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Photograph(const std::string& name, HWND window, WindowUnderTest* w) {
    if (w) w->pump(400);
    RECT r;
    GetWindowRect(window, &r);
    const std::string ready = gFolder + "\\ready", ack = gFolder + "\\ack";
    if (FILE* file = std::fopen((ready + ".tmp").c_str(), "w")) {
        std::fprintf(file, "%s %ldx%ld+%ld+%ld\n", name.c_str(), r.right - r.left, r.bottom - r.top, r.left, r.top);
        std::fclose(file);
        MoveFileA((ready + ".tmp").c_str(), ready.c_str());
    }
    for (int waited = 0; waited < 30000 && !Exists(ack); waited += 20) {
        if (w) w->pump();
        Sleep(20);
    }
    DeleteFileA(ack.c_str());
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    gFolder = commandLine;
    if (gFolder.size() >= 2 && gFolder.front() == '"') gFolder = gFolder.substr(1, gFolder.size() - 2);
    using namespace keltora;
    using namespace keltora::wine;
    ResetSettings({{"autoscan", "0"}, {"trayminimize", "1"}, {"showsplash", "1"}});
    WriteValue(kRunKey, "Keltora Demo Updater", "C:\\Program Files\\Demo\\update.exe /background");
    WriteValue(kRunKey, "Old Helper", "C:\\nowhere\\helper.exe");
    {
        win32::Splash splash(SettingsStore(win32Platform().registry));
        splash.show(0);
        Photograph("splash", splash.hwnd(), nullptr);
    }
    {
        WindowUnderTest w(0.05);
        Photograph("summary", w.hwnd(), &w);
        w.pick("RunningWhileStartup1Click");
        Photograph("startup", w.hwnd(), &w);
        w.pick("History1Click");
        Photograph("history", w.hwnd(), &w);
        w.clickSideBar(2);
        Photograph("optimizer", w.hwnd(), &w);
        w.clickSideBar(3);
        w.form().LVbackup.add(Finding{"Backup_9-5-3_7-1-2026.reg", {"07/01/2026", "09:05:03"}, false});
        Photograph("backups", w.hwnd(), &w);
        w.clickSideBar(4);
        w.form().LVundo.add(
            Finding{"Undo_9-5-3_7-1-2026.reg", {"1/7/2026", "9:05:03 AM", "Repair Errors Now !", "12", ""}, false});
        Photograph("undo", w.hwnd(), &w);
        w.clickSideBar(5);
        Photograph("about", w.hwnd(), &w);
        w.clickSideBar(6);
        Photograph("settings", w.hwnd(), &w);
        auto& sp = w.form().category("sp").list();
        if (!sp.empty()) {
            w.pick("RunningWhileStartup1Click");
            sp.select(0);
            w.click("OBsp2");
        }
        w.clickSideBar(7);
        Photograph("ignored", w.hwnd(), &w);
        w.click("obremoveignoredsp");
        w.click("OBscanpc");
        Photograph("back-to-main", w.hwnd(), &w);
    }
    DeleteValue(kRunKey, "Keltora Demo Updater");
    DeleteValue(kRunKey, "Old Helper");
    ResetSettings();
    if (FILE* done = std::fopen((gFolder + "\\done").c_str(), "w")) std::fclose(done);
    return 0;
}
