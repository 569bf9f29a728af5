#include "cli/RemovalOutput.h"

#include <ostream>

#include "cli/ListPrinter.h"

namespace keltora {

namespace {

// The fourth column: where the item is (its registry key or folder); empty for the categories
// that act on a whole (the Recycle Bin, the clipboard).
const std::string& locationOf(const Finding& finding) { return finding.subItem(3); }

void printCounts(std::ostream& out, const std::string& what, std::size_t removed, std::size_t stay) {
    out << what << ": " << removed << " would be removed, " << stay << " would stay\n";
}

}  // namespace

void PrintPreview(std::ostream& out, const std::vector<CategoryFates>& categories) {
    std::size_t removedAll = 0, stayAll = 0;
    for (const auto& category : categories) {
        std::size_t removed = 0;
        for (const auto& fate : category.fates) {
            out << (fate.removed ? "would remove" : "would stay") << '\t' << category.code << '\t'
                << EscapeListText(fate.finding.caption) << '\t' << EscapeListText(locationOf(fate.finding));
            if (!fate.removed) out << '\t' << EscapeListText(fate.why);
            out << '\n';
            removed += fate.removed ? 1 : 0;
        }
        printCounts(out, category.code, removed, category.fates.size() - removed);
        removedAll += removed;
        stayAll += category.fates.size() - removed;
    }
    if (categories.size() > 1) printCounts(out, "all", removedAll, stayAll);
}

void AddPreview(JsonValue& listDocument, const ConsoleOutput& output, const std::vector<FindingFate>& fates) {
    JsonArray wouldRemove, wouldStay;
    for (const auto& fate : fates) {
        JsonValue row;
        row["caption"] = output.utf8(fate.finding.caption);
        row["location"] = output.utf8(locationOf(fate.finding));
        if (!fate.removed) row["why"] = output.utf8(fate.why);
        (fate.removed ? wouldRemove : wouldStay).push_back(std::move(row));
    }
    listDocument["wouldRemove"] = std::move(wouldRemove);
    listDocument["wouldStay"] = std::move(wouldStay);
}

std::string RemovalSummary(const RemovalTally& tally, bool dryRun, const std::vector<std::string>& journals) {
    const auto n = [](int count) { return std::to_string(count); };
    if (dryRun)
        return "dry run, nothing was changed: " + n(tally.removed) + " would be removed, " + n(tally.gone) +
               " are gone already, " + n(tally.noLongerFindings) + " are no longer findings, " + n(tally.left) +
               " would stay listed";
    std::string text = n(tally.removed) + " removed, " + n(tally.gone) + " were gone meanwhile, " +
                       n(tally.noLongerFindings) + " were no longer findings, " + n(tally.left) +
                       " could not be removed and stay listed";
    std::string names, commands;
    int count = 0;
    for (const auto& journal : journals) {
        if (journal.empty()) continue;
        const std::string name = journal.ends_with(".reg") ? journal.substr(0, journal.size() - 4) : journal;
        names += (count == 0 ? "" : " and ") + journal;
        commands += std::string(count == 0 ? "" : " and ") + "keltora-cli undo " + name;
        ++count;
    }
    if (count == 1) text += "; the undo journal " + names + " keeps what left the registry (" + commands + " restores it)";
    if (count > 1) text += "; the undo journals " + names + " keep what left the registry (" + commands + " restore it)";
    return text;
}

}  // namespace keltora
