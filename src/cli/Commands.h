#pragma once
// The console's commands, one table: each runs on a started TForm1 and prints through the
// console's output; it returns kExitDone or kExitFindingsLeft and raises ConsoleError for the
// other statuses.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/Unit1.h"
#include "cli/Cli.h"
#include "cli/ConsoleOutput.h"
#include "cli/ListingRecord.h"

namespace keltora {

struct ConsoleError : std::runtime_error {
    // alreadyShown: the text has been shown as a message (on stderr) already.
    ConsoleError(int exitStatus, const std::string& text, bool alreadyShown = false)
        : std::runtime_error(text), status(exitStatus), shown(alreadyShown) {}
    int status;
    bool shown;
};

struct UsageError : ConsoleError {
    explicit UsageError(const std::string& text) : ConsoleError(kExitUsage, text) {}
};

struct CommandContext {
    TForm1& form;
    ConsoleHost& host;
    ConsoleOutput& output;
    Platform& platform;  // the one the command runs on: read-only in a dry run
    ListingRecord& listings;
    bool dryRun;
};

using Args = std::vector<std::string>;

struct CommandInfo {
    std::string_view name;
    int (*run)(CommandContext&, const Args&);
    bool takesDryRun;
    // Changes something: runs whole under the command lock, after another Keltora program's
    // changing command has ended.
    bool changes;
};

const CommandInfo* FindCommand(std::string_view name);

inline constexpr const char* kUsageLine =
    "usage: keltora-cli [--json] [--pace F] [--pauses] scan CODE... | remove CODE [--uncheck ROWS] [--dry-run] | "
    "ignore CODE ROW | categories | fullscan [--rows R,...] | repair [--rows R,...] [--backup] [--dry-run] | "
    "backup | backups | restore NAME | delete NAME | optimize | undo [NAME]";

}  // namespace keltora
