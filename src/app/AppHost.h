#pragma once
// What the main window's logic asks of the real window beyond a scan's host: always on top, the
// tray icon, where the program lives, ending the program.
#include <string>
#include <string_view>

#include "scan/Host.h"

namespace keltora {

class AppHost : public Host {
public:
    virtual void setTopmost(bool topmost) = 0;
    virtual void setTrayIcon(bool shown) = 0;
    // The folder of the running executable, with its trailing '\'.
    virtual std::string executableFolder() = 0;
    // Ends the message loop; the window is then destroyed without its close step.
    virtual void quit() = 0;

    // Window-only services; a host without a window (the console) ignores them.
    // Opens a pop-up menu of the window by its name ("pabregistry", "pabprivacy").
    virtual void openMenu(std::string_view /*menu*/) {}
    // Minimizes the application; hideWindow also takes the main window away so that only the
    // tray icon is left.
    virtual void minimize(bool /*hideWindow*/) {}
    // Shows the main window again and restores the application.
    virtual void restore() {}
};

}  // namespace keltora
