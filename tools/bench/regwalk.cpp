// regwalk.exe: the least registry work the deep analysis needs, to measure it against. Each key
// below HKLM\SOFTWARE (four levels) and HKCU\Software (five levels) is opened once for reading,
// asked for its counts, its values are enumerated with their exact names and up to 512 bytes of
// data (what holds 255 characters) and its subkeys listed where the walk goes deeper; nothing
// else. Prints the keys and values it met.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Totals {
    unsigned long long keys = 0;
    unsigned long long values = 0;
};

void walk(HKEY parent, const wchar_t* name, int level, int depth, Totals& totals) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr, &values, &maxValueNameLen,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return;
    }
    if (level > 0) ++totals.keys;
    std::vector<wchar_t> valueName(maxValueNameLen + 1);
    for (DWORD i = 0; level > 0 && i < values; ++i) {
        BYTE data[512];
        DWORD nameLength = static_cast<DWORD>(valueName.size()), size = sizeof data, type = 0;
        if (RegEnumValueW(key, i, valueName.data(), &nameLength, nullptr, &type, data, &size) == ERROR_SUCCESS)
            ++totals.values;
    }
    if (level < depth) {
        std::vector<std::wstring> names;
        std::vector<wchar_t> keyName(maxSubKeyLen + 1);
        for (DWORD i = 0; i < subKeys; ++i) {
            DWORD length = static_cast<DWORD>(keyName.size());
            if (RegEnumKeyExW(key, i, keyName.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                names.emplace_back(keyName.data(), length);
        }
        for (const auto& sub : names) walk(key, sub.c_str(), level + 1, depth, totals);
    }
    RegCloseKey(key);
}

}  // namespace

int main() {
    Totals totals;
    walk(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, 4, totals);
    walk(HKEY_CURRENT_USER, L"Software", 0, 5, totals);
    std::printf("keys %llu values %llu\n", totals.keys, totals.values);
    return 0;
}
