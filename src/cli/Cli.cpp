#include "cli/Cli.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <ostream>

#include "app/Unit1.h"
#include "cli/Commands.h"
#include "cli/Help.h"
#include "platform/ReadOnlyPlatform.h"
#include "scan/OnExit.h"

namespace keltora {

void ConsoleHost::showMessage(const std::string& text) {
    if (progress_) progress_->clear();
    messages_.push_back(text);
    said_.push_back(text);
    err_ << text << '\n';
}

void ConsoleHost::note(const std::string& text) {
    if (progress_) progress_->clear();
    err_ << text << '\n';
}

void ConsoleHost::showNotice(const std::string& text) {
    if (progress_) progress_->clear();
    said_.push_back(text);
    err_ << text << '\n';
}

namespace {

struct Options {
    double pace = 0.0;
    bool reportPauses = false;
    bool json = false;
    bool dryRun = false;
    bool help = false;
    bool version = false;
    const CommandInfo* command = nullptr;
    Args args;
};

// Only a finite number of 0 or more: "nan" and "inf" read as numbers but pace nothing.
double parsePace(const std::string& text) {
    char* end = nullptr;
    const double pace = text.empty() ? -1.0 : std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(pace) || pace < 0)
        throw UsageError("--pace needs a finite number of 0 or more, not '" + text + "'");
    return pace;
}

const OptionInfo* findOption(const std::string& arg) {
    for (const auto& option : kOptions)
        if (option.name == arg) return &option;
    return nullptr;
}

// Takes one option of kOptions (with its value); false when the argument is none.
bool takeOption(Options& options, const Args& args, std::size_t& i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "/?") return options.help = true;
    const OptionInfo* option = findOption(arg);
    if (!option) return false;
    if (!option->value.empty() && i + 1 == args.size())
        throw UsageError(arg + " needs a value: " + arg + " " + std::string(option->value));
    if (arg == "--json") options.json = true;
    else if (arg == "--dry-run") options.dryRun = true;
    else if (arg == "--pace") options.pace = parsePace(args[++i]);
    else if (arg == "--pauses") options.reportPauses = true;
    else if (arg == "--help") options.help = true;
    else if (arg == "--version") options.version = true;
    return true;
}

// The options wherever they stand, before or after the command; the first other word is the
// command, the rest its arguments.
Options parseOptions(const Args& args) {
    Options options;
    std::optional<std::string> word;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (takeOption(options, args, i)) continue;
        if (!word) word = args[i];
        else options.args.push_back(args[i]);
    }
    if (word == "help") options.help = true;
    if (options.help || options.version) return options;
    if (!word) throw UsageError("no command");
    options.command = FindCommand(*word);
    if (!options.command)
        throw UsageError((word->starts_with("-") ? "unknown option '" : "unknown command '") + *word +
                         "' (keltora-cli --help lists the commands and options)");
    if (options.dryRun && !options.command->takesDryRun)
        throw UsageError(std::string(options.command->name) + " does not take --dry-run");
    return options;
}

// A command that told the user of a failure has failed, whatever it printed.
int statusAfter(int status, const ConsoleHost& host, int messagesBefore) {
    if ((status == kExitDone || status == kExitFindingsLeft) && host.messagesShown() != messagesBefore) return kExitError;
    return status;
}

constexpr std::uint32_t kLockWaitMs = 15 * 60 * 1000;

int runCommand(const Options& options, Platform& real, ConsoleHost& host, ConsoleOutput& output, std::ostream& err) {
    // A dry run runs on a platform that refuses every change, so that nothing changes even
    // where a removal forgot to ask whether it is one.
    std::optional<ReadOnlyPlatform> guarded;
    if (options.dryRun) guarded.emplace(real);
    Platform& platform = options.dryRun ? guarded->platform() : real;
    TForm1 form(platform, host, options.pace);
    form.context().dryRun = options.dryRun;
    form.FormCreate();
    // Progress only for a person at a console: never in redirected output or a JSON document.
    std::optional<ConsoleProgress> progress;
    if (host.errorIsConsole && !options.json) progress.emplace(err, host.progressClock);
    if (progress) progress->follow(form.statustext, form.PB);
    host.setProgress(progress ? &*progress : nullptr);
    const OnExit release([&host] { host.setProgress(nullptr); });
    ListingRecord listings(platform.registry);
    CommandContext context{form, host, output, platform, listings, options.dryRun};
    const int before = host.messagesShown();
    int status = kExitError;
    auto run = [&] { status = options.command->run(context, options.args); };
    // A command that changes things waits its turn behind another Keltora program's (the window
    // or a second console); a dry run changes nothing and does not wait.
    if (!options.command->changes || options.dryRun)
        run();
    else
        form.underCommandLock(run, kLockWaitMs, [&err] { err << "Another Keltora command is running; waiting for it to end.\n"; });
    status = statusAfter(status, host, before);
    if (progress) progress->clear();
    if (options.reportPauses) err << "paused " << form.pacer().pausedMs() << " ms\n";
    return status;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, Platform& platform, ConsoleHost& host, std::ostream& out,
           std::ostream& err) {
    // Known before the options are checked, so that a usage error is a JSON document too.
    const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
    ConsoleOutput output(out, platform.codePage, json);
    int status = kExitDone;
    std::string error;
    try {
        const Options options = parseOptions(args);
        if (options.help || options.version) {
            const std::string text = options.help ? HelpText() : VersionText();
            if (json) output.document()[options.help ? "help" : "version"] = text;
            else out << text;
        } else {
            status = runCommand(options, platform, host, output, err);
        }
    } catch (const UsageError& e) {
        status = e.status;
        error = e.what();
        // Without a command the whole usage; a specific error says all it needs on its line.
        if (args.empty()) err << HelpText();
        else err << "keltora-cli: " << error << '\n';
    } catch (const ConsoleError& e) {
        status = e.status;
        error = e.what();
        if (!e.shown) err << "keltora-cli: " << error << '\n';
    } catch (const std::exception& e) {
        status = kExitError;
        error = e.what();
        err << error << '\n';
    }
    if (json) output.writeDocument(status, error, host.said());
    out.flush();
    return status;
}

}  // namespace keltora
