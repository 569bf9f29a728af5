// A category without a scanner of its own shows an empty page.
#include "scanners/ScannerTable.h"

namespace keltora {

std::unique_ptr<Category> MakeCategory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore) {
    for (auto rows : {RegistryScanners(), PrivacyScanners(), PlacesScanners()})
        for (const auto& row : rows)
            if (row.code == info.code) return row.maker(info, context, ignore);
    return MakeScanner<EmptyCategory>(info, context, ignore);
}

}  // namespace keltora
