#pragma once
// The shortcuts of the user's Recent folder: every "*.lnk" file there is reported, since the
// shell keeps one per recently opened document. Removal deletes the shortcut file.
#include "scan/Category.h"

namespace keltora {

class RecentDocuments : public Category {
public:
    using Category::Category;
    void scan() override;    // PrivacyExecute
    void remove() override;  // removepcExecute
};

}  // namespace keltora
