#pragma once
// Time as the program sees it: pauses, the local date, and the time files are stamped with (by
// which files' ages and how long work takes are told). The window uses the real clock; tests use
// a clock that only adds the pauses up.
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
    // The time now as the file system keeps it: a FILETIME (100-nanosecond units since 1601, UTC).
    // It goes back when someone sets the clock back.
    virtual std::uint64_t systemTime() = 0;
};

// One millisecond and one hour in FILETIME units.
inline constexpr std::uint64_t kFileTimeMillisecond = 10'000ULL;
inline constexpr std::uint64_t kFileTimeHour = 3'600'000 * kFileTimeMillisecond;

}  // namespace keltora
