#include "cli/ConsoleOutput.h"

#include <algorithm>
#include <ostream>

namespace keltora {

std::string ConsoleOutput::utf8(const std::string& ansi) const { return Utf16ToUtf8(codePage_.toWide(ansi)); }

JsonValue ConsoleOutput::listDocument(std::string_view code, const ResultList& list) const {
    JsonValue doc;
    doc["code"] = std::string(code);
    doc["list"] = list.name();
    JsonArray columns;
    for (const auto& column : list.columns()) columns.emplace_back(utf8(column.caption));
    doc["columns"] = std::move(columns);
    JsonArray findings;
    for (const auto& finding : list.findings()) {
        JsonValue row;
        row["checked"] = finding.checked;
        row["caption"] = utf8(finding.caption);
        JsonArray items;
        for (const auto& item : finding.subItems) items.emplace_back(utf8(item));
        row["subItems"] = std::move(items);
        // The item's own name where the ANSI caption could name another one.
        if (!finding.exactName.empty()) row["exactName"] = Utf16ToUtf8(finding.exactName);
        if (!finding.exactLocation.empty()) row["exactLocation"] = Utf16ToUtf8(finding.exactLocation);
        findings.push_back(std::move(row));
    }
    doc["findings"] = std::move(findings);
    return doc;
}

JsonValue ConsoleOutput::summaryDocument(const TForm1& form) const {
    JsonValue doc = listDocument("all", form.lvall);
    doc["countBoxes"] = JsonArray{utf8(form.Oberror.caption()), utf8(form.obpriv.caption())};
    const Totals totals = form.totals();
    JsonValue sums;
    sums["errors"] = totals.errors;
    sums["privacy"] = totals.privacy;
    doc["totals"] = std::move(sums);
    return doc;
}

JsonValue ConsoleOutput::tallyDocument(const RemovalTally& tally) {
    JsonValue doc;
    doc["removed"] = tally.removed;
    doc["gone"] = tally.gone;
    doc["noLongerFindings"] = tally.noLongerFindings;
    doc["left"] = tally.left;
    return doc;
}

JsonValue ConsoleOutput::backupRows(const ResultList& list) const {
    JsonArray rows;
    for (const auto& finding : list.findings()) {
        JsonValue row;
        row["file"] = utf8(finding.caption);
        row["date"] = utf8(finding.subItem(1));
        row["time"] = utf8(finding.subItem(2));
        rows.push_back(std::move(row));
    }
    return rows;
}

void ConsoleOutput::writeDocument(int status, const std::string& error, const std::vector<std::string>& messages) {
    JsonValue doc;
    doc["status"] = status;
    if (!error.empty() || !document_.isObject()) {
        doc["error"] = utf8(error);
    } else {
        for (auto& [key, value] : *document_.members()) doc[key] = std::move(value);
    }
    // A document that stopped always says why in its messages, as stderr did.
    std::vector<std::string> said = messages;
    if (!error.empty() && std::find(said.begin(), said.end(), error) == said.end()) said.push_back(error);
    if (!said.empty()) {
        JsonArray texts;
        for (const auto& message : said) texts.emplace_back(utf8(message));
        doc["messages"] = std::move(texts);
    }
    doc.write(out_);
    out_ << '\n';
}

}  // namespace keltora
