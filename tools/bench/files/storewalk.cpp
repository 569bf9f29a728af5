// storewalk.exe: the least file-system work the file scans need, to measure them against. Each
// root given is listed with FindFirstFileW / FindNextFileW ("*", the wide calls the scans make)
// and every folder below it is listed in turn, down to a depth (3 by default, as the history and
// cache stores; --depth 0 for no bound); nothing else. With --delete it is the floor of a removal
// instead: every file met is opened for deletion and deleted through that handle, as the one act
// on listed files does, without its checks. Prints the entries it met.
//
//   storewalk.exe [--depth N] [--delete] ROOT...
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Walk {
    int depth = 3;
    bool remove = false;
    unsigned long long entries = 0;
};

void deleteThroughHandle(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    CloseHandle(file);
}

void walk(Walk& w, const std::wstring& folder, int level) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        ++w.entries;
        const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (directory && (w.depth == 0 || level < w.depth)) walk(w, folder + name + L"\\", level + 1);
        else if (!directory && w.remove) deleteThroughHandle(folder + name);
    } while (FindNextFileW(search, &data));
    FindClose(search);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Walk w;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--depth" && i + 1 < argc) {
            w.depth = static_cast<int>(std::wcstol(argv[++i], nullptr, 10));
            continue;
        }
        if (arg == L"--delete") {
            w.remove = true;
            continue;
        }
        std::wstring root = arg;
        if (root.empty() || root.back() != L'\\') root += L'\\';
        walk(w, root, 1);
    }
    LocalFree(argv);
    std::printf("%llu entries\n", w.entries);
    return 0;
}
