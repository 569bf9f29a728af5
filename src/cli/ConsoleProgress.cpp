#include "cli/ConsoleProgress.h"

#include <chrono>
#include <ostream>

namespace keltora {

namespace {

// "  Status : Scanning Cookies" reads "Scanning Cookies".
std::string withoutStatusPrefix(const std::string& caption) {
    constexpr std::string_view kPrefix = "Status : ";
    const auto at = caption.find(kPrefix);
    return at == std::string::npos ? caption : caption.substr(at + kPrefix.size());
}

}  // namespace

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

ConsoleProgress::ConsoleProgress(std::ostream& err, Clock clock)
    : err_(err), clock_(clock ? std::move(clock) : Clock(SteadyMs)), start_(clock_()) {}

ConsoleProgress::~ConsoleProgress() {
    if (status_) status_->onChange = nullptr;
    if (bar_) bar_->onChange = nullptr;
    clear();
}

void ConsoleProgress::follow(Label& status, ProgressBar& bar) {
    status_ = &status;
    bar_ = &bar;
    status.onChange = [this](Control& control) {
        if (!control.caption().empty()) setWhat(withoutStatusPrefix(control.caption()));
    };
    bar.onChange = [this](Control&) {
        percent_ = bar_->maximum() > 0 ? bar_->position() * 100 / bar_->maximum() : 0;
        show(false);
    };
}

void ConsoleProgress::setWhat(const std::string& what) {
    what_ = what;
    show(true);
}

void ConsoleProgress::show(bool now) {
    const std::int64_t at = clock_();
    if (at - start_ < kShowAfterMs || (!now && at - drawnAt_ < kRedrawMs)) return;
    drawnAt_ = at;
    // The bar stands at 0 between steps ("Scanned ...", "Complete ..."): no percentage then.
    const std::string line = percent_ > 0 ? what_ + " " + std::to_string(percent_) + "%" : what_;
    // The rest of a longer line drawn before is blanked out.
    err_ << '\r' + line + std::string(width_ > line.size() ? width_ - line.size() : 0, ' ') << std::flush;
    width_ = std::max(width_, line.size());
}

void ConsoleProgress::clear() {
    if (width_ == 0) return;
    err_ << '\r' + std::string(width_, ' ') + '\r' << std::flush;
    width_ = 0;
}

}  // namespace keltora
