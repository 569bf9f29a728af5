#pragma once
// The real clock: kernel32's Sleep and the local time.
#include "platform/Clock.h"

namespace keltora {

class Win32Clock final : public Clock {
public:
    void sleep(std::uint32_t ms) override;
    LocalTime now() override;
};

}  // namespace keltora
