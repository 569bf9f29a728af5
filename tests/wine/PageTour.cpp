// keltora_pages.exe: shows every page of the real window in turn, as a user meets it after a
// full scan of a prefix seeded with clutter (tools/screenshots seeds it), and waits at each for
// tools/screenshots to photograph the screen.
//
//   keltora_pages.exe HANDSHAKE-FOLDER
// For each picture it writes HANDSHAKE-FOLDER\ready ("name WxH+X+Y", the part of the screen to
// take), waits for HANDSHAKE-FOLDER\ack, and at the end writes HANDSHAKE-FOLDER\done.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "app/win32/Splash.h"
#include "app/win32/TrayIcon.h"
#include "platform/win32/Win32Platform.h"
#include "wine/WindowFixture.h"

namespace {

using keltora::wine::WindowUnderTest;

std::string gFolder;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Hands a part of the screen to the photographer and waits until it is taken. The window's
// messages are handled meanwhile, unless a menu's own loop is running (w is nullptr then).
void Photograph(const std::string& name, RECT r, WindowUnderTest* w) {
    if (w) w->pump(400);
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

RECT Frame(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

void Photograph(const std::string& name, WindowUnderTest& w) { Photograph(name, Frame(w.hwnd()), &w); }

// A pop-up menu is photographed while it is open: the window and the menu together.
std::string gMenuShot;
HWND gMenuOwner = nullptr;

void CALLBACK PhotographMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    RECT all = Frame(gMenuOwner);
    if (HWND menu = FindWindowA("#32768", nullptr)) {
        const RECT popup = Frame(menu);
        UnionRect(&all, &all, &popup);
    }
    Photograph(gMenuShot, all, nullptr);
    EndMenu();
}

void OpenMenusForPictures(WindowUnderTest& w) {
    gMenuOwner = w.hwnd();
    w.window().trackMenu = [&w](HMENU menu, POINT at) {
        SetTimer(nullptr, 0, 500, &PhotographMenu);
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, w.hwnd(), nullptr);
    };
}

void SelectRow(keltora::ResultList& list, const std::string& caption) {
    for (std::size_t row = 0; row < list.size(); ++row)
        if (list.at(row).caption.find(caption) != std::string::npos) return list.select(static_cast<int>(row));
    if (!list.empty()) list.select(0);
}

void Tour(WindowUnderTest& w) {
    using namespace keltora;
    TForm1& form = w.form();
    for (std::size_t row = 0; row < form.lvall.size(); ++row) form.lvall.setChecked(row, true);
    w.click("OBall2");
    // Selected as a user selects it, so that "Detail Items" shows what that does to it.
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(w.control("lvall"), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    Photograph("summary", w);
    // The group of the places of today's Windows, below the classic rows.
    SendMessageA(w.control("lvall"), LVM_ENSUREVISIBLE, static_cast<WPARAM>(form.lvall.size() - 1), FALSE);
    Photograph("summary-places", w);
    SendMessageA(w.control("lvall"), LVM_ENSUREVISIBLE, 0, FALSE);

    const std::pair<const char*, const char*> pages[] = {
        {"startup", "RunningWhileStartup1Click"}, {"uninstall", "UninstallerBugs1Click"},
        {"extensions", "UnusedExtensions1Click"}, {"activex", "MissingActiveXandDLLs1Click"},
        {"deep-analysis", "ProgressiveClick"},    {"cookies", "Cookies1Click"},
        {"history", "History1Click"},             {"temp-files", "emporaryFiles1Click"},
        {"clipboard", "Clipboard1Click"},         {"user-temp-files", "UserTemporaryFiles1Click"},
        {"crash-dumps", "CrashDumps1Click"},      {"explorer-history", "ExplorerHistory1Click"},
    };
    for (const auto& [name, handler] : pages) {
        w.pick(handler);
        Photograph(name, w);
    }
    // The startup list sorted by its location, the other way round.
    w.pick("RunningWhileStartup1Click");
    form.category("sp").list().sortBy(2);
    form.category("sp").list().sortBy(2);
    Photograph("startup-sorted", w);

    // Two findings set aside, then the page that lists them.
    for (const char* code : {"sp", "ue"}) {
        w.pick(std::string(FindCategory(code)->menuHandler));
        SelectRow(form.category(code).list(), "Kelt");
        w.click(std::string(FindCategory(code)->buttons[1]));
    }
    w.clickSideBar(7);
    Photograph("ignored", w);
    w.window().run("tsignoredueShow");
    Photograph("ignored-uninstall", w);
    w.click("obremoveignoredsp");
    w.click("obremoveignoredue");

    w.clickSideBar(2);
    w.click("OBoptimize");
    Photograph("optimizer", w);
    w.clickSideBar(3);
    w.click("OBbackup");
    w.click("OBbackup");
    Photograph("backups", w);
    // A repair journals what it removes; the Undo page lists the journal.
    w.click("OBscanpc");
    w.click("OBall4");
    w.clickSideBar(4);
    Photograph("undo", w);
    w.clickSideBar(5);
    Photograph("about", w);
    w.clickSideBar(6);
    Photograph("settings", w);
    w.click("OBscanpc");
    Photograph("back-to-main", w);

    OpenMenusForPictures(w);
    gMenuShot = "registry-menu";
    w.clickSideBar(0);
    gMenuShot = "privacy-menu";
    w.clickSideBar(1);
    const RECT frame = Frame(w.hwnd());
    SetCursorPos(frame.right - 60, frame.bottom - 120);
    gMenuShot = "tray-menu";
    SendMessageA(w.hwnd(), win32::TrayIcon::kCallbackMessage, 1, WM_RBUTTONDOWN);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    gFolder = commandLine;
    if (gFolder.size() >= 2 && gFolder.front() == '"') gFolder = gFolder.substr(1, gFolder.size() - 2);
    using namespace keltora;
    using namespace keltora::wine;
    ResetSettings({{"autoscan", "0"}, {"trayminimize", "1"}, {"showsplash", "1"}, {"autorepair", "0"},
                   {"autobackup", "0"}});
    {
        win32::Splash splash(SettingsStore(win32Platform().registry));
        splash.show(0);
        Photograph("splash", Frame(splash.hwnd()), nullptr);
    }
    {
        WindowUnderTest w(0.02);
        Tour(w);
    }
    ResetSettings();
    if (FILE* done = std::fopen((gFolder + "\\done").c_str(), "w")) std::fclose(done);
    return 0;
}
