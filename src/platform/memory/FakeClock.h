#pragma once
// A clock for tests: pauses return at once and are only added up, and the local time is what
// the test sets; the count of milliseconds goes on by the pauses alone.
#include <cstdint>
#include <functional>

#include "platform/Clock.h"

namespace keltora {

class FakeClock : public Clock {
public:
    void sleep(std::uint32_t ms) override {
        if (onSleep) onSleep(ms);
        totalMs_ += ms;
        elapsedMs_ += ms;
        ++pauses_;
        if (advancing_) advance(ms);
    }
    LocalTime now() override { return now_; }
    std::uint64_t milliseconds() override { return elapsedMs_; }
    // Told of every pause as it begins.
    std::function<void(std::uint32_t)> onSleep;

    // Lets pauses move the local time on, for code that waits for the next second.
    void setAdvancing(bool advancing) { advancing_ = advancing; }

    void setNow(const LocalTime& time) { now_ = time; }
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
    std::uint64_t totalMs_ = 0;
    std::uint64_t elapsedMs_ = 0;  // as totalMs_, but never reset
    std::uint64_t pauses_ = 0;
};

}  // namespace keltora
