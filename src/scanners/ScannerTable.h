#pragma once
// Which scanner serves which category: each scanner folder keeps the rows of its own scanners.
#include <memory>
#include <span>
#include <string_view>

#include "scan/Category.h"

namespace keltora {

using CategoryMaker = std::unique_ptr<Category> (*)(const CategoryInfo&, ScanContext&, IgnoreList*);

struct ScannerRow {
    std::string_view code;
    CategoryMaker maker;
};

template <typename T>
std::unique_ptr<Category> MakeScanner(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore) {
    return std::make_unique<T>(info, context, ignore);
}

std::span<const ScannerRow> RegistryScanners();
std::span<const ScannerRow> PrivacyScanners();
std::span<const ScannerRow> PlacesScanners();

}  // namespace keltora
