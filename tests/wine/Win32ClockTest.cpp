// The real clock: pauses last at least as long as asked, and the local time is today's.
#include <windows.h>

#include <ctime>

#include "wine/WineScratch.h"

namespace keltora::wine {
namespace {

using Win32ClockTest = WineScratch;

// The pause is the system's: a timer of the system due at half the pause has gone off when it
// ends. No wall time is measured (the tick count moves in coarse steps under Wine).
TEST_F(Win32ClockTest, SleepPausesAtLeastAsLongAsAsked) {
    HANDLE timer = CreateWaitableTimerA(nullptr, TRUE, nullptr);
    ASSERT_NE(timer, nullptr);
    LARGE_INTEGER due;
    due.QuadPart = -60LL * 10000;  // 60 ms from now, in 100 ns units
    ASSERT_TRUE(SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE));
    platform().clock.sleep(120);
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_OBJECT_0);
    CloseHandle(timer);
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
