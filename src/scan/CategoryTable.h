#pragma once
// The scan categories: what each is called, which list and buttons it owns, where its count goes
// in the summary list and what the status line says while its page scans. The twenty classic
// categories come first, in summary rows 1 to 20; the places today's Windows keeps follow in a
// group of their own.
#include <array>
#include <optional>
#include <span>
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
// What Windows 10 and 11 and today's browsers keep of a user's traces.
inline constexpr std::string_view kGroupWindows = "Windows 10 and 11";

// In summary-row order; row 0 of the summary list is the registry backup.
extern const std::span<const CategoryInfo> kCategories;

// Whether a category's count goes into the privacy total as well as the error total.
bool CountsAsPrivacy(const CategoryInfo& info);

const CategoryInfo* FindCategory(std::string_view code);
const CategoryInfo* CategoryForPageType(int pageType);
// Index into kCategories, which is the summary row minus one.
std::size_t CategoryIndex(const CategoryInfo& info);

}  // namespace keltora
