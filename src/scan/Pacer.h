#pragma once
// The fixed pauses that set the pace the user sees. Every pause goes through the clock, scaled by
// a factor: 1 in the window, 0 (no pauses) in the console unless asked.
#include <cstdint>

#include "platform/Clock.h"

namespace keltora {

class Pacer {
public:
    explicit Pacer(Clock& clock, double factor = 1.0) : clock_(clock), factor_(factor) {}
    // What a pause of ms really sleeps at this pace.
    std::uint32_t scaled(std::uint32_t ms) const { return static_cast<std::uint32_t>(ms * factor_ + 0.5); }
    void pause(std::uint32_t ms) {
        const auto scaled = this->scaled(ms);
        if (scaled == 0) return;
        pausedMs_ += scaled;
        clock_.sleep(scaled);
    }
    // Every pause asked for so far, in milliseconds: what the pace alone costs.
    std::uint64_t pausedMs() const { return pausedMs_; }
    double factor() const { return factor_; }
    void setFactor(double factor) { factor_ = factor; }

private:
    Clock& clock_;
    double factor_;
    std::uint64_t pausedMs_ = 0;
};

constexpr std::uint32_t kStepPauseMs = 30;

}  // namespace keltora
