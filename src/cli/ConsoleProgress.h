#pragma once
// A long command's progress on a console: "Scanning Startup Programs 45%" on one line of
// standard error, rewritten as the command goes and cleared when it ends. It shows only once
// the command has run for a second (a quick command prints nothing) and only where standard
// error is a console: redirected output and --json stay free of it.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "scan/Controls.h"

namespace keltora {

class ConsoleProgress {
public:
    // Milliseconds, steadily rising.
    using Clock = std::function<std::int64_t()>;
    ConsoleProgress(std::ostream& err, Clock clock);
    ~ConsoleProgress();
    ConsoleProgress(const ConsoleProgress&) = delete;
    ConsoleProgress& operator=(const ConsoleProgress&) = delete;

    // Follows the window's status line (what is being done) and its progress bar.
    void follow(Label& status, ProgressBar& bar);
    // What is being done, where the status line says nothing (a scan of one category).
    void setWhat(const std::string& what);
    // Takes the line off the screen, so that a message starts on a line of its own.
    void clear();

    static constexpr std::int64_t kShowAfterMs = 1000;
    static constexpr std::int64_t kRedrawMs = 100;

private:
    void show(bool now);

    std::ostream& err_;
    Clock clock_;
    std::int64_t start_;
    std::int64_t drawnAt_ = 0;
    std::size_t width_ = 0;  // of the line on the screen; 0: none
    std::string what_;
    int percent_ = 0;
    Label* status_ = nullptr;
    ProgressBar* bar_ = nullptr;
};

// The steady clock of the standard library, in milliseconds.
std::int64_t SteadyMs();

}  // namespace keltora
