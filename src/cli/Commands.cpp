#include "cli/Commands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <ostream>

#include "cli/AdminRights.h"
#include "cli/ListPrinter.h"
#include "cli/RemovalOutput.h"
#include "maintenance/UndoJournal.h"
#include "maintenance/UndoRepairs.h"
#include "orchestration/UserData.h"

namespace keltora {

namespace {

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

// A category by its code, given in any case ("SP" is sp).
Category& categoryOf(TForm1& form, const std::string& given) {
    std::string code = given;
    std::transform(code.begin(), code.end(), code.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!FindCategory(code)) throw UsageError("unknown category '" + given + "' (keltora-cli --help lists them)");
    return form.category(code);
}

// "sp (Running While Startup, 3 findings)": the code and the page the user knows, never the
// window's internal name of its list.
std::string describe(const Category& c) {
    return c.code() + " (" + std::string(c.info().menuItem) + ", " + std::to_string(c.list().size()) +
           (c.list().size() == 1 ? " finding)" : " findings)");
}

// What the progress line (on a console) says is being done, where the status line says nothing.
void tellProgress(CommandContext& ctx, const std::string& doing, const Category& c) {
    if (ConsoleProgress* progress = ctx.host.progress()) progress->setWhat(doing + " " + std::string(c.info().menuItem));
}

void checkRow(const Category& c, std::size_t row) {
    if (row >= c.list().size()) throw UsageError("row " + std::to_string(row) + " is not in " + describe(c));
}

// Whether a file the console lists is the one the user named: the same name, with or without
// its ".reg", in any case (as Windows finds the file).
bool namesFile(std::string_view listed, std::string_view given) {
    const auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
               });
    };
    constexpr std::string_view kReg = ".reg";
    return same(listed, given) || (listed.size() == given.size() + kReg.size() &&
                                   same(listed.substr(0, given.size()), given) &&
                                   same(listed.substr(given.size()), kReg));
}

// Refuses, before anything is changed, what only an administrator may change; a dry run
// changes nothing and needs no rights.
void requireAdministrator(CommandContext& ctx, const std::string& command, const std::vector<std::string>& whats) {
    if (ctx.dryRun || ctx.platform.account.elevated()) return;
    const auto needs = AdministratorNeeds(whats);
    if (!needs.empty())
        throw ConsoleError(kExitNeedsAdministrator,
                           AdministratorRefusal(command, needs, FindCommand(command)->takesDryRun));
}

// A category that lists the user's own data beside the machine's is refused only when everything
// checked needs the token; otherwise its removal leaves that part in place and says so.
void requireAdministratorForFindings(CommandContext& ctx, const std::string& command, const Category& c) {
    if (ctx.dryRun || ctx.platform.account.elevated()) return;
    const auto needs = AdministratorNeeds({c.code()}, false);
    const auto& findings = c.list().findings();
    const std::string code = c.code();
    const bool anyChecked = std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.checked; });
    const bool allNeed = std::all_of(findings.begin(), findings.end(),
                                     [&](const Finding& f) { return !f.checked || NeedsAdministrator(code, f); });
    if (!needs.empty() && anyChecked && allNeed)
        throw ConsoleError(kExitNeedsAdministrator, AdministratorRefusal(command, needs, FindCommand(command)->takesDryRun));
}

// Rows given on the command line name findings of the listing the user read: the fresh scan
// must list exactly those findings.
void requireSameListing(CommandContext& ctx, const Category& c) {
    const std::string code = c.code();
    const std::string recorded = ctx.listings.recorded(code);
    if (recorded.empty())
        throw ConsoleError(kExitError, "no listing of " + code + " to take row numbers from; nothing was changed. "
                                       "List the findings first (scan " + code + ") and give rows of that listing.");
    if (recorded != ListingDigest(c.list()))
        throw ConsoleError(kExitError, "the findings of " + code + " have changed since they were listed; nothing "
                                       "was changed. List them again (scan " + code + ") and give rows of that listing.");
}

// Prints a category's list (text), or gives its document (JSON); either way the listing is
// the one later row numbers refer to.
JsonValue showList(CommandContext& ctx, const Category& c) {
    if (!ctx.dryRun) ctx.listings.remember(c.code(), c.list());
    // What the scan could not look at goes beside the list, on stderr and in the document.
    const std::string skipped = c.notLookedAt();
    if (!skipped.empty()) ctx.host.note(c.code() + ": " + skipped);
    if (!ctx.output.json()) PrintList(ctx.output.text(), c.code(), c.list());
    if (!ctx.output.json()) return JsonValue();
    JsonValue doc = ctx.output.listDocument(c.code(), c.list());
    if (!skipped.empty()) doc["notLookedAt"] = ctx.output.utf8(skipped);
    return doc;
}

