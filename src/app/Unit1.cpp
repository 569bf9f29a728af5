#include "app/Unit1.h"

#include <initializer_list>
#include <stdexcept>

#include "maintenance/RegistryBackups.h"
#include "maintenance/RegistryOptimizer.h"
#include "maintenance/UndoJournal.h"
#include "maintenance/UndoRepairs.h"
#include "orchestration/RemoveFamily.h"
#include "scanners/registry/DeepAnalysis.h"
#include "platform/Helpers.h"
#include "scan/OnExit.h"

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
    for (const auto& info : kCategories)
        if (!info.ignoreList.empty())
            ignoreLists_.push_back(std::make_unique<IgnoreList>(std::string(info.code), std::string(info.ignoreList)));
    for (const auto& info : kCategories) categories_.push_back(MakeCategory(info, context_, ignoreList(info.code)));
    // The deep analysis shows the key it reads in the line above the result area.
    static_cast<DeepAnalysis&>(category("da")).setKeyLabel(labeldeep);
    // The summary keeps its rows in the order of the full scan.
    lvall.setSortable(false);
    registerHandlers();
    setUpNavigation();
    setUpSummaryPage();
    setUpUndoPage();
    collectCommandControls();
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

    // Each only as the folder rule allows it: an empty, relative or root value leaves it empty.
    auto folder = [this](const char* key, const char* name) {
        return UsableFolderText(platform_.codePage, RegReadString(platform_.registry, kHKeyLocalMachine, key, name));
    };
    paths.commonFiles = folder(kCurrentVersionKey, "CommonFilesDir");
    paths.programFiles = folder(kCurrentVersionKey, "ProgramFilesDir");
    paths.commonFilesX86 = folder(kCurrentVersionKey, "CommonFilesDir (x86)");
    paths.programFilesX86 = folder(kCurrentVersionKey, "ProgramFilesDir (x86)");
    paths.systemRoot = folder(kWindowsNtKey, "SystemRoot");
    paths.systemDrive = SystemDrivePrefix(paths.systemRoot);
    paths.localAppData = UsableFolderText(platform_.codePage, platform_.shell.knownFolder(KnownFolder::LocalAppData, KnownFolderPath::Default));

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
    // Within the page's width, so that every column shows without scrolling.
    LVundo.setColumns({{"Undo Journal", 160}, {"Date", 70}, {"Time", 80}, {"Command", 140}, {"Changes", 55, true},
                       {"State", 60}});
    buildSummaryList();

    // Without the program-files folder there are no ignore files to load; everything else works.
    if (paths.hasProgramFolders())
        for (auto& list : ignoreLists_)
            if (list->code() != "da") list->load(platform_.files, paths.ignoreFolder());
}

void TForm1::createFolders() {
    if (!paths.hasProgramFolders()) return;
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
                // A dry run changes nothing, not even the program's own Run entry.
                if (!context_.dryRun) alignRunEntryOrTell(*value);
                break;
            case Setting::TrayMinimize:
                options.at(Setting::TaskbarStatus)->setEnabled(*value);
                host_.setTrayIcon(*value);
                break;
            default: break;
        }
    }
}

void TForm1::alignRunEntry(bool on) {
    if (on) settings.writeRunEntry(host_.executableFolder());
    else settings.deleteRunEntry();
}

void TForm1::alignRunEntryOrTell(bool on) {
    // The user is told, and the start goes on: the ignore lists still have to be loaded before
    // anything is scanned or removed.
    try {
        alignRunEntry(on);
    } catch (const std::exception& error) {
        host_.showMessage(error.what());
    }
}

void TForm1::buildSummaryList() {
    // "Number of Errors" wider than its 100 pixels of old: room for its caption in a wider font;
    // "Category" too, for the group "Windows 10 and 11".
    lvall.setColumns({{"Scanned Items", 180}, {"Number of Errors", 130, true}, {"Category", 130}});
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
    if (const auto load = settings.flag(Setting::LoadWithWindows)) alignRunEntryOrTell(*load);
}

