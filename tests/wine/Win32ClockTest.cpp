// The real clock: pauses last at least as long as asked, and the local time is today's.
#include <windows.h>

#include <ctime>

#include "wine/WineScratch.h"

namespace keltora::wine {
namespace {

using Win32ClockTest = WineScratch;

TEST_F(Win32ClockTest, SleepPausesAtLeastAsLongAsAsked) {
    const ULONGLONG start = GetTickCount64();
    platform().clock.sleep(120);
    EXPECT_GE(GetTickCount64() - start, 110u);
}

TEST_F(Win32ClockTest, NowIsTheLocalTime) {
    const LocalTime now = platform().clock.now();
    const std::time_t seconds = std::time(nullptr);
    const std::tm* local = std::localtime(&seconds);
    EXPECT_EQ(now.year, local->tm_year + 1900);
    EXPECT_EQ(now.month, local->tm_mon + 1);
    EXPECT_EQ(now.day, local->tm_mday);
    EXPECT_GE(now.hour, 0);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.minute, 59);
    EXPECT_LE(now.second, 60);
}

}  // namespace
}  // namespace keltora::wine
