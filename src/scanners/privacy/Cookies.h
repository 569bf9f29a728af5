#pragma once
// The cookie files of the current user whose names hold the name of an advertising or tracking
// network (or one of a few common words). Removal deletes the checked cookie files.
#include <span>
#include <string_view>

#include "scan/Category.h"

namespace keltora {

// Tested in this order, each a case-sensitive substring of the file name.
std::span<const std::string_view> CookieKeywords();

// The first keyword the name holds; empty when it holds none.
std::string_view CookieKeywordIn(std::string_view name);

class Cookies : public Category {
public:
    using Category::Category;
    void scan() override;  // CookiesExecute
    void remove() override;  // removecoExecute
};

}  // namespace keltora
