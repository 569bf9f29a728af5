#pragma once
// Row numbers given to the console (remove --uncheck, ignore) refer to the listing the user
// read. Every category listing the console prints leaves a digest of its findings here, per
// user; a command given rows scans afresh and acts only when the fresh scan lists exactly the
// findings of that listing, so a finding that appeared or went meanwhile shifts no row onto
// another finding.
#include <string>
#include <string_view>

#include "platform/RegistryApi.h"
#include "scan/ResultList.h"

namespace keltora {

// The findings' texts in order, check boxes aside, as 16 hexadecimal digits.
std::string ListingDigest(const ResultList& list);

class ListingRecord {
public:
    explicit ListingRecord(RegistryApi& registry) : registry_(registry) {}
    // Records what was printed; a record that cannot be written only means that rows given
    // later are refused.
    void remember(std::string_view code, const ResultList& list);
    // The digest last recorded for the category; empty when there is none.
    std::string recorded(std::string_view code) const;

    static constexpr const char* kKey = "Software\\KeltoraPro\\Listings";

private:
    RegistryApi& registry_;
};

}  // namespace keltora
