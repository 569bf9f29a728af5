#pragma once
// Time as the program sees it: pauses, the local date, and a count of milliseconds for how long
// work takes. The window uses the real clock; tests use a clock that only adds the pauses up.
#include <cstdint>

namespace keltora {

struct LocalTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleep(std::uint32_t ms) = 0;
    virtual LocalTime now() = 0;
    // Milliseconds since some fixed moment, never going back (GetTickCount64).
    virtual std::uint64_t milliseconds() = 0;
};

}  // namespace keltora