int scanCommand(CommandContext& ctx, const Args& args) {
    if (args.empty()) throw UsageError("scan needs at least one category");
    std::vector<Category*> chosen;
    for (const auto& code : args) chosen.push_back(&categoryOf(ctx.form, code));
    JsonArray lists;
    for (Category* c : chosen) {
        tellProgress(ctx, "Scanning", *c);
        c->scan();
        c->scannedOnce = true;
        lists.push_back(showList(ctx, *c));
    }
    // One category: its list document; several: {"lists": [...]}.
    if (lists.size() == 1) ctx.output.document() = std::move(lists.front());
    else ctx.output.document()["lists"] = std::move(lists);
    return kExitDone;
}

// What each category's removal did with every finding it held, as the command goes.
std::vector<CategoryFates>& collectFates(CommandContext& ctx, std::vector<CategoryFates>& fates) {
    ctx.form.onRemoval = [&fates](const Category& c, const std::vector<FindingFate>& each) {
        fates.push_back({c.code(), each});
    };
    return fates;
}

// What the removal did, for the reader of the text (the JSON document holds it): on stderr, with
// the undo journal written; and the status.
int finishRemoval(CommandContext& ctx, const RemovalTally& tally) {
    ctx.output.document()["removal"] = ConsoleOutput::tallyDocument(tally);
    ctx.output.document()["dryRun"] = ctx.dryRun;
    const auto& journal = ctx.form.undoJournal().outcome();
    if (!journal.name.empty()) ctx.output.document()["undoJournal"] = ctx.output.utf8(journal.name);
    if (!journal.userName.empty()) ctx.output.document()["userUndoJournal"] = ctx.output.utf8(journal.userName);
    if (!ctx.output.json()) ctx.host.note(RemovalSummary(tally, ctx.dryRun, {journal.userName, journal.name}));
    // The journals refused every change and none was made: nothing changed for want of them.
    if (journal.refused > 0 && journal.name.empty() && journal.userName.empty() && tally.removed == 0)
        throw ConsoleError(kExitNoBackup, "no undo journal could be made, so nothing was changed", true);
    return tally.left > 0 ? kExitFindingsLeft : kExitDone;
}

int removeCommand(CommandContext& ctx, const Args& args) {
    if (args.size() != 1 && !(args.size() == 3 && args[1] == "--uncheck"))
        throw CommandUsage(*FindCommand("remove"));
    Category& c = categoryOf(ctx.form, args[0]);
    const auto rows = args.size() == 3 ? parseRows(args[2]) : std::vector<std::size_t>{};
    requireAdministrator(ctx, "remove", {c.code()});
    tellProgress(ctx, "Scanning", c);
    c.scan();
    if (!rows.empty()) requireSameListing(ctx, c);
    for (auto row : rows) checkRow(c, row);
    for (auto row : rows) c.list().setChecked(row, false);
    requireAdministratorForFindings(ctx, "remove", c);
    RemovalTally tally;
    std::vector<CategoryFates> fates;
    if (c.hasRemoval()) {
        JournalCommand command(ctx.form.undoJournal(), "keltora-cli remove " + c.code());
        collectFates(ctx, fates);
        tellProgress(ctx, "Removing", c);
        tally = ctx.form.removeCategory(c);
    }
    if (fates.empty()) fates.push_back({c.code(), FatesOf(c.list().findings(), {}, {}, 0)});
    // A dry run shows what it would do; a removal, the listing the next rows refer to.
    if (ctx.dryRun && !ctx.output.json()) PrintPreview(ctx.output.text(), fates);
    else ctx.output.document() = showList(ctx, c);
    if (ctx.dryRun && ctx.output.json()) AddPreview(ctx.output.document(), ctx.output, fates.front().fates);
    return finishRemoval(ctx, tally);
}

int ignoreCommand(CommandContext& ctx, const Args& args) {
    if (args.size() != 2) throw CommandUsage(*FindCommand("ignore"));
    Category& c = categoryOf(ctx.form, args[0]);
    const auto row = parseIndex(args[1]);
    if (!c.ignoreList() || c.info().code == "da") throw UsageError("category '" + args[0] + "' keeps no ignore list");
    requireAdministrator(ctx, "ignore", {"ignore"});
    c.scan();
    requireSameListing(ctx, c);
    checkRow(c, row);
    c.list().select(static_cast<int>(row));
    ctx.form.ignoreItems(c);
    ctx.output.document() = showList(ctx, c);
    return kExitDone;
}

