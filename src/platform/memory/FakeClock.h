#pragma once
// A clock for tests: pauses return at once and are only added up, and the local time and the
// system time are what the test sets.
#include <cstdint>
#include <functional>

#include "platform/Clock.h"

namespace keltora {

class FakeClock : public Clock {
public:
    void sleep(std::uint32_t ms) override {
        if (onSleep) onSleep(ms);
        totalMs_ += ms;
        ++pauses_;
        if (advancing_) advance(ms);
    }
    LocalTime now() override { return now_; }
    std::uint64_t systemTime() override { return systemTime_; }
    // Told of every pause as it begins.
    std::function<void(std::uint32_t)> onSleep;

    // Lets pauses move the local time on, for code that waits for the next second.
    void setAdvancing(bool advancing) { advancing_ = advancing; }

    void setNow(const LocalTime& time) { now_ = time; }
    // The FILETIME systemTime() reports; it does not move with the pauses.
    void setSystemTime(std::uint64_t fileTime) { systemTime_ = fileTime; }
    // 2026-01-01 00:00 UTC, the time systemTime() reports unless a test sets another.
    static constexpr std::uint64_t kDefaultSystemTime = 134'116'992'000'000'000ULL;
    std::uint64_t totalMs() const { return totalMs_; }
    std::uint64_t pauses() const { return pauses_; }
    void reset() { totalMs_ = pauses_ = 0; }

private:
    void advance(std::uint32_t ms) {
        subSecondMs_ += ms;
        for (; subSecondMs_ >= 1000; subSecondMs_ -= 1000) {
            if (++now_.second < 60) continue;
            now_.second = 0;
            if (++now_.minute < 60) continue;
            now_.minute = 0;
            now_.hour = (now_.hour + 1) % 24;
        }
    }

    bool advancing_ = false;
    std::uint32_t subSecondMs_ = 0;
    LocalTime now_;
    std::uint64_t systemTime_ = kDefaultSystemTime;
    std::uint64_t totalMs_ = 0;
    std::uint64_t pauses_ = 0;
};

}  // namespace keltora
