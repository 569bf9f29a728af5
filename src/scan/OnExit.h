#pragma once
// A step run when a scope ends, on every path out of it (a return, an exception): what a command
// set up for its duration is taken down again.
#include <utility>

namespace keltora {

template <typename Step>
class OnExit {
public:
    explicit OnExit(Step step) : step_(std::move(step)) {}
    ~OnExit() { step_(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    Step step_;
};

}  // namespace keltora