int categoriesCommand(CommandContext& ctx, const Args& args) {
    if (!args.empty()) throw UsageError("categories takes no arguments");
    JsonArray rows;
    for (const auto& info : kCategories) {
        if (!ctx.output.json()) {
            ctx.output.text() << info.code << '\t' << info.listName << '\t' << info.summaryRow << '\t'
                              << info.summaryCaption << '\t' << info.group << '\n';
            continue;
        }
        JsonValue row;
        row["code"] = std::string(info.code);
        row["list"] = std::string(info.listName);
        row["summaryRow"] = info.summaryRow;
        row["summaryCaption"] = std::string(info.summaryCaption);
        row["group"] = std::string(info.group);
        rows.push_back(std::move(row));
    }
    ctx.output.document()["categories"] = std::move(rows);
    return kExitDone;
}

// Checks exactly the summary rows given, or keeps the default checks; --backup checks row 0.
void chooseRows(TForm1& form, const Args& args, bool allowBackup) {
    bool backup = false;
    std::optional<std::vector<std::size_t>> rows;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--rows" && i + 1 < args.size() && !rows) {
            rows = parseRows(args[++i]);
            for (auto row : *rows)
                if (row < 1 || row > kCategories.size())
                    throw UsageError("summary rows are 1 to " + std::to_string(kCategories.size()) + ", not " +
                                     std::to_string(row));
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

// The summary (text: the summary list and both count boxes), and in JSON every category list
// the scan filled, with what a dry run would do with each finding.
void showSummary(CommandContext& ctx, const std::vector<CategoryFates>& fates = {}) {
    TForm1& form = ctx.form;
    if (!ctx.output.json()) {
        PrintList(ctx.output.text(), "all", form.lvall);
        ctx.output.text() << form.Oberror.caption() << '\n' << form.obpriv.caption() << '\n';
        return;
    }
    JsonArray lists;
    for (const auto& c : form.categories()) {
        if (!form.lvall.at(static_cast<std::size_t>(c->info().summaryRow)).checked) continue;
        lists.push_back(showList(ctx, *c));
        for (const auto& category : fates)
            if (category.code == c->code()) AddPreview(lists.back(), ctx.output, category.fates);
    }
    ctx.output.document() = ctx.output.summaryDocument(form);
    ctx.output.document()["lists"] = std::move(lists);
}

int fullscanCommand(CommandContext& ctx, const Args& args) {
    chooseRows(ctx.form, args, false);
    // A console listing never deletes on its own: the repair is the repair command's.
    ctx.form.fullScan(false);
    showSummary(ctx);
    return kExitDone;
}

// The backup (row 0) and every checked category with a removal.
std::vector<std::string> repairChanges(TForm1& form) {
    std::vector<std::string> whats;
    if (form.lvall.at(0).checked) whats.emplace_back("backup");
    for (const auto& c : form.categories())
        if (c->hasRemoval() && form.lvall.at(static_cast<std::size_t>(c->info().summaryRow)).checked)
            whats.push_back(c->code());
    return whats;
}

int repairCommand(CommandContext& ctx, const Args& args) {
    chooseRows(ctx.form, args, true);
    requireAdministrator(ctx, "repair", repairChanges(ctx.form));
    ctx.form.fullScan(false);
    RepairResult result;
    std::vector<CategoryFates> fates;
    {
        JournalCommand command(ctx.form.undoJournal(), "keltora-cli repair");
        collectFates(ctx, fates);
        result = ctx.form.repairPass();
    }
    // A dry run shows what it would do with each finding; a repair, the summary it leaves.
    if (ctx.dryRun && !ctx.output.json()) PrintPreview(ctx.output.text(), fates);
    else showSummary(ctx, ctx.dryRun ? fates : std::vector<CategoryFates>{});
    if (result.backupFailed)
        throw ConsoleError(kExitNoBackup, ctx.host.messages().empty() ? "" : ctx.host.messages().back(), true);
    return finishRemoval(ctx, result.tally);
}

int backupCommand(CommandContext& ctx, const Args& args) {
    if (!args.empty()) throw UsageError("backup takes no arguments");
    requireAdministrator(ctx, "backup", {"backup"});
    if (!ctx.form.backupregExecute())
        throw ConsoleError(kExitNoBackup, ctx.host.messages().empty() ? "" : ctx.host.messages().back(), true);
    if (!ctx.output.json()) PrintList(ctx.output.text(), "backup", ctx.form.LVbackup);
    else ctx.output.document()["created"] = ctx.output.backupRows(ctx.form.LVbackup);
    return kExitDone;
}

void showBackups(CommandContext& ctx) {
    if (!ctx.output.json()) return PrintList(ctx.output.text(), "backups", ctx.form.LVbackup);
    ctx.output.document()["folder"] = ctx.output.utf8(ctx.form.paths.backups());
    ctx.output.document()["backups"] = ctx.output.backupRows(ctx.form.LVbackup);
}

int backupsCommand(CommandContext& ctx, const Args& args) {
    if (!args.empty()) throw UsageError("backups takes no arguments");
    ctx.form.fillBackupList();
    showBackups(ctx);
    return kExitDone;
}

// Lists the backups and selects the one named.
void selectBackup(CommandContext& ctx, const Args& args, const std::string& command) {
    if (args.size() != 1) throw CommandUsage(*FindCommand(command));
    requireAdministrator(ctx, command, {command});
    TForm1& form = ctx.form;
    form.fillBackupList();
    const auto& rows = form.LVbackup.findings();
    for (std::size_t row = 0; row < rows.size(); ++row)
        if (namesFile(rows[row].caption, args[0])) return form.LVbackup.select(static_cast<int>(row));
    throw ConsoleError(kExitError, "no backup named '" + args[0] + "' in " + form.paths.backups() +
                                       " (keltora-cli backups lists them); nothing was changed");
}

// The name the user gave, as the backup list holds it.
std::string selectedBackup(const TForm1& form) {
    return form.LVbackup.at(static_cast<std::size_t>(form.LVbackup.selected())).caption;
}

// The command failed when it told the user anything: the window would have shown it in a box.
void failOnMessage(CommandContext& ctx, int before) {
    if (ctx.host.messagesShown() != before) throw ConsoleError(kExitError, ctx.host.messages().back(), true);
}

int restoreCommand(CommandContext& ctx, const Args& args) {
    selectBackup(ctx, args, "restore");
    const std::string name = selectedBackup(ctx.form);
    const int before = ctx.host.messagesShown();
    ctx.form.OBrestorebackupClick();
    failOnMessage(ctx, before);
    if (!ctx.output.json()) ctx.output.text() << "restored " << name << '\n';
    ctx.output.document()["restored"] = ctx.output.utf8(name);
    return kExitDone;
}

int deleteCommand(CommandContext& ctx, const Args& args) {
    selectBackup(ctx, args, "delete");
    const std::string name = selectedBackup(ctx.form);
    const int before = ctx.host.messagesShown();
    ctx.form.OBdeletebackupClick();
    failOnMessage(ctx, before);
    ctx.output.document()["deleted"] = ctx.output.utf8(name);
    showBackups(ctx);
    return kExitDone;
}

int optimizeCommand(CommandContext& ctx, const Args& args) {
    if (!args.empty()) throw UsageError("optimize takes no arguments");
    TForm1& form = ctx.form;
    form.OBoptimizeClick();
    if (!ctx.output.json()) {
        ctx.output.text() << form.Hivetext.caption() << '\n' << form.labelnode.caption() << '\n'
                          << form.labelvalues.caption() << '\n';
        return kExitDone;
    }
    JsonValue& doc = ctx.output.document()["optimizer"];
    doc["Hivetext"] = ctx.output.utf8(form.Hivetext.caption());
    doc["labelnode"] = ctx.output.utf8(form.labelnode.caption());
    doc["labelvalues"] = ctx.output.utf8(form.labelvalues.caption());
    return kExitDone;
}

JsonValue journalDocument(CommandContext& ctx, const JournalListing& journal) {
    static constexpr const char* kFields[] = {"date", "time", "command", "changes", "state"};
    JsonValue doc;
    doc["name"] = ctx.output.utf8(journal.name);
    doc["owner"] = journal.owner == JournalOwner::User ? "user" : "administrator";
    const auto columns = journal.columns();
    for (std::size_t i = 0; i < columns.size() && i < std::size(kFields); ++i)
        doc[kFields[i]] = ctx.output.utf8(columns[i]);
    return doc;
}

// Without a name: the journals of both folders, newest first, one per line, the name first. With
// a name: that journal undone (the administrator's needs the token, the user's own does not); 1
// unless everything came back and read back as kept (what did not, on stderr and in the
// document's messages, which then still tells what was undone).
int undoCommand(CommandContext& ctx, const Args& args) {
    if (args.size() > 1) throw CommandUsage(*FindCommand("undo"));
    const Paths& paths = ctx.form.paths;
    const auto journals = ListJournals(ctx.platform.files, paths);
    if (args.empty()) {
        JsonArray listed;
        for (const auto& journal : journals) {
            if (ctx.output.json()) listed.push_back(journalDocument(ctx, journal));
            else ctx.output.text() << journal.name;
            if (!ctx.output.json())
                for (const auto& column : journal.columns()) ctx.output.text() << '\t' << column;
            if (!ctx.output.json()) ctx.output.text() << '\n';
        }
        ctx.output.document()["folder"] = ctx.output.utf8(JournalFolder(paths, JournalOwner::Administrator));
        ctx.output.document()["userFolder"] = ctx.output.utf8(JournalFolder(paths, JournalOwner::User));
        ctx.output.document()["journals"] = std::move(listed);
        return kExitDone;
    }
    const auto named = std::find_if(journals.begin(), journals.end(),
                                    [&](const JournalListing& j) { return namesFile(j.name, args[0]); });
    if (named == journals.end()) {
        std::string folders;
        for (const JournalOwner owner : {JournalOwner::Administrator, JournalOwner::User})
            if (const std::string folder = JournalFolder(paths, owner); !folder.empty())
                folders += (folders.empty() ? "" : " or ") + folder;
        throw ConsoleError(kExitError, "no undo journal named '" + args[0] + "' in " + folders +
                                           " (keltora-cli undo lists them); nothing was changed");
    }
    const std::string name = named->name;
    if (named->owner == JournalOwner::Administrator) requireAdministrator(ctx, "undo", {"undo"});
    const UndoOutcome outcome = UndoJournalFile(ctx.platform, paths, name);
    if (outcome.refused) throw ConsoleError(kExitError, *outcome.refused);
    const std::string summary = UndoSummary(name, outcome);
    const auto cut = summary.find('\n');
    if (!ctx.output.json()) ctx.output.text() << summary.substr(0, cut) << '\n';
    ctx.output.document()["undone"] = ctx.output.utf8(name);
    ctx.output.document()["complete"] = outcome.complete();
    ctx.output.document()["summary"] = ctx.output.utf8(summary.substr(0, cut));
    // What was left or failed: each reason a message, so the document and stderr both hold them.
    // What came back whole may come with a note (changes never made, passed over): said, not an error.
    if (cut != std::string::npos && outcome.complete()) ctx.host.showNotice(summary.substr(cut + 1));
    else if (cut != std::string::npos) ctx.host.showMessage(summary.substr(cut + 1));
    else if (!outcome.complete()) ctx.host.showMessage(summary);
    return outcome.complete() ? kExitDone : kExitError;
}

// clang-format off
const CommandInfo kCommands[] = {
    {"scan", scanCommand, false, false, "CODE...", "list the findings of the categories given"},
    {"remove", removeCommand, true, true, "CODE [--uncheck ROWS] [--dry-run]",
     "remove the checked findings of a category;\nthe ROWS of its last listing stay"},
    {"ignore", ignoreCommand, false, true, "CODE ROW", "set a finding of the last listing aside for good"},
    {"categories", categoriesCommand, false, false, "", "each category: code, list, summary row, caption,\ngroup"},
    {"fullscan", fullscanCommand, false, false, "[--rows R,...]",
     "scan the checked categories (or rows R) and\ntotal them; removes nothing"},
    {"repair", repairCommand, true, true, "[--rows R,...] [--backup] [--dry-run]",
     "scan, then remove what stays checked;\n--backup exports the registry first"},
    {"backup", backupCommand, false, true, "", "export the whole registry to the Backups folder"},
    {"backups", backupsCommand, false, false, "", "list the registry backups"},
    {"restore", restoreCommand, false, true, "NAME", "import the registry backup NAME (.reg optional)"},
    {"delete", deleteCommand, false, true, "NAME", "delete the registry backup NAME"},
    {"optimize", optimizeCommand, false, false, "", "run the registry optimizer (it changes nothing)"},
    {"undo", undoCommand, false, true, "[NAME]", "list the undo journals, or undo the journal NAME"},
};
// clang-format on

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

const CommandInfo* FindCommand(std::string_view name) {
    for (const auto& command : kCommands)
        if (command.name == name) return &command;
    return nullptr;
}

UsageError CommandUsage(const CommandInfo& command) {
    return UsageError("usage: " + std::string(command.name) + " " + std::string(command.arguments));
}

}  // namespace keltora
