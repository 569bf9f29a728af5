#pragma once
// The console's commands, one table: each runs on a started TForm1 and prints through the
// console's output; it returns kExitDone or kExitFindingsLeft and raises ConsoleError for the
// other statuses.
#include <stdexcept>
#include <string>
#include <span>
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
    // For the help and the command's own usage error: what follows the name, and what it does.
    std::string_view arguments;
    std::string_view does;
};

// Every command, in the order the help lists them.
std::span<const CommandInfo> Commands();
const CommandInfo* FindCommand(std::string_view name);
// "usage: remove CODE [--uncheck ROWS] [--dry-run]": the usage error of one command.
UsageError CommandUsage(const CommandInfo& command);

// The options every command takes, before or after the command.
struct OptionInfo {
    std::string_view name;
    std::string_view value;  // the value that follows it; empty: none
    std::string_view does;
};
inline constexpr OptionInfo kOptions[] = {
    {"--json", "", "print one JSON document (UTF-8) instead of text"},
    {"--dry-run", "", "remove, repair: show what they would do, change\nnothing"},
    {"--pace", "F", "scale the window's pauses by F (0 or more;\n0, the default, pauses not at all)"},
    {"--pauses", "", "say on stderr how long the command paused"},
    {"--help", "", "this text (also -h, help and /?)"},
    {"--version", "", "the product and its version"},
};

}  // namespace keltora
