#pragma once
// The real clock: kernel32's Sleep, the local time and the system time.
#include "platform/Clock.h"

namespace keltora {

class Win32Clock final : public Clock {
public:
    void sleep(std::uint32_t ms) override;
    LocalTime now() override;
    std::uint64_t systemTime() override;
};

}  // namespace keltora
