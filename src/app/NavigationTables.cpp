#include "app/Navigation.h"

namespace keltora {

// clang-format off
const std::array<SideBarItem, 8> kSideBar{{
    {"Scan", " Registry ", "CB1Categories0Items0Click"},
    {"Scan", " Privacy Threats", "CB1Categories0Items1Click"},
    {"More Options", " Registry Optimizer", "CB1Categories1Items3Click"},
    {"More Options", " Backups", "CB1Categories1Items0Click"},
    // What every removal command journaled, to be undone.
    {"More Options", " Undo Repairs", "CB1Categories1Items5Click"},
    {"More Options", " About", "CB1Categories1Items1Click"},
    {"More Options", " Settings", "CB1Categories1Items2Click"},
    // The way in to what "Ignore Items" set aside, so it can be seen and released again.
    {"More Options", " Ignored Items", "CB1Categories1Items4Click"},
}};

const std::array<IgnoredTab, 13> kIgnoredTabs{{
    {"Startup Programs", "sp", "obremoveignoredsp"},
    {"Uninstall Entries", "ue", "obremoveignoredue"},
    {"Recent Documents", "pc", "obremoveignoredpc"},
    {"File Extensions", "fe", "obremoveignoredfe"},
    {"ActiveX and DLLs", "ax", "obremoveignoredax"},
    {"Deep Analysis", "da", ""},
    {"User Temporary Files", "utemp", "obremoveignoredutemp"},
    {"Windows Error Reports", "wer", "obremoveignoredwer"},
    {"Crash Dumps", "cdump", "obremoveignoredcdump"},
    {"Thumbnail Cache", "thumb", "obremoveignoredthumb"},
    {"Jump Lists", "jump", "obremoveignoredjump"},
    {"Internet Cache", "inet", "obremoveignoredinet"},
    {"Explorer History", "mru", "obremoveignoredmru"},
}};
// clang-format on

std::vector<std::string> IgnoredTabCaptions() {
    std::vector<std::string> captions;
    for (const auto& tab : kIgnoredTabs) captions.emplace_back(tab.caption);
    return captions;
}

std::string IgnoredTabHandler(const IgnoredTab& tab) { return "tsignored" + std::string(tab.code) + "Show"; }

std::vector<MenuEntry> ScanMenu(Menu menu) {
    std::vector<MenuEntry> entries;
    std::string_view group;
    for (const auto& info : kCategories) {
        if (info.menu != menu) continue;
        if (!entries.empty() && info.group != group) entries.push_back({"", ""});
        group = info.group;
        entries.push_back({std::string(info.menuItem), std::string(info.menuHandler)});
    }
    return entries;
}

std::string_view ScanMenuName(Menu menu) { return menu == Menu::Registry ? "pabregistry" : "pabprivacy"; }

const std::vector<MenuEntry>& TrayMenu() {
    static const std::vector<MenuEntry> entries{
        {"Show Window", "ShowWindow1Click"}, {"", ""}, {"Exit Keltora Pro", "Exit1Click"}};
    return entries;
}

ScreenPoint ScanMenuPosition(Menu menu, int windowLeft, int windowTop, bool maximized) {
    // The menus open beside their side-bar buttons; a maximized window has the bar further right.
    return {windowLeft + (maximized ? 875 : 655), windowTop + (menu == Menu::Registry ? 214 : 242)};
}

}  // namespace keltora
