#pragma once
// TForm1's Win32 view: the main window with one child window per control model. It routes what
// the user does to TForm1's handlers by name and follows the models as they change.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/Unit1.h"
#include "app/win32/ControlView.h"
#include "app/win32/MenuTable.h"
#include "app/win32/TrayIcon.h"
#include "app/win32/Win32Host.h"

namespace keltora::win32 {

class MainWindow {
public:
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
    // Destroys the window after the message loop has ended: the destroy step runs, the close
    // step does not.
    void destroy();

    // The child window of a control by its model's name ("OBsp3", "lvall", "CBontop" ...).
    HWND window(std::string_view name) const;
    const MenuTable& menus() const { return menus_; }
    bool trayShown() const { return tray_ && tray_->shown(); }
    // Opens a pop-up menu at a screen position; tests replace it to see where menus open.
    std::function<void(HMENU, POINT)> trackMenu;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void buildControls();  // MainLayout.cpp
    void buildMenus();
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
    HICON icon_ = nullptr;
    std::unique_ptr<TrayIcon> tray_;
    MenuTable menus_{40000};
    std::vector<std::unique_ptr<ControlView>> views_;
    std::map<int, ControlView*> byId_;
    std::map<std::string, HWND, std::less<>> byName_;
    std::vector<std::unique_ptr<Button>> sideBar_;
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
