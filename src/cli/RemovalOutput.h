#pragma once
// What the console says of a removal (remove, repair). A dry run lists every finding the
// categories held, marked "would remove" or "would stay" with why, then the counts; a real
// removal says on stderr what it did and which undo journal keeps what it took from the
// registry.
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/ConsoleOutput.h"
#include "orchestration/RemovalReport.h"

namespace keltora {

struct CategoryFates {
    std::string code;
    std::vector<FindingFate> fates;
};

// "would remove<TAB>CODE<TAB>caption<TAB>location" or "would stay<TAB>...<TAB>why" per finding,
// each text escaped as in the listing, then "CODE: N would be removed, M would stay" per
// category (and "all: ..." after several).
void PrintPreview(std::ostream& out, const std::vector<CategoryFates>& categories);

// Adds "wouldRemove": [{"caption", "location"}] and "wouldStay": [{"caption", "location", "why"}]
// to a category's list document.
void AddPreview(JsonValue& listDocument, const ConsoleOutput& output, const std::vector<FindingFate>& fates);

// The line on stderr: the outcomes, what a dry run would do, the undo journals written (the
// user's own and the administrator's; empty names are none).
std::string RemovalSummary(const RemovalTally& tally, bool dryRun, const std::vector<std::string>& journals);

}  // namespace keltora
