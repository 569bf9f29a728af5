#include "app/Unit1.h"

#include <stdexcept>

#include "maintenance/RegistryBackups.h"
#include "maintenance/RegistryOptimizer.h"
#include "maintenance/UndoJournal.h"
#include "maintenance/UndoRepairs.h"
#include "orchestration/RemoveFamily.h"
#include "scanners/registry/DeepAnalysis.h"
#include "platform/Helpers.h"

namespace keltora {

namespace {

constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kWindowsNtKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kSelectAll = "Select All";
constexpr const char* kUnselectAll = "Unselect All";

// Whether the Select All button's caption says the next press unchecks.
bool unchecksNext(const Button& button) { return button.caption() == kUnselectAll; }

}  // namespace

TForm1::TForm1(Platform& platform, AppHost& host, double pace)
    : settings(platform.registry),
      platform_(platform),
      host_(host),
      pacer_(platform.clock, pace),
      context_{platform, host, pacer_, PB, lastCount, paths, lastRemoval} {
    for (const auto& info : kSettings) {
        if (info.checkBox.empty()) continue;
        auto box = std::make_unique<CheckBox>(std::string(info.checkBox), std::string(info.caption));
        box->setChecked(info.checkedAtDesign);
        options.emplace(info.setting, std::move(box));
    }
    for (auto code : kIgnoreCodes)
        ignoreLists_.push_back(std::make_unique<IgnoreList>(std::string(code), "lvignored" + std::string(code)));
    ignoreLists_.push_back(std::make_unique<IgnoreList>("da", "lvignoredda"));
    for (const auto& info : kCategories) categories_.push_back(MakeCategory(info, context_, ignoreList(info.code)));
    // The deep analysis shows the key it reads in the line above the result area.
    static_cast<DeepAnalysis&>(category("da")).setKeyLabel(labeldeep);
    registerHandlers();
    setUpNavigation();
    setUpSummaryPage();
    setUpUndoPage();
}

TForm1::~TForm1() = default;

Category& TForm1::category(std::string_view code) {
    for (auto& c : categories_)
        if (c->info().code == code) return *c;
    throw std::out_of_range("unknown category " + std::string(code));
}

IgnoreList* TForm1::ignoreList(std::string_view code) {
    for (auto& list : ignoreLists_)
        if (list->code() == code) return list.get();
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void TForm1::FormCreate() {
    autoscanOnStart = settings.text(Setting::AutoScan) != "0";
    labeldeep.hide();

    paths.commonFiles = RegReadString(platform_.registry, kHKeyLocalMachine, kCurrentVersionKey, "CommonFilesDir");
    paths.programFiles = RegReadString(platform_.registry, kHKeyLocalMachine, kCurrentVersionKey, "ProgramFilesDir");
    paths.systemRoot = RegReadString(platform_.registry, kHKeyLocalMachine, kWindowsNtKey, "SystemRoot");
    paths.systemDrive = SystemDrivePrefix(paths.systemRoot);

    createFolders();
    applySettings();

    statustext.setCaption("Status : Ready");
    for (auto& c : categories_) c->scannedOnce = false;

    HiddenLV();
    for (auto& button : OBall) button.show();
    OBhelp.show();
    lvall.show();
    pcignored.hide();
    labelnode.hide();
    labelvalues.hide();

    LVbackup.setColumns({{"Backup File", 300}, {"Date Create", 100}, {"Time Create", 100}});
    LVundo.setColumns({{"Undo Journal", 170}, {"Date", 75}, {"Time", 80}, {"Command", 150}, {"Changes", 55, true},
                       {"State", 60}});
    buildSummaryList();

    for (auto& list : ignoreLists_)
        if (list->code() != "da") list->load(platform_.files, paths.ignoreFolder());
}

void TForm1::createFolders() {
    auto& files = platform_.files;
    files.createDirectories(paths.backups());
    files.createDirectories(paths.startbug());
    // The ignore files live here; without it the first "Ignore Items" could not be stored.
    files.createDirectories(paths.ignoreFolder());
}

void TForm1::applySettings() {
    for (const auto& info : kSettings) {
        if (info.setting == Setting::AutoScan) continue;
        const auto value = settings.flag(info.setting);
        if (!value) continue;
        options.at(info.setting)->setChecked(*value);
        switch (info.setting) {
            case Setting::AlwaysOnTop: host_.setTopmost(*value); break;
            case Setting::LoadWithWindows:
                if (*value) settings.writeRunEntry(host_.executableFolder());
                else settings.deleteRunEntry();
                break;
            case Setting::TrayMinimize:
                options.at(Setting::TaskbarStatus)->setEnabled(*value);
                host_.setTrayIcon(*value);
                break;
            default: break;
        }
    }
}

void TForm1::buildSummaryList() {
    lvall.setColumns({{"Scanned Items", 180}, {"Number of Errors", 100, true}, {"Category", 100}});
    std::vector<Finding> rows;
    rows.push_back(Finding{"Create Registry Backup", {""}, settings.text(Setting::AutoBackup) == "1"});
    for (const auto& info : kCategories) {
        rows.push_back(Finding{std::string(info.summaryCaption), {"0", std::string(info.group)}, info.summaryRow != 20});
    }
    lvall.replaceAll(std::move(rows));
}

void TForm1::FormClose() { settings.write(Setting::AutoScan, false); }

void TForm1::FormDestroy() {
    host_.setTrayIcon(false);
    const auto load = settings.flag(Setting::LoadWithWindows);
    if (load && *load) settings.writeRunEntry(host_.executableFolder());
    else if (load) settings.deleteRunEntry();
}

void TForm1::optionClick(Setting setting) {
    const bool on = options.at(setting)->checked();
    settings.write(setting, on);
    switch (setting) {
        case Setting::AlwaysOnTop: host_.setTopmost(on); break;
        case Setting::LoadWithWindows:
            if (on) settings.writeRunEntry(host_.executableFolder());
            else settings.deleteRunEntry();
            break;
        case Setting::TrayMinimize:
            options.at(Setting::TaskbarStatus)->setEnabled(on);
            host_.setTrayIcon(on);
            break;
        default: break;
    }
}

// ---------------------------------------------------------------------------------------------
// Pages

void TForm1::HiddenLV() {
    for (auto& c : categories_) {
        c->list().hide();
        for (auto& button : c->buttons)
            if (button) button->hide();
    }
    for (auto& list : ignoreLists_) list->view().hide();
    for (auto& button : OBall) button.hide();
    for (auto& button : OBhis) button.hide();
    lvall.hide();
    pcignored.hide();
    LVbackup.hide();
    Oberror.hide();
    obpriv.hide();
    hideNavigationPages();
    OBhelp.hide();
    Timer1.stop();
}

void TForm1::showCountBox(std::size_t findings) {
    if (findings > 0) {
        Oberror.setCaption(std::to_string(findings) + " Errors Found");
        Oberror.setColour(Colour::Red);
        Timer1.start();
    } else {
        Oberror.setCaption("No Errors Found");
        Oberror.setColour(Colour::Black);
        Timer1.stop();
    }
    Oberror.show();
}

void TForm1::setSummaryCount(int row, int count) { lvall.setSubItem(static_cast<std::size_t>(row), 1, std::to_string(count)); }

void TForm1::visitPage(Category& c) {
    const auto& info = c.info();
    HiddenLV();
    c.list().show();
    if (info.page == PageButtons::Own) {
        for (auto& button : c.buttons) button->show();
    } else {
        pageType = info.sharedPageType;
        for (auto& button : OBhis) button.show();
        if (pageType <= 10) OBhis[0].setCaption(c.selectAllFlag ? kUnselectAll : kSelectAll);
    }
    OBhelp.show();
    statustext.setCaption(std::string(info.scanningText));
    host_.processMessages();
    if (!c.scannedOnce) {
        c.scan();
        c.scannedOnce = true;
    }
    const std::size_t count = c.pageCount();
    showCountBox(count);
    statustext.setCaption(std::string(info.scannedText));
    setSummaryCount(info.summaryRow, static_cast<int>(count));
}

void TForm1::refresh(Category& c) {
    c.scannedOnce = false;
    visitPage(c);
}

void TForm1::selectAll(Category& c) {
    Button* button = c.info().page == PageButtons::Own ? c.buttons[0].get() : &OBhis[0];
    const bool uncheck = unchecksNext(*button);
    c.list().setAllChecked(!uncheck);
    button->setCaption(uncheck ? kSelectAll : kUnselectAll);
    c.selectAllFlag = !uncheck;
}

void TForm1::ignoreItems(Category& c) {
    IgnoreList* list = c.ignoreList();
    if (list == nullptr || list->code() == "da") return;
    const int row = c.list().focused();
    if (c.list().selected() < 0 || row < 0) return;
    const Finding finding = c.list().at(static_cast<std::size_t>(row));
    list->add(platform_.files, paths.ignoreFolder(), IgnoreEntry{finding.caption, finding.subItem(3)});
    c.list().remove(static_cast<std::size_t>(row));
}

void TForm1::removeChecked(Category& c) {
    const RemoveTexts* texts = c.info().page == PageButtons::Own ? RemoveTextsForPage(c.info().code)
                                                                 : RemoveTextsForPageType(c.info().sharedPageType);
    if (texts == nullptr || !c.hasRemoval()) return;
    statustext.setCaption(std::string(texts->before));
    host_.processMessages();
    {
        JournalCommand command(*undo_, "Remove Checked Items (" + std::string(c.info().summaryCaption) + ")");
        c.remove();
        commandRemoval = lastRemoval;
    }
    // What the page shows afterwards: for the Recycle Bin and the clipboard that is what they
    // still hold, not the rows of the list.
    const std::size_t left = c.pageCount();
    showCountBox(left);
    statustext.setCaption(std::string(texts->after));
    setSummaryCount(c.info().summaryRow, static_cast<int>(left));
}

void TForm1::Timer1Timer() { Oberror.setColour(Oberror.colour() == Colour::Red ? Colour::Silver : Colour::Red); }
void TForm1::Timer3Timer() { obpriv.setColour(obpriv.colour() == Colour::Red ? Colour::Silver : Colour::Red); }

// ---------------------------------------------------------------------------------------------
// Commands by name

bool TForm1::exclusive(const std::function<void()>& command) {
    if (busy_) return false;
    busy_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{busy_};
    command();
    return true;
}

void TForm1::registerHandlers() {
    for (auto& owned : categories_) {
        Category* c = owned.get();
        const auto& info = c->info();
        handlers_[std::string(info.menuHandler)] = [this, c] { visitPage(*c); };
        handlers_[std::string(info.scanAction)] = [c] { c->scan(); };
        if (c->hasRemoval())
            handlers_[std::string(info.removeAction)] = [this, c, name = std::string(info.removeAction)] {
                JournalCommand command(*undo_, name);
                c->remove();
            };
        if (info.page == PageButtons::Own && c->hasRemoval()) {
            handlers_[std::string(info.buttons[0]) + "Click"] = [this, c] { selectAll(*c); };
            handlers_[std::string(info.buttons[1]) + "Click"] = [this, c] { ignoreItems(*c); };
            handlers_[std::string(info.buttons[2]) + "Click"] = [this, c] { removeChecked(*c); };
        }
        if (info.page == PageButtons::Own) handlers_[std::string(info.buttons[3]) + "Click"] = [this, c] { refresh(*c); };
    }
    auto shared = [this](void (TForm1::*action)(Category&)) {
        return [this, action] {
            if (const CategoryInfo* info = CategoryForPageType(pageType)) (this->*action)(category(info->code));
        };
    };
    handlers_["OBhis1Click"] = shared(&TForm1::selectAll);
    handlers_["OBhis3Click"] = shared(&TForm1::removeChecked);
    handlers_["OBhis4Click"] = shared(&TForm1::refresh);
}

bool TForm1::invoke(std::string_view handler) {
    if (auto free = freeHandlers_.find(handler); free != freeHandlers_.end()) {
        free->second();
        return true;
    }
    auto found = handlers_.find(handler);
    if (found == handlers_.end()) return false;
    return exclusive(found->second);
}

}  // namespace keltora
