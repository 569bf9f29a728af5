#include "wine/WindowFixture.h"

#include <commctrl.h>

#include "platform/win32/Win32Platform.h"

namespace keltora::wine {

namespace {

HKEY Open(const std::string& key, bool create) {
    HKEY handle = nullptr;
    const LONG result = create ? RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 &handle, nullptr)
                               : RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &handle);
    return result == ERROR_SUCCESS ? handle : nullptr;
}

}  // namespace

void ResetSettings(const std::vector<std::pair<std::string, std::string>>& values) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    DeleteValue(kRunKey, "KeltoraPro");
    for (const auto& [name, data] : values) WriteValue(kSettingsKey, name, data);
}

std::string ReadValue(const std::string& key, const std::string& name) {
    char data[512] = {};
    DWORD size = sizeof(data) - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return {};
    return data;
}

void WriteValue(const std::string& key, const std::string& name, const std::string& data) {
    HKEY handle = Open(key, true);
    RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(handle);
}

void DeleteValue(const std::string& key, const std::string& name) {
    if (HKEY handle = Open(key, false)) {
        RegDeleteValueA(handle, name.c_str());
        RegCloseKey(handle);
    }
}

std::string RunCapture(const std::string& commandLine, DWORD* exitCode) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    CreatePipe(&read, &write, &inherit, 0);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    std::string output;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(write);
        write = nullptr;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(read, buffer, sizeof(buffer), &got, nullptr) && got > 0) output.append(buffer, got);
        WaitForSingleObject(process.hProcess, 30000);
        if (exitCode) GetExitCodeProcess(process.hProcess, exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    if (write) CloseHandle(write);
    CloseHandle(read);
    return output;
}

WindowUnderTest::WindowUnderTest(double pace) {
    form_ = std::make_unique<TForm1>(win32Platform(), host_, pace);
    window_ = std::make_unique<win32::MainWindow>(*form_, host_);
    host_.messageSink = [this](const std::string& text) { messages.push_back(text); };
    window_->trackMenu = [this](HMENU menu, POINT at) { opened.emplace_back(menu, at); };
    form_->FormCreate();
    window_->show();
    pump(50);
}

WindowUnderTest::~WindowUnderTest() {
    window_.reset();
    form_.reset();
    // Nothing of this window may reach the next one: not its timers, not a quit it posted.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void WindowUnderTest::pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        host_.processMessages();
        if (ms > 0) Sleep(5);
    } while (GetTickCount() - start < ms);
}

HWND WindowUnderTest::control(const std::string& name) const { return window_->window(name); }

std::string WindowUnderTest::text(const std::string& name) const { return win32::WindowText(control(name)); }

bool WindowUnderTest::visible(const std::string& name) const {
    HWND window = control(name);
    return window != nullptr && IsWindowVisible(window) != FALSE;
}

void WindowUnderTest::click(const std::string& name) {
    SendMessageA(control(name), BM_CLICK, 0, 0);
    pump();
}

void WindowUnderTest::clickSideBar(std::size_t index) { click("CB1Item" + std::to_string(index)); }

void WindowUnderTest::pick(const std::string& handler) {
    SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(window_->menus().idOf(handler), 0), 0);
    pump();
}

void WindowUnderTest::key(WPARAM key, bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    HWND target = GetFocus() ? GetFocus() : hwnd();
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    pump();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

std::string WindowUnderTest::focused() const { return window_->nameOf(GetFocus()); }

bool WindowUnderTest::shows(const std::string& name, COLORREF colour, RECT area) const {
    HWND window = control(name);
    if (IsRectEmpty(&area)) GetClientRect(window, &area);
    HDC dc = GetDC(window);
    bool found = false;
    for (int y = area.top; y < area.bottom && !found; ++y)
        for (int x = area.left; x < area.right && !found; ++x) found = GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return found;
}

int WindowUnderTest::rows(const std::string& list) const {
    return static_cast<int>(SendMessageA(control(list), LVM_GETITEMCOUNT, 0, 0));
}

std::string WindowUnderTest::cell(const std::string& list, int row, int column) const {
    char text[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(control(list), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

bool WindowUnderTest::checked(const std::string& list, int row) const {
    const auto state = SendMessageA(control(list), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return (static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

}  // namespace keltora::wine
