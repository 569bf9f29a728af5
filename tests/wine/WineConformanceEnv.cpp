// The conformance environment of the Win32 backends: a scratch key below HKEY_CURRENT_USER and a
// scratch folder on drive C: of the Wine prefix, both cleared around every test with the plain
// Win32 calls, so that a fault of a backend under test cannot leave the next test a dirty state.
#include <windows.h>
#include <sddl.h>
#include <winioctl.h>

#include <stdexcept>
#include <string>

#include "platform/conformance/ConformanceEnv.h"
#include "platform/win32/Win32Platform.h"

namespace keltora::conformance {
namespace {

constexpr const char* kScratchKey = "Software\\KeltoraConformance";
constexpr const char* kScratchFolder = "C:\\keltora-conformance";
constexpr const wchar_t* kScratchFolderWide = L"C:\\keltora-conformance";

// A registry link a test left: deleted as itself (NtDeleteKey on the link's own handle), since
// every delete by name would reach its target instead. False when parent\name is no link, or
// holds subkeys (a plain key with a value like a link's target, deleted as a tree).
bool deleteIfLink(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | DELETE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    const bool link = RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
                      type == REG_LINK;
    bool deleted = false;
    if (link) {
        using NtDeleteKey = LONG(NTAPI*)(HANDLE);
        const auto remove = reinterpret_cast<NtDeleteKey>(
            reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
        deleted = remove(key) >= 0;
    }
    RegCloseKey(key);
    return deleted;
}

// Deletes parent\name and everything below it; RegDeleteKeyA removes only keys without subkeys.
bool deleteKeyTree(HKEY parent, const std::string& name) {
    if (deleteIfLink(parent, name)) return true;
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char child[MAX_PATH];
        DWORD length = MAX_PATH;
        // Always the first subkey, as each deletion moves the next one to index 0; one that cannot
        // be deleted ends the loop instead of being found again and again.
        while (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
               deleteKeyTree(key, child))
            length = MAX_PATH;
        RegCloseKey(key);
    }
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

// Deletes folder and everything in it, read-only files included, by the exact names the wide
// calls give (an ANSI name may be another file's, or one Windows would strip a dot from).
void deleteFolderTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            const std::wstring exact = L"\\\\?\\" + path;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                deleteFolderTree(path);
            } else {
                SetFileAttributesW(exact.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (!DeleteFileW(exact.c_str())) RemoveDirectoryW(exact.c_str());
            }
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    SetFileAttributesW((L"\\\\?\\" + folder).c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

void fail(const std::string& what) {
    throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

class WineConformanceEnv final : public ConformanceEnv {
public:
    Platform& platform() override { return platform_.platform(); }
    std::string scratchKey() override { return kScratchKey; }
    std::string scratchFolder() override { return kScratchFolder; }

    std::u16string userKeyNtPath() override {
        std::u16string path = u"\\Registry\\User\\";
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) fail("cannot open the process token");
        BYTE buffer[256];
        DWORD size = 0;
        LPWSTR sid = nullptr;
        if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
            ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
            path += reinterpret_cast<const char16_t*>(sid);
            LocalFree(sid);
        }
        CloseHandle(token);
        return path;
    }

    // Sparse where the file system allows it, so that sizes above 4 GiB cost no disk. Under Wine
    // FSCTL_SET_SPARSE may be refused, but a file extended by SetEndOfFile on ext4 is sparse
    // anyway.
    void makeFile(const std::string& path, std::uint64_t size) override {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) fail("cannot create " + path);
        DWORD returned = 0;
        DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
        CloseHandle(file);
        if (!sized) fail("cannot size " + path);
    }

    void makeExactFile(const std::u16string& path) override {
        const std::wstring exact = L"\\\\?\\" + std::wstring(reinterpret_cast<const wchar_t*>(path.c_str()));
        HANDLE file = CreateFileW(exact.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) fail("cannot create an exactly named file");
        DWORD written = 0;
        WriteFile(file, "x", 1, &written, nullptr);
        CloseHandle(file);
    }

    void setUp() override {
        clear();
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            fail("cannot create the scratch key");
        RegCloseKey(key);
        if (!CreateDirectoryA(kScratchFolder, nullptr)) fail("cannot create the scratch folder");
    }

    void tearDown() override { clear(); }

private:
    static void clear() {
        deleteKeyTree(HKEY_CURRENT_USER, kScratchKey);
        deleteFolderTree(kScratchFolderWide);
    }

    Win32Platform platform_;
};

}  // namespace

ConformanceEnv& conformanceEnv() {
    static WineConformanceEnv env;
    return env;
}

}  // namespace keltora::conformance
