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
    // An error shown to the user: the command did not do what was asked.
    virtual void showMessage(const std::string& text) = 0;
    // What the user must know of a command that did what it could: why checked findings stayed
    // listed (a file left untouched for safety, the clipboard not emptied in part). The window
    // shows it as it shows a message; the console reports it without calling the command failed
    // (the findings left give its status).
    virtual void showNotice(const std::string& text) { showMessage(text); }
};

}  // namespace keltora
