#include "cli/Cli.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <functional>
#include <ostream>
#include <stdexcept>

#include "app/Unit1.h"
#include "cli/ListPrinter.h"
#include "maintenance/UndoJournal.h"
#include "maintenance/UndoRepairs.h"

namespace keltora {

void ConsoleHost::showMessage(const std::string& text) {
    ++shown_;
    err_ << text << '\n';
}

namespace {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A failure the user has already been shown as a message: exit 1 without a second text.
struct ShownFailure : std::runtime_error {
    ShownFailure() : std::runtime_error("") {}
};

// A command that ends with a status of its own (its output already written).
struct ExitStatus : std::runtime_error {
    explicit ExitStatus(int status) : std::runtime_error(""), code(status) {}
    int code;
};

// Exit statuses of the commands that remove.
constexpr int kFindingsLeft = 3;     // checked findings that were to go are still listed
constexpr int kNothingChanged = 4;  // no undo journal could be made at all, so nothing changed

void checkRemoval(TForm1& form, const RemovalTally& tally) {
    const auto& journal = form.undoJournal().outcome();
    if (journal.refused > 0 && journal.name.empty() && tally.removed == 0) throw ExitStatus(kNothingChanged);
    if (tally.left > 0) throw ExitStatus(kFindingsLeft);
}

constexpr const char* kUsageLine =
    "usage: keltora-cli [--pace F] [--pauses] scan CODE... | remove CODE [--uncheck ROWS] | ignore CODE ROW | categories | "
    "fullscan [--rows R,...] | repair [--rows R,...] [--backup] | backup | backups | restore NAME | delete NAME | "
    "optimize | undo [NAME]";

std::size_t parseIndex(const std::string& text) {
    std::size_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        throw UsageError("not a row number: '" + text + "'");
    return value;
}

std::vector<std::size_t> parseRows(const std::string& text) {
    std::vector<std::size_t> rows;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto comma = text.find(',', start);
        rows.push_back(parseIndex(text.substr(start, comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return rows;
}

Category& categoryOf(TForm1& form, const std::string& code) {
    if (!FindCategory(code)) throw UsageError("unknown category '" + code + "'");
    return form.category(code);
}

void checkRow(const Category& c, std::size_t row) {
    if (row >= c.list().size())
        throw UsageError("row " + std::to_string(row) + " is not in " + std::string(c.info().listName) + " (" +
                         std::to_string(c.list().size()) + " findings)");
}

using Args = std::vector<std::string>;
using Command = std::function<void(TForm1&, ConsoleHost&, const Args&, std::ostream&)>;

void scanCommand(TForm1& form, ConsoleHost&, const Args& args, std::ostream& out) {
    if (args.empty()) throw UsageError("scan needs at least one category");
    std::vector<Category*> chosen;
    for (const auto& code : args) chosen.push_back(&categoryOf(form, code));
    for (Category* c : chosen) {
        c->scan();
        c->scannedOnce = true;
        PrintList(out, c->info().code, c->list());
    }
}

void removeCommand(TForm1& form, ConsoleHost&, const Args& args, std::ostream& out) {
    if (args.size() != 1 && !(args.size() == 3 && args[1] == "--uncheck"))
        throw UsageError("usage: remove CODE [--uncheck ROWS]");
    Category& c = categoryOf(form, args[0]);
    const auto rows = args.size() == 3 ? parseRows(args[2]) : std::vector<std::size_t>{};
    c.scan();
    for (auto row : rows) checkRow(c, row);
    for (auto row : rows) c.list().setChecked(row, false);
    form.lastRemoval = {};
    if (c.hasRemoval()) {
        JournalCommand command(form.undoJournal(), "keltora-cli remove " + args[0]);
        c.remove();
    }
    PrintList(out, c.info().code, c.list());
    out.flush();
    checkRemoval(form, form.lastRemoval);
}

void ignoreCommand(TForm1& form, ConsoleHost&, const Args& args, std::ostream& out) {
    if (args.size() != 2) throw UsageError("usage: ignore CODE ROW");
    Category& c = categoryOf(form, args[0]);
    const auto row = parseIndex(args[1]);
    if (!c.ignoreList() || c.info().code == "da") throw UsageError("category '" + args[0] + "' keeps no ignore list");
    c.scan();
    checkRow(c, row);
    c.list().select(static_cast<int>(row));
    form.ignoreItems(c);
    PrintList(out, c.info().code, c.list());
}

void categoriesCommand(TForm1&, ConsoleHost&, const Args& args, std::ostream& out) {
    if (!args.empty()) throw UsageError("categories takes no arguments");
    for (const auto& info : kCategories)
        out << info.code << '\t' << info.listName << '\t' << info.summaryRow << '\t' << info.summaryCaption << '\t'
            << info.group << '\n';
}

// Checks exactly the summary rows given, or keeps the default checks; --backup checks row 0.
void chooseRows(TForm1& form, const Args& args, bool allowBackup) {
    bool backup = false;
    std::optional<std::vector<std::size_t>> rows;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--rows" && i + 1 < args.size() && !rows) {
            rows = parseRows(args[++i]);
            for (auto row : *rows)
                if (row < 1 || row > 20) throw UsageError("summary rows are 1 to 20, not " + std::to_string(row));
        } else if (args[i] == "--backup" && allowBackup && !backup) {
            backup = true;
        } else {
            throw UsageError("unexpected argument '" + args[i] + "'");
        }
    }
    if (rows)
        for (std::size_t row = 1; row < form.lvall.size(); ++row)
            form.lvall.setChecked(row, std::find(rows->begin(), rows->end(), row) != rows->end());
    if (backup) form.lvall.setChecked(0, true);
}

void printSummary(TForm1& form, std::ostream& out) {
    PrintList(out, "all", form.lvall);
    out << form.Oberror.caption() << '\n' << form.obpriv.caption() << '\n';
}

void fullscanCommand(TForm1& form, ConsoleHost&, const Args& args, std::ostream& out) {
    chooseRows(form, args, false);
    // A console listing never deletes on its own: the repair is the repair command's.
    form.fullScan(false);
    printSummary(form, out);
}

void repairCommand(TForm1& form, ConsoleHost& host, const Args& args, std::ostream& out) {
    chooseRows(form, args, true);
    form.fullScan(false);
    const int before = host.messagesShown();
    {
        JournalCommand command(form.undoJournal(), "keltora-cli repair");
        form.OBall4Click();
    }
    printSummary(form, out);
    out.flush();
    checkRemoval(form, form.commandRemoval);
    if (host.messagesShown() != before) throw ShownFailure();
}

void backupCommand(TForm1& form, ConsoleHost&, const Args& args, std::ostream& out) {
    if (!args.empty()) throw UsageError("backup takes no arguments");
    if (!form.backupregExecute()) throw ShownFailure();
    PrintList(out, "backup", form.LVbackup);
}

void backupsCommand(TForm1& form, ConsoleHost&, const Args& args, std::ostream& out) {
    if (!args.empty()) throw UsageError("backups takes no arguments");
    form.fillBackupList();
    PrintList(out, "backups", form.LVbackup);
}

// Lists the backups and selects the one named.
void selectBackup(TForm1& form, const Args& args, const char* command) {
    if (args.size() != 1) throw UsageError(std::string("usage: ") + command + " NAME");
    form.fillBackupList();
    const auto& rows = form.LVbackup.findings();
    for (std::size_t row = 0; row < rows.size(); ++row)
        if (rows[row].caption == args[0]) return form.LVbackup.select(static_cast<int>(row));
    throw UsageError("no backup named '" + args[0] + "' in the backup list");
}

void restoreCommand(TForm1& form, ConsoleHost& host, const Args& args, std::ostream& out) {
    selectBackup(form, args, "restore");
    const int before = host.messagesShown();
    form.OBrestorebackupClick();
    if (host.messagesShown() != before) throw ShownFailure();
    out << "restored " << args[0] << '\n';
}

void deleteCommand(TForm1& form, ConsoleHost&, const Args& args, std::ostream& out) {
    selectBackup(form, args, "delete");
    form.OBdeletebackupClick();
    PrintList(out, "backups", form.LVbackup);
}

void optimizeCommand(TForm1& form, ConsoleHost&, const Args& args, std::ostream& out) {
    if (!args.empty()) throw UsageError("optimize takes no arguments");
    form.OBoptimizeClick();
    out << form.Hivetext.caption() << '\n' << form.labelnode.caption() << '\n' << form.labelvalues.caption() << '\n';
}

// Without a name: the journals, newest first, one per line, the name first. With a name: that
// journal undone; 1 unless everything came back and read back as kept (what did not, on stderr).
void undoCommand(TForm1& form, ConsoleHost& host, const Args& args, std::ostream& out) {
    if (args.size() > 1) throw UsageError("usage: undo [NAME]");
    Platform& platform = form.context().platform;
    const std::string folder = form.paths.undo();
    const auto journals = ListJournals(platform.files, folder);
    if (args.empty()) {
        for (const auto& journal : journals) {
            out << journal.name;
            for (const auto& column : journal.columns()) out << '\t' << column;
            out << '\n';
        }
        return;
    }
    if (std::none_of(journals.begin(), journals.end(), [&](const JournalListing& j) { return j.name == args[0]; }))
        throw UsageError("no undo journal named '" + args[0] + "'");
    const UndoOutcome outcome = UndoJournalFile(platform, form.paths, args[0]);
    if (outcome.refused) {
        host.showMessage(*outcome.refused);
        throw ShownFailure();
    }
    const std::string summary = UndoSummary(args[0], outcome);
    out << summary.substr(0, summary.find('\n')) << '\n';
    if (summary.find('\n') != std::string::npos) host.showMessage(summary.substr(summary.find('\n') + 1));
    if (!outcome.complete()) throw ShownFailure();
}

const std::pair<const char*, Command> kCommands[] = {
    {"scan", scanCommand},         {"remove", removeCommand},   {"ignore", ignoreCommand},
    {"categories", categoriesCommand}, {"fullscan", fullscanCommand}, {"repair", repairCommand},
    {"backup", backupCommand},     {"backups", backupsCommand}, {"restore", restoreCommand},
    {"delete", deleteCommand},     {"optimize", optimizeCommand}, {"undo", undoCommand},
};

}  // namespace

int RunCli(const std::vector<std::string>& argsIn, Platform& platform, ConsoleHost& host, std::ostream& out,
           std::ostream& err) {
    Args args = argsIn;
    double pace = 0.0;
    try {
        if (args.size() >= 2 && args[0] == "--pace") {
            std::size_t used = 0;
            try {
                pace = std::stod(args[1], &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != args[1].size() || pace < 0) throw UsageError("--pace needs a number of 0 or more");
            args.erase(args.begin(), args.begin() + 2);
        }
        // --pauses reports on stderr how long the command paused, for the benchmarks.
        const bool reportPauses = !args.empty() && args[0] == "--pauses";
        if (reportPauses) args.erase(args.begin());
        if (args.empty()) throw UsageError("no command");
        const Command* command = nullptr;
        for (const auto& [name, fn] : kCommands)
            if (args[0] == name) command = &fn;
        if (!command) throw UsageError("unknown command '" + args[0] + "'");

        TForm1 form(platform, host, pace);
        form.FormCreate();
        (*command)(form, host, Args(args.begin() + 1, args.end()), out);
        out.flush();
        if (reportPauses) err << "paused " << form.pacer().pausedMs() << " ms\n";
        return 0;
    } catch (const ShownFailure&) {
        out.flush();
        return 1;
    } catch (const ExitStatus& status) {
        out.flush();
        return status.code;
    } catch (const UsageError& e) {
        err << "keltora-cli: " << e.what() << " (" << kUsageLine << ")\n";
        return 2;
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 1;
    }
}

}  // namespace keltora
