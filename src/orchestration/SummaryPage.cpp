// The summary page of TForm1: the full scan, the repair pass and their totals, and the commands
// of the backup and optimizer pages that the repair pass and the side bar lead to.
#include <stdexcept>

#include "app/Unit1.h"
#include "maintenance/RegistryBackups.h"
#include "maintenance/RegistryOptimizer.h"
#include "maintenance/UndoJournal.h"
#include "orchestration/ScanOrder.h"

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
    const std::pair<const char*, void (TForm1::*)()> commands[] = {
        {"OBall1Click", &TForm1::OBall1Click},       {"OBall2Click", &TForm1::OBall2Click},
        {"OBall4Click", &TForm1::OBall4Click},       {"OBscanpcClick", &TForm1::OBscanpcClick},
        {"backupregExecute", &TForm1::OBbackupClick}, {"OBbackupClick", &TForm1::OBbackupClick},
        {"OBrestorebackupClick", &TForm1::OBrestorebackupClick},
        {"OBdeletebackupClick", &TForm1::OBdeletebackupClick},
        {"optimizeExecute", &TForm1::optimizeExecute}, {"OBoptimizeClick", &TForm1::OBoptimizeClick},
    };
    for (const auto& [name, handler] : commands) handlers_[name] = [this, handler = handler] { (this->*handler)(); };
}

Totals TForm1::totals() const {
    Totals result;
    for (int row = 1; row <= 20; ++row) {
        const int count = countOf(lvall, row);
        result.errors += count;
        if (row >= kFirstPrivacyRow && row <= kLastPrivacyRow) result.privacy += count;
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
    obpriv.hide();
    Oberror.hide();
    lvall.setSubItem(0, 1, "");
    for (int row = 1; row <= 20; ++row) setSummaryCount(row, 0);
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
    showTotals(true);
    if (mayRepair && totals().errors > 0) {
        host_.processMessages();
        if (settings.isExactlyOne(Setting::AutoRepair)) OBall4Click();
    }
}

void TForm1::OBall4Click() {
    if (totals().errors == 0) return;
    Oberror.hide();
    obpriv.hide();
    if (lvall.at(0).checked) {
        statustext.setCaption(std::string(kBackupBefore));
        host_.processMessages();
        // Nothing is removed without the backup the user asked for.
        if (!backupregExecute()) {
            statustext.setCaption("Status : Backup failed, nothing repaired");
            showTotals(false);
            return;
        }
        statustext.setCaption(std::string(kBackupAfter));
    }
    // One journal for every registry change of the pass.
    JournalCommand command(*undo_, "Repair Errors Now !");
    commandRemoval = {};
    for (const auto& step : kRepairRows) {
        if (!lvall.at(static_cast<std::size_t>(step.row)).checked) continue;
        statustext.setCaption(std::string(step.before));
        host_.processMessages();
        Category& c = *categories_[static_cast<std::size_t>(step.row - 1)];
        if (c.hasRemoval()) {
            lastRemoval = {};
            runStep([&c] { c.remove(); });
            commandRemoval += lastRemoval;
            setSummaryCount(step.row, static_cast<int>(c.pageCount()));
        }
        statustext.setCaption(std::string(step.after));
    }
    statustext.setCaption("Status : Repair Complete");
    showTotals(false);
    if (settings.isExactlyOne(Setting::AutoClose)) host_.quit();
}

void TForm1::OBscanpcClick() {
    showSummaryPage();
    if (const auto backup = settings.flag(Setting::AutoBackup)) lvall.setChecked(0, *backup);
    showTotals(false);
}

bool TForm1::backupregExecute() { return backups_->create(); }

void TForm1::OBbackupClick() { backupregExecute(); }

void TForm1::fillBackupList() { backups_->fill(); }

void TForm1::OBrestorebackupClick() {
    if (!backups_->hasSelection()) {
        host_.showMessage(RegistryBackups::kNoSelection);
        return;
    }
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
    backups_->deleteSelected();
}

void TForm1::optimizeExecute() { optimizer_->optimizeExecute(); }

void TForm1::OBoptimizeClick() {
    statustext.setCaption("  Status : Running Optimizer");
    host_.processMessages();
    optimizeExecute();
    statustext.setCaption("  Status : Optimizing System Complete");
}

}  // namespace keltora
