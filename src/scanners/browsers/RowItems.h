#pragma once
// The items that are rows of a profile's databases: their readers and their removal.
#include "scanners/browsers/BrowserItems.h"

namespace keltora {

// The row items of a profile's databases, found through profileFiles (below the profile's folder).
void ListRowItems(Platform& platform, FolderLookup& profileFiles, const Browser& browser, const KeepList& keep,
                  std::vector<BrowserItem>& items);

// Removes the chosen row items (indexes into chosen) of one profile, setting their outcomes.
void RemoveRowItems(ScanContext& context, const Browser& browser, const BrowserProfile& profile,
                    const std::vector<BrowserItem>& chosen, const KeepList& keep, std::vector<ItemOutcome>& outcomes);

}  // namespace keltora
