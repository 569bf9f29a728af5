#pragma once
// The status texts of "Remove Checked Items" on each page: before and after the removal.
#include <string_view>

namespace keltora {

struct RemoveTexts {
    std::string_view before;
    std::string_view after;
};

// For a page with its own buttons, by category code; for the shared page, by its page type.
// nullptr where the button does nothing (virtual components, fonts, help files).
const RemoveTexts* RemoveTextsForPage(std::string_view code);
const RemoveTexts* RemoveTextsForPageType(int pageType);

}  // namespace keltora
