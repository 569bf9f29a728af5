#pragma once
// What a console command prints on standard output: the text listings, or with --json one JSON
// document per command, its texts converted from the ANSI code page to UTF-8.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "app/Unit1.h"
#include "cli/Json.h"
#include "platform/CodePage.h"
#include "scan/ResultList.h"

namespace keltora {

class ConsoleOutput {
public:
    ConsoleOutput(std::ostream& out, CodePage& codePage, bool json) : out_(out), codePage_(codePage), json_(json) {}

    bool json() const { return json_; }
    std::ostream& text() { return out_; }
    // The document the command fills in JSON mode.
    JsonValue& document() { return document_; }

    std::string utf8(const std::string& ansi) const;
    // {"code", "list", "columns": [..], "findings": [{"checked", "caption", "subItems": [..]}]}
    JsonValue listDocument(std::string_view code, const ResultList& list) const;
    // The summary list as a list document with "countBoxes" and "totals": {"errors", "privacy"}.
    JsonValue summaryDocument(const TForm1& form) const;
    static JsonValue tallyDocument(const RemovalTally& tally);
    // The backup list's rows as [{"file", "date", "time"}].
    JsonValue backupRows(const ResultList& list) const;

    // Writes the JSON document on one line: "status" first, then what the command filled (or
    // "error" when it stopped), then "messages" when the user was told anything (always when it
    // stopped: the error's text is among them).
    void writeDocument(int status, const std::string& error, const std::vector<std::string>& messages);

private:
    std::ostream& out_;
    CodePage& codePage_;
    bool json_;
    JsonValue document_;
};

}  // namespace keltora
