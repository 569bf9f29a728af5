#pragma once
// The tables the window's navigation is made of: the side bar, the two scan menus, the tray
// menu, the ignored-items tabs and the product's web addresses. The window builds its controls
// from them and every entry names the TForm1 handler it runs.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "scan/CategoryTable.h"

namespace keltora {

struct SideBarItem {
    std::string_view group;    // "Scan" or "More Options"
    std::string_view caption;  // with the leading blank the buttons show
    std::string_view handler;
};

// Top to bottom as the side bar shows them.
extern const std::array<SideBarItem, 8> kSideBar;

struct MenuEntry {
    std::string caption;  // empty for a separator
    std::string handler;
};

// The entries of the registry or the privacy menu, in category-table order; a separator stands
// before the first entry of each further group.
std::vector<MenuEntry> ScanMenu(Menu menu);
std::string_view ScanMenuName(Menu menu);  // "pabregistry", "pabprivacy"
const std::vector<MenuEntry>& TrayMenu();

struct IgnoredTab {
    std::string_view caption;
    std::string_view code;          // the category whose ignore list the tab shows
    std::string_view removeButton;  // empty: the tab has no "Remove Ignored Key"
};
extern const std::array<IgnoredTab, 13> kIgnoredTabs;
std::vector<std::string> IgnoredTabCaptions();
// The handler that brings a tab to the front: "tsignored" + code + "Show".
std::string IgnoredTabHandler(const IgnoredTab& tab);

// The product's web site; every link of the window goes through these.
struct Site {
    static constexpr std::string_view kHome = "http://www.keltora-pro.example/";
    static std::string home() { return std::string(kHome); }
    static std::string update() { return home() + "update.html"; }
    static std::string help() { return home() + "online_help.html"; }
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// Where a scan menu opens: beside the side bar, further right when the window is maximized.
ScreenPoint ScanMenuPosition(Menu menu, int windowLeft, int windowTop, bool maximized);

}  // namespace keltora
