#pragma once
// The twenty scan categories: what each is called, which list and buttons it owns, where its
// count goes in the summary list and what the status line says while its page scans.
#include <array>
#include <optional>
#include <string_view>

namespace keltora {

enum class Menu { Registry, Privacy };
enum class PageButtons { Own, Shared };

struct CategoryInfo {
    std::string_view code;
    std::string_view listName;
    std::string_view scanAction;
    std::string_view removeAction;  // empty: the category removes nothing
    Menu menu;
    std::string_view menuItem;
    std::string_view menuHandler;
    int summaryRow;
    std::string_view summaryCaption;
    std::string_view group;
    PageButtons page;
    int sharedPageType;  // 1 to 12 on the shared page, 0 for a page with its own buttons
    std::string_view ignoreList;  // empty: no ignore list
    std::string_view scanningText;
    std::string_view scannedText;
    // Select All / Unselect All, "Ignore Items", "Remove Checked Items", "Refresh" of an own page.
    std::array<std::string_view, 4> buttons;
};

inline constexpr std::string_view kGroupRegistry = "Registry";
inline constexpr std::string_view kGroupPrivacy = "Privacy Threats";

// In summary-row order; row 0 of the summary list is the registry backup.
extern const std::array<CategoryInfo, 20> kCategories;

const CategoryInfo* FindCategory(std::string_view code);
const CategoryInfo* CategoryForPageType(int pageType);
// Index into kCategories, which is the summary row minus one.
std::size_t CategoryIndex(const CategoryInfo& info);

}  // namespace keltora