void TForm1::optionClick(Setting setting) {
    const bool on = options.at(setting)->checked();
    settings.write(setting, on);
    switch (setting) {
        case Setting::AlwaysOnTop: host_.setTopmost(on); break;
        case Setting::LoadWithWindows: alignRunEntry(on); break;
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
    ++pageSerial_;
    for (auto& c : categories_) {
        c->list().hide();
        if (c->note) c->note->hide();
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
    const unsigned page = pageSerial_;
    c.list().show();
    if (c.note) c.note->show();
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
    if (pageStillShown(page)) showCountBox(count);
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
    underCommandLock([&] {
        const Finding finding = c.list().at(static_cast<std::size_t>(row));
        list->add(platform_.files, paths.ignoreFolder(), IgnoreEntry{finding.caption, finding.subItem(3)});
        c.list().remove(static_cast<std::size_t>(row));
    });
}

void TForm1::removeChecked(Category& c) {
    const RemoveTexts* texts = c.info().page == PageButtons::Own ? RemoveTextsForPage(c.info().code)
                                                                 : RemoveTextsForPageType(c.info().sharedPageType);
    if (texts == nullptr || !c.hasRemoval()) return;
    underCommandLock([&] { removeCheckedLocked(c, *texts); });
}

void TForm1::removeCheckedLocked(Category& c, const RemoveTexts& texts) {
    const unsigned page = pageSerial_;
    statustext.setCaption(std::string(texts.before));
    host_.processMessages();
    {
        JournalCommand command(*undo_, "Remove Checked Items (" + std::string(c.info().summaryCaption) + ")");
        removeCategory(c);
    }
    // What the page shows afterwards: for the Recycle Bin and the clipboard that is what they
    // still hold, not the rows of the list.
    const std::size_t left = c.pageCount();
    if (pageStillShown(page)) showCountBox(left);
    statustext.setCaption(std::string(texts.after));
    setSummaryCount(c.info().summaryRow, static_cast<int>(left));
}

void TForm1::Timer1Timer() { Oberror.setColour(Oberror.colour() == Colour::Red ? Colour::Silver : Colour::Red); }
void TForm1::Timer3Timer() { obpriv.setColour(obpriv.colour() == Colour::Red ? Colour::Silver : Colour::Red); }

// ---------------------------------------------------------------------------------------------
// Commands by name

bool TForm1::underCommandLock(const std::function<void()>& command, std::uint32_t waitMs,
                              const std::function<void()>& whileWaiting) {
    if (lockDepth_ == 0) {
        bool acquired = platform_.commandLock.tryAcquire();
        for (std::uint32_t waited = 0; !acquired && waited < waitMs; waited += kLockPollMs) {
            if (waited == 0 && whileWaiting) whileWaiting();
            platform_.clock.sleep(kLockPollMs);
            acquired = platform_.commandLock.tryAcquire();
        }
        if (!acquired) {
            host_.showMessage(kLockBusy);
            return false;
        }
    }
    ++lockDepth_;
    const OnExit release([this] {
        if (--lockDepth_ == 0) platform_.commandLock.release();
    });
    command();
    return true;
}

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

void TForm1::addCommand(std::string name, CommandGroup group, std::function<void()> run) {
    commands_[std::move(name)] = Command{std::move(run), group};
}

void TForm1::addCommand(std::string name, CommandGroup group, void (TForm1::*handler)()) {
    addCommand(std::move(name), group, [this, handler] { (this->*handler)(); });
}

void TForm1::registerHandlers() {
    constexpr auto kLists = CommandGroup::Lists;
    for (auto& owned : categories_) {
        Category* c = owned.get();
        const auto& info = c->info();
        addCommand(std::string(info.menuHandler), kLists, [this, c] { visitPage(*c); });
        addCommand(std::string(info.scanAction), kLists, [c] { c->scan(); });
        if (c->hasRemoval())
            addCommand(std::string(info.removeAction), kLists, [this, c, name = std::string(info.removeAction)] {
                underCommandLock([&] {
                    JournalCommand command(*undo_, name);
                    removeCategory(*c);
                });
            });
        if (info.page == PageButtons::Own && c->hasRemoval()) {
            addCommand(std::string(info.buttons[0]) + "Click", kLists, [this, c] { selectAll(*c); });
            addCommand(std::string(info.buttons[1]) + "Click", kLists, [this, c] { ignoreItems(*c); });
            addCommand(std::string(info.buttons[2]) + "Click", kLists, [this, c] { removeChecked(*c); });
        }
        if (info.page == PageButtons::Own)
            addCommand(std::string(info.buttons[3]) + "Click", kLists, [this, c] { refresh(*c); });
    }
    auto shared = [this](void (TForm1::*action)(Category&)) {
        return [this, action] {
            if (const CategoryInfo* info = CategoryForPageType(pageType)) (this->*action)(category(info->code));
        };
    };
    addCommand("OBhis1Click", kLists, shared(&TForm1::selectAll));
    addCommand("OBhis3Click", kLists, shared(&TForm1::removeChecked));
    addCommand("OBhis4Click", kLists, shared(&TForm1::refresh));
}

void TForm1::collectCommandControls() {
    auto add = [this](Control& control) { commandControls_.emplace_back(&control, control.name() + "Click"); };
    for (auto& c : categories_)
        for (auto& button : c->buttons)
            if (button) add(*button);
    for (auto* group : {&OBall, &OBhis}) for (auto& button : *group) add(button);
    for (auto& button : OBbackups) add(button);
    for (auto& button : obremoveignored) add(*button);
    for (Control* button : std::initializer_list<Control*>{&OBscanpc, &OBoptimize, &OBhomepage, &OBproupdate, &OBhelp})
        add(*button);
    for (std::size_t i = 0; i < sideBar.size(); ++i) commandControls_.emplace_back(sideBar[i].get(), kSideBar[i].handler);
}

void TForm1::holdCommands(std::optional<CommandGroup> running) {
    running_ = running;
    // A button without a command (the shared page's "Ignore Items") stays as the design has it.
    for (auto& [control, handler] : commandControls_)
        control->setBlocked(has(handler) && !mayRun(handler));
}

bool TForm1::mayRun(std::string_view handler) const {
    auto found = commands_.find(handler);
    if (found == commands_.end()) return false;
    return !running_ || MayRunBeside(*running_, found->second.group);
}

bool TForm1::invoke(std::string_view handler) {
    if (!mayRun(handler)) return false;
    const Command& command = commands_.find(handler)->second;
    if (!HoldsOthers(command.group)) {
        command.run();
        return true;
    }
    // What conflicts with this command shows disabled until it ends, however it ends.
    struct Hold {
        TForm1& form;
        ~Hold() { form.holdCommands(std::nullopt); }
    } hold{*this};
    holdCommands(command.group);
    return exclusive(command.run);
}

}  // namespace keltora
