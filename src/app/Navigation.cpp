// TForm1's navigation: the side bar, the pages it leads to, the links, the tray menu and the
// ignored-items page. Kept apart from Unit1.cpp because it changes for other reasons than the
// category pages do.
#include "app/Unit1.h"

#include <initializer_list>

namespace keltora {

void TForm1::setUpNavigation() {
    for (const auto& tab : kIgnoredTabs)
        if (!tab.removeButton.empty())
            obremoveignored.push_back(std::make_unique<Button>(std::string(tab.removeButton), "Remove Ignored Key"));

    // What the window design shows inside its panels; the panels themselves start hidden.
    for (auto& [setting, box] : options) box->setVisible(setting != Setting::PlaySounds);
    for (Control* shown :
         std::initializer_list<Control*>{&Panel3, &PBHive, &PBNodes, &Hivetext, &GroupBox1, &GroupBox2})
        shown->show();
    OBscanpc.show();
    OBhelp.setCaption("?");
    OBall[2].setEnabled(false);

    auto exclusiveHandler = [this](std::string_view name, void (TForm1::*handler)()) {
        handlers_[std::string(name)] = [this, handler] { (this->*handler)(); };
    };
    auto freeHandler = [this](std::string_view name, void (TForm1::*handler)()) {
        freeHandlers_[std::string(name)] = [this, handler] { (this->*handler)(); };
    };
    exclusiveHandler("CB1Categories1Items0Click", &TForm1::CB1Categories1Items0Click);
    exclusiveHandler("CB1Categories1Items1Click", &TForm1::CB1Categories1Items1Click);
    exclusiveHandler("CB1Categories1Items2Click", &TForm1::CB1Categories1Items2Click);
    exclusiveHandler("CB1Categories1Items3Click", &TForm1::CB1Categories1Items3Click);
    exclusiveHandler("CB1Categories1Items4Click", &TForm1::CB1Categories1Items4Click);
    // The summary page's own command (with its totals) replaces this when it registers.
    handlers_.try_emplace("OBscanpcClick", [this] { showSummaryPage(); });
    for (std::size_t i = 0; i < kIgnoredTabs.size(); ++i) {
        const auto& tab = kIgnoredTabs[i];
        handlers_[IgnoredTabHandler(tab)] = [this, i] { showIgnoredTab(i); };
        if (!tab.removeButton.empty())
            handlers_[std::string(tab.removeButton) + "Click"] = [this, code = tab.code] { removeIgnored(code); };
    }

    freeHandler("CB1Categories0Items0Click", &TForm1::CB1Categories0Items0Click);
    freeHandler("CB1Categories0Items1Click", &TForm1::CB1Categories0Items1Click);
    freeHandler("OBhomepageClick", &TForm1::OBhomepageClick);
    freeHandler("OBproupdateClick", &TForm1::OBproupdateClick);
    freeHandler("OBhelpClick", &TForm1::OBhelpClick);
    freeHandler("ShowWindow1Click", &TForm1::ShowWindow1Click);
    freeHandler("Exit1Click", &TForm1::Exit1Click);
    freeHandler("Minimize1Click", &TForm1::Minimize1Click);
    freeHandler("Timer1Timer", &TForm1::Timer1Timer);
    freeHandler("Timer3Timer", &TForm1::Timer3Timer);
    freeHandler("lvallSelectItem", &TForm1::lvallSelectItem);
    for (const auto& info : kSettings)
        if (!info.checkBox.empty())
            freeHandlers_[std::string(info.checkBox) + "Click"] = [this, s = info.setting] { optionClick(s); };
}

// The part of HiddenLV that covers the pages of the "More Options" group and the ignored items.
void TForm1::hideNavigationPages() {
    for (auto& button : obremoveignored) button->hide();
    for (auto& button : OBbackups) button.hide();
    for (auto& button : OBundos) button.hide();
    LVundo.hide();
    for (Control* page :
         std::initializer_list<Control*>{&Panelabout, &Panel4, &OBoptimize, &OBhomepage, &OBproupdate, &paneloption})
        page->hide();
}

void TForm1::showSummaryPage() {
    HiddenLV();
    for (auto& button : OBall) button.show();
    OBhelp.show();
    lvall.show();
}

void TForm1::CB1Categories0Items0Click() { host_.openMenu(ScanMenuName(Menu::Registry)); }
void TForm1::CB1Categories0Items1Click() { host_.openMenu(ScanMenuName(Menu::Privacy)); }

void TForm1::CB1Categories1Items0Click() {
    HiddenLV();
    LVbackup.clear();
    LVbackup.show();
    for (auto& button : OBbackups) button.show();
    fillBackupList();
}

void TForm1::CB1Categories1Items1Click() {
    HiddenLV();
    Panelabout.show();
    Panel3.show();
    Panel4.hide();
    OBhomepage.show();
    OBproupdate.show();
}

void TForm1::CB1Categories1Items2Click() {
    HiddenLV();
    paneloption.show();
}

void TForm1::CB1Categories1Items3Click() {
    HiddenLV();
    Panelabout.show();
    Panel3.hide();
    Panel4.show();
    OBhelp.show();
    OBoptimize.show();
}

void TForm1::CB1Categories1Items4Click() { showIgnoredTab(0); }

void TForm1::showIgnoredTab(std::size_t tab) {
    if (tab >= kIgnoredTabs.size()) return;
    const auto& info = kIgnoredTabs[tab];
    HiddenLV();
    pcignored.setIndex(static_cast<int>(tab));
    pcignored.show();
    if (IgnoreList* list = ignoreList(info.code)) list->view().show();
    if (Button* remove = removeIgnoredButton(info.code)) remove->show();
}

Button* TForm1::removeIgnoredButton(std::string_view code) {
    for (auto& button : obremoveignored)
        if (button->name() == "obremoveignored" + std::string(code)) return button.get();
    return nullptr;
}

// Releases everything the category set aside: the file is emptied and the list with it, so the
// next scan reports those findings again.
void TForm1::removeIgnored(std::string_view code) {
    if (IgnoreList* list = ignoreList(code)) list->clear(platform_.files, paths.ignoreFolder());
}

void TForm1::OBhomepageClick() { platform_.shell.open(Site::home(), ""); }
void TForm1::OBproupdateClick() { platform_.shell.open(Site::update(), ""); }

void TForm1::OBhelpClick() {
    platform_.shell.open(Site::help(), "");
    host_.minimize(false);
}

void TForm1::ShowWindow1Click() { host_.restore(); }
void TForm1::Exit1Click() { host_.quit(); }

void TForm1::lvallSelectItem() {
    if (lvall.selected() >= 0) OBall[2].setEnabled(true);
}

void TForm1::Minimize1Click() {
    host_.minimize(settings.text(Setting::TrayMinimize) != "0" && settings.text(Setting::TaskbarStatus) != "0");
}

}  // namespace keltora
