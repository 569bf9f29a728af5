#pragma once
// A machine for the native tests: the memory backends, a registry filled from .reg text, a host
// that records what the window would show, and the main window's logic started on it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "platform/memory/MemoryPlatform.h"
#include "platform/memory/RegFile.h"

namespace keltora::testing {

class RecordingHost : public AppHost {
public:
    void processMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    void beforePause() override { ++pausesAhead; }
    void setCursor(Cursor shown) override { cursor = shown; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setTopmost(bool on) override {
        topmost = on;
        ++topmostCalls;
    }
    void setTrayIcon(bool shown) override {
        tray = shown;
        ++trayCalls;
    }
    std::string executableFolder() override { return "C:\\Program Files\\Keltora Professional\\"; }
    void quit() override { quitted = true; }
    void openMenu(std::string_view menu) override { menus.emplace_back(menu); }
    void minimize(bool hideWindow) override { minimized.push_back(hideWindow); }
    void restore() override { ++restores; }

    int pumps = 0;
    // What the user does while the window handles its messages, in the middle of a command.
    std::function<void()> onPump;
    int pausesAhead = 0;  // how often the logic said it was about to sleep
    Cursor cursor = Cursor::Default;
    std::vector<std::string> messages;
    bool topmost = false;
    bool tray = false;
    bool quitted = false;
    std::vector<std::string> menus;
    std::vector<bool> minimized;  // one entry per minimize: whether the window was to be hidden
    int restores = 0;
    int topmostCalls = 0;
    int trayCalls = 0;
};

// The folders every test machine has: program files, the system root, the user's shell folders.
inline constexpr const char* kBaseMachine = R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion]
"ProgramFilesDir"="C:\\Program Files"
"CommonFilesDir"="C:\\Program Files\\Common Files"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion]
"SystemRoot"="C:\\Windows"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders]
"Startup"="C:\\Users\\pat\\Start Menu\\Programs\\Startup"
"Recent"="C:\\Users\\pat\\Recent"
)";

inline constexpr const char* kStartupFolder = "C:\\Users\\pat\\Start Menu\\Programs\\Startup";
inline constexpr const char* kStartbug = "C:\\Program Files\\Keltora Professional\\startbug";
inline constexpr const char* kIgnoreFolder = "C:\\Program Files\\Keltora Pro";

class World {
public:
    explicit World(const std::string& regText = "", bool withBase = true) {
        if (withBase) load(kBaseMachine);
        if (!regText.empty()) load(regText);
        files().createDirectories(kStartupFolder);
    }

    void load(const std::string& regText) { ApplyRegFile(machine.registry, regText); }
    Platform& platform() { return machine.platform(); }
    FileSystem& files() { return machine.files; }
    RegistryApi& registry() { return machine.registry; }

    // Starts the window's logic as the program does; a second call starts it afresh, as a
    // restart would, on the same machine.
    TForm1& start(double pace = 1.0) {
        form.reset();
        form = std::make_unique<TForm1>(platform(), host, pace);
        form->FormCreate();
        return *form;
    }

    void touch(const std::string& path, const std::string& content = "x") {
        files().createDirectories(path.substr(0, path.find_last_of('\\')));
        files().writeFile(path, content);
    }

    std::string read(HKey root, const std::string& path, const std::string& name);
    bool valueExists(HKey root, const std::string& path, const std::string& name);

    MemoryPlatform machine;
    RecordingHost host;
    std::unique_ptr<TForm1> form;
};

// Captions of a list's findings, in order.
std::vector<std::string> Captions(const ResultList& list);

}  // namespace keltora::testing
