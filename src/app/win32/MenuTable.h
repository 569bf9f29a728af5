#pragma once
// Pop-up menus made from the navigation tables: each entry gets a command id, and a command id
// leads back to the name of the handler it runs.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/Navigation.h"

namespace keltora::win32 {

class MenuTable {
public:
    explicit MenuTable(UINT firstId) : next_(firstId) {}
    ~MenuTable();
    MenuTable(const MenuTable&) = delete;
    MenuTable& operator=(const MenuTable&) = delete;

    // Builds a pop-up menu under a name ("pabregistry", "PopupMenu1").
    HMENU add(std::string_view name, const std::vector<MenuEntry>& entries);
    HMENU menu(std::string_view name) const;
    // The handler of a command id; empty when the id is none of these menus'.
    std::string handlerFor(UINT id) const;
    UINT idOf(std::string_view handler) const;

private:
    UINT next_;
    std::map<std::string, HMENU, std::less<>> menus_;
    std::map<UINT, std::string> handlers_;
};

}  // namespace keltora::win32
