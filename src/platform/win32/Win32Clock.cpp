#include "platform/win32/Win32Clock.h"

#include <windows.h>

namespace keltora {

void Win32Clock::sleep(std::uint32_t ms) { Sleep(ms); }

LocalTime Win32Clock::now() {
    SYSTEMTIME time;
    GetLocalTime(&time);
    return LocalTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

std::uint64_t Win32Clock::systemTime() {
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace keltora
