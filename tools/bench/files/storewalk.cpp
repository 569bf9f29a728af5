// storewalk.exe: the least file-system work the history and cache scans need, to measure them
// against. Each root given is listed with FindFirstFileA / FindNextFileA ("*.*") and every
// folder below it is listed in turn, three levels deep; nothing else. Prints the entries it met.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

unsigned long long walk(const std::string& folder, int level) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    unsigned long long entries = 0;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        ++entries;
        if (level < 3 && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            entries += walk(folder + name + "\\", level + 1);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long long entries = 0;
    for (int i = 1; i < argc; ++i) {
        std::string root = argv[i];
        if (root.empty() || root.back() != '\\') root += '\\';
        entries += walk(root, 1);
    }
    std::printf("%llu entries\n", entries);
    return 0;
}
