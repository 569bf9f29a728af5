// keltora.exe as a whole: one instance only, the splash, and the starter the Run entry names.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "app/win32/Program.h"
#include "app/win32/Splash.h"
#include "platform/win32/Win32Platform.h"
#include "wine/WindowFixture.h"

namespace keltora::wine {
namespace {

std::string WindowsPath(std::string path) {
    for (auto& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

const std::string kBin = WindowsPath(KELTORA_BIN);

int CountMainWindows() {
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "KeltoraMainWindow", nullptr)) != nullptr) ++count;
    return count;
}

// The window is made hidden and shown once its form is made: wait until it is on the screen.
HWND WaitForMainWindow(DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        HWND window = FindWindowA("KeltoraMainWindow", "Keltora Professional ver 3.55 ");
        if (window && IsWindowVisible(window)) return window;
        Sleep(50);
    }
    return nullptr;
}

HANDLE Start(const std::string& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::string line = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, kBin.c_str(), &startup,
                        &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSettings({{"autoscan", "0"}, {"trayminimize", "0"}}); }
    void TearDown() override { ResetSettings(); }
};

TEST_F(ProgramTest, ASecondStartEndsAtOnceWithoutAWindow) {
    HANDLE held = nullptr;
    HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr), release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        held = win32::TakeInstanceMutex();
        SetEvent(taken);
        WaitForSingleObject(release, INFINITE);
        ReleaseMutex(held);
        CloseHandle(held);
    });
    WaitForSingleObject(taken, INFINITE);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(win32::RunProgram(win32Platform(), {0}), 0);
    EXPECT_EQ(CountMainWindows(), 0);
    SetEvent(release);
    holder.join();
    CloseHandle(taken);
    CloseHandle(release);
}

TEST_F(ProgramTest, TheProgramRunsOnceAndItsCloseWritesAutoscanZero) {
    HANDLE first = Start(kBin + "\\keltora.exe");
    ASSERT_NE(first, nullptr);
    HWND window = WaitForMainWindow(20000);
    ASSERT_NE(window, nullptr);
    HANDLE second = Start(kBin + "\\keltora.exe");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(WaitForSingleObject(second, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(second, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(CountMainWindows(), 1);
    EXPECT_EQ(WaitForSingleObject(first, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // The program read autoscan at its start; whatever it says now, the close writes "0".
    WriteValue(kSettingsKey, "autoscan", "1");
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(first, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadValue(kSettingsKey, "autoscan"), "0");
    CloseHandle(first);
    CloseHandle(second);
}

TEST_F(ProgramTest, AutostartStartsTheProgramFromItsOwnFolder) {
    HANDLE starter = Start(kBin + "\\autostart.exe");
    ASSERT_NE(starter, nullptr);
    // Its first call on Task Scheduler may have Wine start the scheduler service: a generous bound.
    EXPECT_EQ(WaitForSingleObject(starter, 60000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(starter, &code);
    EXPECT_EQ(code, 0u);
    HWND window = WaitForMainWindow(20000);
    ASSERT_NE(window, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (HANDLE program = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
        EXPECT_EQ(WaitForSingleObject(program, 20000), WAIT_OBJECT_0);
        CloseHandle(program);
    }
}

TEST_F(ProgramTest, TheSplashIsShownOnlyWhenShowsplashIsOne) {
    for (const char* value : {"0", "yes", ""}) {
        WriteValue(kSettingsKey, "showsplash", value);
        SettingsStore settings(win32Platform().registry);
        EXPECT_FALSE(win32::Splash(settings).on()) << value;
    }
    DeleteValue(kSettingsKey, "showsplash");
    EXPECT_FALSE(win32::Splash(SettingsStore(win32Platform().registry)).on());

    WriteValue(kSettingsKey, "showsplash", "1");
    SettingsStore settings(win32Platform().registry);
    win32::Splash splash(settings);
    ASSERT_TRUE(splash.on());
    splash.show(0);
    RECT frame;
    GetWindowRect(splash.hwnd(), &frame);
    EXPECT_EQ(frame.right - frame.left, 385);
    EXPECT_EQ(frame.bottom - frame.top, 211);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_FALSE(GetWindowLongPtrA(splash.hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    HWND version = FindWindowExA(splash.hwnd(), nullptr, "STATIC", nullptr);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(win32::WindowText(version), "3.55");
    splash.hide();
}

}  // namespace
}  // namespace keltora::wine
