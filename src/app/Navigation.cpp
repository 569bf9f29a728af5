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

    for (std::size_t i = 0; i < kSideBar.size(); ++i) {
        sideBar.push_back(std::make_unique<Button>("CB1Item" + std::to_string(i), std::string(kSideBar[i].caption)));
        sideBar.back()->show();
    }

    // Pages that need no scan run beside a long command; the backup page lists what a backup
    // command may be changing.
    constexpr auto kFree = CommandGroup::Free;
    addCommand("CB1Categories1Items0Click", CommandGroup::BackupPage, &TForm1::CB1Categories1Items0Click);
    addCommand("CB1Categories1Items1Click", kFree, &TForm1::CB1Categories1Items1Click);
    addCommand("CB1Categories1Items2Click", kFree, &TForm1::CB1Categories1Items2Click);
    addCommand("CB1Categories1Items3Click", kFree, &TForm1::CB1Categories1Items3Click);
    addCommand("CB1Categories1Items4Click", kFree, &TForm1::CB1Categories1Items4Click);
    addCommand("OBall3Click", CommandGroup::Lists, &TForm1::OBall3Click);
    for (std::size_t i = 0; i < kIgnoredTabs.size(); ++i) {
        const auto& tab = kIgnoredTabs[i];
        addCommand(IgnoredTabHandler(tab), kFree, [this, i] { showIgnoredTab(i); });
        if (!tab.removeButton.empty())
            addCommand(std::string(tab.removeButton) + "Click", CommandGroup::Lists,
                       [this, code = tab.code] { removeIgnored(code); });
    }

    addCommand("CB1Categories0Items0Click", kFree, &TForm1::CB1Categories0Items0Click);
    addCommand("CB1Categories0Items1Click", kFree, &TForm1::CB1Categories0Items1Click);
    addCommand("OBhomepageClick", kFree, &TForm1::OBhomepageClick);
    addCommand("OBproupdateClick", kFree, &TForm1::OBproupdateClick);
    addCommand("OBhelpClick", kFree, &TForm1::OBhelpClick);
    addCommand("ShowWindow1Click", kFree, &TForm1::ShowWindow1Click);
    addCommand("Exit1Click", kFree, &TForm1::Exit1Click);
    addCommand("Minimize1Click", kFree, &TForm1::Minimize1Click);
    addCommand("Timer1Timer", kFree, &TForm1::Timer1Timer);
    addCommand("Timer3Timer", kFree, &TForm1::Timer3Timer);
    addCommand("lvallSelectItem", kFree, &TForm1::lvallSelectItem);
    for (const auto& info : kSettings)
        if (!info.checkBox.empty())
            addCommand(std::string(info.checkBox) + "Click", kFree, [this, s = info.setting] { optionClick(s); });
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
    if (IgnoreList* list = ignoreList(code))
        underCommandLock([&] { list->clear(platform_.files, paths.ignoreFolder()); });
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

void TForm1::OBall3Click() {
    const int row = lvall.selected();
    if (row == 0) CB1Categories1Items0Click();
    else if (row > 0 && row <= static_cast<int>(categories_.size()))
        visitPage(*categories_[static_cast<std::size_t>(row - 1)]);
}

std::string TForm1::refreshHandler() const {
    for (const auto& c : categories_) {
        if (!c->list().visible()) continue;
        const Button& refresh = c->info().page == PageButtons::Own ? *c->buttons[3] : OBhis[3];
        return refresh.name() + "Click";
    }
    return {};
}

void TForm1::Minimize1Click() {
    host_.minimize(settings.text(Setting::TrayMinimize) != "0" && settings.text(Setting::TaskbarStatus) != "0");
}

}  // namespace keltora
