#pragma once
// A clock for tests: pauses return at once and are only added up, and the local time is what
// the test sets.
#include <cstdint>

#include "platform/Clock.h"

namespace keltora {

class FakeClock : public Clock {
public:
    void sleep(std::uint32_t ms) override {
        totalMs_ += ms;
        ++pauses_;
    }
    LocalTime now() override { return now_; }

    void setNow(const LocalTime& time) { now_ = time; }
    std::uint64_t totalMs() const { return totalMs_; }
    std::uint64_t pauses() const { return pauses_; }
    void reset() { totalMs_ = pauses_ = 0; }

private:
    LocalTime now_;
    std::uint64_t totalMs_ = 0;
    std::uint64_t pauses_ = 0;
};

}  // namespace keltora
