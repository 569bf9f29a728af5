// autostart.exe: what the Run entry names. It runs at every logon with the user's own token
// (its manifest says asInvoker) and starts keltora.exe from its own folder, so the program finds
// its files wherever it was installed, and ends.
//
// keltora.exe asks for the highest token its user has. Started from here directly, that is a
// consent prompt at every logon for an administrator, and Windows does not start programs that
// need elevation from the Run key at all. The installer therefore registers the scheduled task
// "Keltora Professional", run with the highest privileges of whichever user starts it: Task
// Scheduler starts it without a prompt. When that task exists and starts this folder's
// keltora.exe, it is asked to run in this logon session; otherwise (a portable copy, a task
// removed, disabled or pointing at another copy, Task Scheduler not running) keltora.exe is
// started here as the user would start it by hand.
#include <windows.h>
#include <shellapi.h>
#include <taskschd.h>
#include <wrl/client.h>

#include <string>

#include "platform/win32/SystemLibrary.h"

namespace {

using Microsoft::WRL::ComPtr;

constexpr const wchar_t* kTaskName = L"Keltora Professional";
// TASK_RUN_USE_SESSION_ID of TASK_RUN_FLAGS, which MinGW's taskschd.h does not declare: a task
// whose principal is a group runs in the one session named, not in every member's.
constexpr LONG kRunInSession = 0x4;
// ERROR_ELEVATION_REQUIRED, which MinGW's winerror.h does not declare.
constexpr DWORD kElevationRequired = 740;

// The folder of this executable, with its trailing '\'. Read in full however long it is.
std::wstring OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

struct Bstr {
    explicit Bstr(const wchar_t* text) : value(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(value); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR value;
};

// A task's program as Task Scheduler would start it: quotes off, variables expanded.
std::wstring ExpandedCommand(BSTR command) {
    std::wstring text = command ? command : L"";
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    std::wstring expanded(32768, L'\0');
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (length == 0 || length > expanded.size()) return text;
    expanded.resize(length - 1);
    return expanded;
}

// Whether the task's one action starts this very program; a task of another copy does not.
bool StartsProgram(IRegisteredTask& task, const std::wstring& program) {
    ComPtr<ITaskDefinition> definition;
    ComPtr<IActionCollection> actions;
    ComPtr<IAction> action;
    ComPtr<IExecAction> exec;
    LONG count = 0;
    if (FAILED(task.get_Definition(&definition)) || FAILED(definition->get_Actions(&actions)) ||
        FAILED(actions->get_Count(&count)) || count != 1 || FAILED(actions->get_Item(1, &action)) ||
        FAILED(action.As(&exec)))
        return false;
    BSTR command = nullptr;
    if (FAILED(exec->get_Path(&command))) return false;
    const std::wstring path = ExpandedCommand(command);
    SysFreeString(command);
    return CompareStringOrdinal(path.c_str(), -1, program.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Asks Task Scheduler to start the task in this logon session; false when it did not.
bool RunTask(const std::wstring& program) {
    ComPtr<ITaskService> service;
    if (FAILED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service))))
        return false;
    VARIANT none;
    VariantInit(&none);
    ComPtr<ITaskFolder> root;
    ComPtr<IRegisteredTask> task;
    const Bstr rootPath(L"\\"), name(kTaskName), user(L"");
    if (FAILED(service->Connect(none, none, none, none)) || FAILED(service->GetFolder(rootPath.value, &root)) ||
        FAILED(root->GetTask(name.value, &task)) || !StartsProgram(*task.Get(), program))
        return false;
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) return false;
    ComPtr<IRunningTask> running;
    return SUCCEEDED(task->RunEx(none, kRunInSession, static_cast<LONG>(session), user.value, &running));
}

// keltora.exe as a user starts it by hand. For an administrator, whose program asks for the
// administrator token, CreateProcess refuses (ERROR_ELEVATION_REQUIRED): the shell then starts
// it, with the consent prompt that needs.
bool StartProgram(const std::wstring& program, const std::wstring& folder) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
    if (GetLastError() != kElevationRequired) return false;
    SHELLEXECUTEINFOW shell{};
    shell.cbSize = sizeof(shell);
    shell.fMask = SEE_MASK_NOASYNC;
    shell.lpVerb = L"open";
    shell.lpFile = program.c_str();
    shell.lpDirectory = folder.c_str();
    shell.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&shell) != FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Task Scheduler's and the shell's DLLs, and what they load, only from the system folder.
    keltora::RestrictDllSearchToSystem();
    const std::wstring folder = OwnFolder();
    if (folder.empty()) return 1;
    const std::wstring program = folder + L"keltora.exe";
    // COM for Task Scheduler, and for the shell, which may need it to start a program.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const bool started = (SUCCEEDED(com) && RunTask(program)) || StartProgram(program, folder);
    if (SUCCEEDED(com)) CoUninitialize();
    return started ? 0 : 1;
}
