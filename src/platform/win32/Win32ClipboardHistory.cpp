// Windows' clipboard history through its own interface, the Windows Runtime class
// Windows.ApplicationModel.DataTransfer.Clipboard (Windows 10 1809 and later). It is reached at
// run time from combase.dll in the system folder, never imported, so the program still starts
// where the Windows Runtime is missing.
#include <windows.h>
#include <inspectable.h>
#include <roapi.h>
#include <winstring.h>

#include <cwchar>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Clipboard.h"

namespace keltora {
namespace {

// IClipboardStatics2 as far as it is used: its methods up to IsHistoryEnabled, in the order of
// its table.
struct IClipboardHistoryStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetHistoryItemsAsync(IInspectable** operation) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearHistory(boolean* cleared) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteItemFromHistory(IInspectable* item, boolean* deleted) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHistoryItemAsContent(IInspectable* item, INT32* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsHistoryEnabled(boolean* enabled) = 0;
};
constexpr GUID kClipboardStatics2 = {0xd2ac1b6a, 0xd29f, 0x554b, {0xb3, 0x03, 0xf0, 0x45, 0x23, 0x45, 0xfe, 0x02}};
constexpr wchar_t kClipboardClass[] = L"Windows.ApplicationModel.DataTransfer.Clipboard";

// What the Windows Runtime's start and its class factories take, from combase.dll.
struct Runtime {
    SystemProc<decltype(::RoInitialize)> start{L"combase.dll", "RoInitialize"};
    SystemProc<decltype(::RoUninitialize)> stop{L"combase.dll", "RoUninitialize"};
    SystemProc<decltype(::RoGetActivationFactory)> factory{L"combase.dll", "RoGetActivationFactory"};
    SystemProc<decltype(::WindowsCreateString)> makeName{L"combase.dll", "WindowsCreateString"};
    SystemProc<decltype(::WindowsDeleteString)> freeName{L"combase.dll", "WindowsDeleteString"};
    bool complete() const { return start && stop && factory && makeName && freeName; }
};

const Runtime& runtime() {
    static const Runtime functions;
    return functions;
}

// The statics of the Clipboard class, with the Windows Runtime started on this thread for as long
// as they are held; none where the system lacks either.
class HistoryInterface {
public:
    HistoryInterface() {
        const Runtime& rt = runtime();
        if (!rt.complete()) return;
        // A thread already in another apartment keeps it; the statics serve either.
        const HRESULT started = rt.start(RO_INIT_SINGLETHREADED);
        started_ = SUCCEEDED(started);
        if (!started_ && started != RPC_E_CHANGED_MODE) return;
        HSTRING name = nullptr;
        if (FAILED(rt.makeName(kClipboardClass, static_cast<UINT32>(wcslen(kClipboardClass)), &name))) return;
        if (FAILED(rt.factory(name, kClipboardStatics2, reinterpret_cast<void**>(&statics_)))) statics_ = nullptr;
        rt.freeName(name);
    }
    ~HistoryInterface() {
        if (statics_) statics_->Release();
        if (started_) runtime().stop();
    }
    HistoryInterface(const HistoryInterface&) = delete;
    HistoryInterface& operator=(const HistoryInterface&) = delete;
    IClipboardHistoryStatics* operator->() const { return statics_; }
    explicit operator bool() const { return statics_ != nullptr; }

private:
    IClipboardHistoryStatics* statics_ = nullptr;
    bool started_ = false;
};

// Without the interface, the user's setting (and the machine's policy above it) says whether
// Windows keeps a history.
bool historySettingOn() {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies\\Microsoft\\Windows\\System", L"AllowClipboardHistory",
                     RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
        value == 0)
        return false;
    size = sizeof value;
    return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Clipboard", L"EnableClipboardHistory",
                        RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
           value != 0;
}

}  // namespace

ClipboardHistory Win32Clipboard::history() {
    HistoryInterface history;
    boolean on = 0;
    if (history && SUCCEEDED(history->IsHistoryEnabled(&on)))
        return on ? ClipboardHistory::Clearable : ClipboardHistory::None;
    return historySettingOn() ? ClipboardHistory::Kept : ClipboardHistory::None;
}

bool Win32Clipboard::clearHistory() {
    HistoryInterface history;
    boolean cleared = 0;
    return history && SUCCEEDED(history->ClearHistory(&cleared)) && cleared;
}

}  // namespace keltora
