#pragma once
// TForm1's Win32 view: the main window with one child window per control model. It routes what
// the user does to TForm1's handlers by name and follows the models as they change.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Unit1.h"
#include "app/win32/ControlView.h"
#include "app/win32/Look.h"
#include "app/win32/MenuTable.h"
#include "app/win32/TrayIcon.h"
#include "app/win32/Win32Host.h"

namespace keltora::win32 {

class MainWindow {
public:
    // The client area at 96 DPI; at other DPIs it is scaled like everything in it.
    static constexpr int kClientWidth = 803;
    static constexpr int kClientHeight = 576;
    static constexpr UINT kTimer1 = 1;
    static constexpr UINT kTimer3 = 3;

    // Creates the window hidden, with all its controls bound to the form's models.
    MainWindow(TForm1& form, Win32Host& host);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // Shows the window once the form is made; the topmost layer asked for meanwhile holds.
    void show();
    // Runs a handler of the form; an error it raises is shown to the user and ends only it.
    void run(std::string_view handler);

    void setTopmost(bool topmost);
    void setTrayIcon(bool shown);
    void openMenu(std::string_view name);
    void minimize(bool hideWindow);
    void restore();
    // Draws what the controls put off drawing (before the logic sleeps).
    void showPending();
    // The keyboard of a window that is not a dialog: Tab and Shift+Tab through the controls of
    // the page, Enter presses the focused button, F5 is the page's Refresh. True when the
    // message was handled (the caller then neither translates nor dispatches it).
    bool preTranslate(MSG& msg);
    // Keeps the focus on a control the user can see and use: a control that was hidden or
    // disabled under it hands it on.
    void keepFocus();
    // The same, once a command has started: what it disabled or hid may have had the focus.
    void keepFocusIfDue();
    const Look& look() const { return look_; }
    // Destroys the window after the message loop has ended: the destroy step runs, the close
    // step does not.
    void destroy();

    // The child window of a control by its model's name ("OBsp3", "lvall", "CBontop" ...), and
    // the name of a child window (empty for none of the window's controls).
    HWND window(std::string_view name) const;
    std::string nameOf(HWND window) const;
    const MenuTable& menus() const { return menus_; }
    bool trayShown() const { return tray_ && tray_->shown(); }
    // Opens a pop-up menu at a screen position; tests replace it to see where menus open.
    std::function<void(HMENU, POINT)> trackMenu;
    // How the window is to look on its monitor now; tests replace it to ask for high contrast.
    std::function<Look(HWND)> lookOf = &Look::Of;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void buildControls();  // MainLayout.cpp
    void orderTabStops();  // MainLayout.cpp
    void buildMenus();
    void makeFonts();
    void deleteFonts();
    // Makes every control anew for another look (a DPI or the colours changed); while a command
    // runs, once it has ended.
    void rebuild(const Look& look);
    void rebuildWhenIdle(const Look& look);
    void placeFrame(const RECT* suggested);
    void enableMenu(HMENU menu);
    bool focusable(HWND window) const;
    void bindTimer(Timer& timer, UINT id);
    void closeStep();
    void destroyStep();
    int nextId() { return nextId_++; }
    template <typename View>
    View& keep(std::unique_ptr<View> view, std::string name);

    TForm1& form_;
    Win32Host& host_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    HFONT largeFont_ = nullptr;
    HFONT countFont_ = nullptr;
    Look look_;
    std::optional<Look> pendingLook_;  // a look to take once no command runs
    int running_ = 0;                  // commands of the window on the stack
    HWND lastFocus_ = nullptr;
    bool focusCheckDue_ = false;
    HICON icon_ = nullptr;
    std::unique_ptr<TrayIcon> tray_;
    MenuTable menus_{40000};
    std::vector<std::unique_ptr<ControlView>> views_;
    std::map<int, ControlView*> byId_;
    std::map<std::string, HWND, std::less<>> byName_;
    int nextId_ = 1000;
    bool closePending_ = false;
    bool destroyed_ = false;
    bool quiet_ = false;
    bool topmost_ = false;  // destroyed by its owner: neither the destroy step nor a quit
};

template <typename View>
View& MainWindow::keep(std::unique_ptr<View> view, std::string name) {
    View& kept = *view;
    byId_[view->id()] = view.get();
    byName_[std::move(name)] = view->hwnd();
    views_.push_back(std::move(view));
    return kept;
}

}  // namespace keltora::win32
