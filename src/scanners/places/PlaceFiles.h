#pragma once
// The file categories of today's Windows (utemp, wer, cdump, thumb, jump, inet): one scanner
// over the rows of the table of places, told apart by its category code. Each lists the files
// its places' rules take and removes the checked ones through the one removal of places.
#include "scan/Category.h"

namespace keltora {

class PlaceFiles : public Category {
public:
    PlaceFiles(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore);
    void scan() override;    // utempExecute, werExecute, cdumpExecute ...
    void remove() override;  // removeutempExecute, removewerExecute, removecdumpExecute ...
    std::string notLookedAt() const override { return note->caption(); }
};

// The removal text of every finding of the places of today's Windows.
inline constexpr const char* kPrivacyThreatRemove = "Privacy Threat(Remove)";

}  // namespace keltora
