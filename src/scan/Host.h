#pragma once
// What the logic asks of whoever shows it: the window, the console or a test.
#include <string>

namespace keltora {

enum class Cursor { Default, Hourglass };

class Host {
public:
    virtual ~Host() = default;
    // Lets the window handle what is waiting: painting, timers, the tray, other commands.
    virtual void processMessages() = 0;
    // The logic is about to sleep without handling messages: what a view put off drawing is
    // drawn now.
    virtual void beforePause() {}
    virtual void setCursor(Cursor cursor) = 0;
    // An error or notice shown to the user.
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace keltora
