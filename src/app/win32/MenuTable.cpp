#include "app/win32/MenuTable.h"

namespace keltora::win32 {

MenuTable::~MenuTable() {
    for (auto& [name, menu] : menus_) DestroyMenu(menu);
}

HMENU MenuTable::add(std::string_view name, const std::vector<MenuEntry>& entries) {
    HMENU menu = CreatePopupMenu();
    for (const auto& entry : entries) {
        if (entry.caption.empty()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT id = next_++;
        handlers_[id] = entry.handler;
        AppendMenuA(menu, MF_STRING, id, entry.caption.c_str());
    }
    menus_[std::string(name)] = menu;
    return menu;
}

HMENU MenuTable::menu(std::string_view name) const {
    auto found = menus_.find(name);
    return found == menus_.end() ? nullptr : found->second;
}

std::string MenuTable::handlerFor(UINT id) const {
    auto found = handlers_.find(id);
    return found == handlers_.end() ? std::string() : found->second;
}

UINT MenuTable::idOf(std::string_view handler) const {
    for (const auto& [id, name] : handlers_)
        if (name == handler) return id;
    return 0;
}

}  // namespace keltora::win32
