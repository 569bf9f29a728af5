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
    handlers_["CB1Categories1Items5Click"] = [this] { CB1Categories1Items5Click(); };
    handlers_["OBundoClick"] = [this] { OBundoClick(); };
    handlers_["OBdeleteundoClick"] = [this] { OBdeleteundoClick(); };
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
    undoPage_->undoSelected();
}

void TForm1::OBdeleteundoClick() {
    if (!undoPage_->hasSelection()) {
        host_.showMessage(UndoRepairs::kNoSelection);
        return;
    }
    undoPage_->deleteSelected();
}

}  // namespace keltora
