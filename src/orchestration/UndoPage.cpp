// The Undo Repairs page of TForm1, in the "More Options" group beside the backups: the journals
// every removal command writes, and the commands that undo or delete one.
#include "app/Unit1.h"
#include "maintenance/UndoJournal.h"
#include "maintenance/UndoRepairs.h"

namespace keltora {

void TForm1::setUpUndoPage() {
    undo_ = std::make_unique<UndoJournal>(platform_, paths);
    context_.journal = undo_.get();
    undoPage_ = std::make_unique<UndoRepairs>(context_, LVundo);
    // Showing the page lists the journals anew, as the backup page lists its files; undoing or
    // deleting one changes what a restore or a repair would, and holds the same commands apart.
    addCommand("CB1Categories1Items5Click", CommandGroup::BackupPage, &TForm1::CB1Categories1Items5Click);
    addCommand("OBundoClick", CommandGroup::Backups, &TForm1::OBundoClick);
    addCommand("OBdeleteundoClick", CommandGroup::Backups, &TForm1::OBdeleteundoClick);
}

void TForm1::CB1Categories1Items5Click() {
    HiddenLV();
    LVundo.show();
    for (auto& button : OBundos) button.show();
    fillUndoList();
}

void TForm1::fillUndoList() { undoPage_->fill(); }

void TForm1::OBundoClick() {
    if (!undoPage_->hasSelection()) {
        host_.showMessage(UndoRepairs::kNoSelection);
        return;
    }
    underCommandLock([this] { undoPage_->undoSelected(); });
}

void TForm1::OBdeleteundoClick() {
    if (!undoPage_->hasSelection()) {
        host_.showMessage(UndoRepairs::kNoSelection);
        return;
    }
    underCommandLock([this] { undoPage_->deleteSelected(); });
}

}  // namespace keltora
