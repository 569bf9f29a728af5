// The summary page of TForm1: the full scan, the repair pass and their totals, and the commands
// of the backup and optimizer pages that the repair pass and the side bar lead to.
#include <algorithm>
#include <stdexcept>
#include <tuple>

#include "app/Unit1.h"
#include "maintenance/RegistryBackups.h"
#include "maintenance/RegistryOptimizer.h"
#include "maintenance/UndoJournal.h"
#include "orchestration/RemovalReport.h"
#include "orchestration/ScanOrder.h"
#include "orchestration/UserData.h"
#include "scan/OnExit.h"

namespace keltora {

namespace {

int countOf(const ResultList& lvall, int row) {
    try {
        return std::stoi(lvall.at(static_cast<std::size_t>(row)).subItem(1));
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

void TForm1::setUpSummaryPage() {
    backups_ = std::make_unique<RegistryBackups>(context_, LVbackup);
    optimizer_ = std::make_unique<RegistryOptimizer>(
        platform_.registry, host_, OptimizerView{PBHive, PBNodes, Hivetext, labelnode, labelvalues, labeldeep});
    constexpr auto kLists = CommandGroup::Lists, kBackups = CommandGroup::Backups;
    const std::tuple<const char*, CommandGroup, void (TForm1::*)()> commands[] = {
        {"OBall1Click", kLists, &TForm1::OBall1Click},
        {"OBall2Click", kLists, &TForm1::OBall2Click},
        // The repair pass may make a backup before it removes.
        {"OBall4Click", kBackups, &TForm1::OBall4Click},
        {"OBscanpcClick", CommandGroup::Free, &TForm1::OBscanpcClick},
        {"backupregExecute", kBackups, &TForm1::OBbackupClick},
        {"OBbackupClick", kBackups, &TForm1::OBbackupClick},
        {"OBrestorebackupClick", kBackups, &TForm1::OBrestorebackupClick},
        {"OBdeletebackupClick", kBackups, &TForm1::OBdeletebackupClick},
        {"optimizeExecute", kLists, &TForm1::optimizeExecute},
        {"OBoptimizeClick", kLists, &TForm1::OBoptimizeClick},
    };
    for (const auto& [name, group, handler] : commands) addCommand(name, group, handler);
}

Totals TForm1::totals() const {
    Totals result;
    for (const auto& info : kCategories) {
        const int count = countOf(lvall, info.summaryRow);
        result.errors += count;
        if (CountsAsPrivacy(info)) result.privacy += count;
    }
    return result;
}

void TForm1::showTotals(bool fullScanTexts) {
    const Totals sums = totals();
    if (sums.privacy > 0) {
        obpriv.setCaption(std::to_string(sums.privacy) + " Privacy Threats found");
        obpriv.setColour(Colour::Red);
        Timer3.start();
    } else {
        obpriv.setCaption("No Privacy Threats found");
        obpriv.setColour(Colour::Black);
        Timer3.stop();
    }
    obpriv.show();
    if (sums.errors > 0) {
        Oberror.setCaption(std::to_string(sums.errors) + (fullScanTexts ? " Errors found" : " Errors Found"));
        Oberror.setColour(Colour::Red);
        Timer1.start();
    } else {
        Oberror.setCaption(fullScanTexts ? "No Errors found" : "No Errors Found");
        Oberror.setColour(Colour::Black);
        Timer1.stop();
    }
    Oberror.show();
}

void TForm1::runStep(const std::function<void()>& step) {
    // One category's failure ends only its own step: the user sees why, the rest goes on.
    try {
        step();
    } catch (const std::exception& e) {
        host_.showMessage(e.what());
    }
}

void TForm1::OBall1Click() {
    const bool uncheck = OBall[0].caption() == "Unselect All";
    lvall.setAllChecked(!uncheck);
    OBall[0].setCaption(uncheck ? "Select All" : "Unselect All");
}

void TForm1::OBall2Click() { fullScan(true); }

void TForm1::fullScan(bool mayRepair) {
    const unsigned page = pageSerial_;
    obpriv.hide();
    Oberror.hide();
    lvall.setSubItem(0, 1, "");
    for (const auto& info : kCategories) setSummaryCount(info.summaryRow, 0);
    for (const auto& step : kFullScanRows) {
        if (!lvall.at(static_cast<std::size_t>(step.row)).checked) continue;
        statustext.setCaption(std::string(step.before));
        host_.processMessages();
        Category& c = *categories_[static_cast<std::size_t>(step.row - 1)];
        runStep([&c] { c.scan(); });
        c.scannedOnce = true;
        setSummaryCount(step.row, step.countsZero ? 0 : static_cast<int>(c.pageCount()));
        statustext.setCaption(std::string(step.after));
    }
    statustext.setCaption("Status : Complete Scan Your PC");
    if (pageStillShown(page)) showTotals(true);
    if (mayRepair && totals().errors > 0) {
        host_.processMessages();
        if (settings.isExactlyOne(Setting::AutoRepair)) OBall4Click();
    }
}

void TForm1::OBall4Click() {
    if (totals().errors == 0) return;
    underCommandLock([this] { repairPass(); });
}

RepairResult TForm1::repairPass() {
    RepairResult result;
    if (totals().errors == 0) return result;
    result.ran = true;
    const unsigned page = pageSerial_;
    Oberror.hide();
    obpriv.hide();
    if (lvall.at(0).checked && !backupBeforeRepair(page)) {
        result.backupFailed = true;
        return result;
    }
    // One journal for every registry change of the pass.
    JournalCommand command(*undo_, "Repair Errors Now !");
    std::vector<std::string> heldBack;
    for (const auto& step : kRepairRows) {
        if (!lvall.at(static_cast<std::size_t>(step.row)).checked) continue;
        statustext.setCaption(std::string(step.before));
        host_.processMessages();
        Category& c = *categories_[static_cast<std::size_t>(step.row - 1)];
        if (c.hasRemoval()) {
            runStep([&] {
                std::size_t held = 0;
                result.tally += removeFrom(c, &held);
                if (held > 0) heldBack.emplace_back(c.info().summaryCaption);
            });
            setSummaryCount(step.row, static_cast<int>(c.pageCount()));
        }
        statustext.setCaption(std::string(step.after));
    }
    // One word for every category that kept one user's data, not one box per category.
    if (const auto accounts = RunsAsAnotherUser(platform_.account); accounts && !heldBack.empty())
        host_.showNotice(HeldBackMessage(*accounts, heldBack));
    tellHeldForRights();
    statustext.setCaption("Status : Repair Complete");
    if (pageStillShown(page)) showTotals(false);
    if (settings.isExactlyOne(Setting::AutoClose)) host_.quit();
    return result;
}

bool TForm1::backupBeforeRepair(unsigned page) {
    statustext.setCaption(std::string(kBackupBefore));
    host_.processMessages();
    // Nothing is removed without the backup the user asked for; a dry run makes none.
    if (!context_.dryRun && !backupregExecute()) {
        statustext.setCaption("Status : Backup failed, nothing repaired");
        if (pageStillShown(page)) showTotals(false);
        return false;
    }
    statustext.setCaption(std::string(kBackupAfter));
    return true;
}

RemovalTally TForm1::removeFrom(Category& c, std::size_t* heldBack) {
    lastRemoval = {};
    std::vector<Finding> before;
    std::vector<RemovalRecord> records;
    if (onRemoval) before = c.list().findings();
    context_.removalLog = onRemoval ? &records : nullptr;
    const OnExit release([this] { context_.removalLog = nullptr; });
    const std::size_t held = removeForThisUser(c);
    if (heldBack != nullptr) *heldBack = held;
    // The Recycle Bin and the clipboard act on the whole and keep no tally: what they still
    // list checked afterwards is what they could not remove.
    const auto checked = std::count_if(c.list().findings().begin(), c.list().findings().end(),
                                       [](const Finding& finding) { return finding.checked; });
    lastRemoval.left = std::max(lastRemoval.left, static_cast<int>(checked));
    if (onRemoval) onRemoval(c, FatesOf(before, records, lastRemoval, held));
    return lastRemoval;
}

void TForm1::OBscanpcClick() {
    showSummaryPage();
    if (const auto backup = settings.flag(Setting::AutoBackup)) lvall.setChecked(0, *backup);
    showTotals(false);
}

bool TForm1::backupregExecute() {
    bool made = false;
    underCommandLock([&] { made = backups_->create(); });
    return made;
}

void TForm1::OBbackupClick() { backupregExecute(); }

void TForm1::fillBackupList() { backups_->fill(); }

void TForm1::OBrestorebackupClick() {
    if (!backups_->hasSelection()) {
        host_.showMessage(RegistryBackups::kNoSelection);
        return;
    }
    underCommandLock([this] { restoreSelected(); });
}

void TForm1::restoreSelected() {
    host_.setCursor(Cursor::Hourglass);
    host_.setTopmost(false);
    const auto error = backups_->restoreSelected();
    host_.setCursor(Cursor::Default);
    if (const auto onTop = settings.flag(Setting::AlwaysOnTop)) {
        host_.setTopmost(*onTop);
        options.at(Setting::AlwaysOnTop)->setChecked(*onTop);
    }
    if (error) host_.showMessage(*error);
}

void TForm1::OBdeletebackupClick() {
    if (!backups_->hasSelection()) {
        host_.showMessage(RegistryBackups::kNoSelection);
        return;
    }
    underCommandLock([this] {
        if (const auto error = backups_->deleteSelected()) host_.showMessage(*error);
    });
}

void TForm1::optimizeExecute() { optimizer_->optimizeExecute(); }

void TForm1::OBoptimizeClick() {
    statustext.setCaption("  Status : Running Optimizer");
    host_.processMessages();
    optimizeExecute();
    statustext.setCaption("  Status : Optimizing System Complete");
}

}  // namespace keltora
