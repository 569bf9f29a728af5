#pragma once
// TForm1: the main window's state and handlers, free of any window system. It owns the models
// of the controls the logic drives and composes the categories; the Win32 window draws these
// models, the console prints them and the tests read them.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppHost.h"
#include "app/CommandGroups.h"
#include "app/Navigation.h"
#include "app/SettingsStore.h"
#include "app/TabControl.h"
#include "platform/Platform.h"
#include "scan/Category.h"
#include "scan/Controls.h"
#include "scan/IgnoreList.h"
#include "scan/Pacer.h"
#include "scan/Paths.h"
#include "scan/ResultList.h"
#include "scan/ScanContext.h"

namespace keltora {

struct FindingFate;
class RegistryBackups;
class RegistryOptimizer;
struct RemoveTexts;
class UndoJournal;
class UndoRepairs;

// The two totals of the summary list: every category row, and the privacy rows alone.
struct Totals {
    int errors = 0;
    int privacy = 0;
};

// What a repair pass did: whether it ran at all (it does not without counts), whether the
// backup it needed failed (then nothing was removed), and the outcomes of its removals.
struct RepairResult {
    bool ran = false;
    bool backupFailed = false;
    RemovalTally tally;
};

class TForm1 {
public:
    TForm1(Platform& platform, AppHost& host, double pace = 1.0);
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // --- controls the logic drives ---
    Label statustext{"statustext", ""};
    ProgressBar PB{"PB"};
    CountBox Oberror{"Oberror"};
    CountBox obpriv{"obpriv"};
    Timer Timer1{"Timer1", 1000};
    Timer Timer3{"Timer3", 1000};
    Button OBhelp{"OBhelp"};
    ResultList lvall{"lvall"};
    std::array<Button, 4> OBall{Button{"OBall1", "Unselect All"}, Button{"OBall2", "Scan Your PC Now"},
                                Button{"OBall3", "Detail Items"}, Button{"OBall4", "Repair Errors Now !"}};
    // The shared page's buttons: Select All / Unselect All, "Ignore Items" (no action),
    // "Remove Checked Items", "Refresh".
    std::array<Button, 4> OBhis{Button{"OBhis1", "Unselect All"}, Button{"OBhis2", "Ignore Items"},
                                Button{"OBhis3", "Remove Checked Items"}, Button{"OBhis4", "Refresh"}};
    ResultList LVbackup{"LVbackup", false};
    Label labeldeep{"labeldeep"};
    Label labelnode{"labelnode"};
    Label labelvalues{"labelvalues"};
    // The ignored-items page: one tab per ignore list (Navigation.h, kIgnoredTabs).
    TabControl pcignored{"pcignored", IgnoredTabCaptions()};
    // "Remove Ignored Key" of the tabs that have one, in tab order.
    std::vector<std::unique_ptr<Button>> obremoveignored;
    // The pages of the "More Options" side-bar group (Navigation.cpp).
    Button OBscanpc{"OBscanpc", "Back to Main Menu"};
    std::array<Button, 3> OBbackups{Button{"OBbackup", "Create Backup Now"},
                                    Button{"OBrestorebackup", "Restore Selected Backup"},
                                    Button{"OBdeletebackup", "Delete Selected"}};
    // The Undo Repairs page: the journals, newest first, and what can be done with one.
    ResultList LVundo{"LVundo", false};
    std::array<Button, 2> OBundos{Button{"OBundo", "Undo Selected"}, Button{"OBdeleteundo", "Delete Selected"}};
    Control Panelabout{"Panelabout"};  // holds the about part Panel3 and the optimizer part Panel4
    Control Panel3{"Panel3"};
    Control Panel4{"Panel4"};
    ProgressBar PBHive{"PBHive"};
    ProgressBar PBNodes{"PBNodes"};
    Label Hivetext{"Hivetext"};
    Button OBoptimize{"OBoptimize", "Optimize Now"};
    Button OBhomepage{"OBhomepage", "Visit Homepage"};
    Button OBproupdate{"OBproupdate", "Update Keltora Pro"};
    // The side bar's buttons, in the order of kSideBar (Navigation.h): "CB1Item0" ...
    std::vector<std::unique_ptr<Button>> sideBar;
    Control paneloption{"paneloption"};
    Control GroupBox1{"GroupBox1", "Advanced Settings"};
    Control GroupBox2{"GroupBox2", "Display Settings"};
    // The option check boxes, in the order of the settings table (autoscan has none).
    std::map<Setting, std::unique_ptr<CheckBox>> options;

    // --- state ---
    Paths paths;
    SettingsStore settings;
    int lastCount = 0;
    RemovalTally lastRemoval;
    int pageType = 0;
    bool autoscanOnStart = true;
    // Told, after each category's removal, what became of every finding its list held before
    // (orchestration/RemovalReport.h); none: nobody asks, and the removals keep no records.
    std::function<void(const Category&, const std::vector<FindingFate>&)> onRemoval;

    Category& category(std::string_view code);
    const std::vector<std::unique_ptr<Category>>& categories() const { return categories_; }
    IgnoreList* ignoreList(std::string_view code);
    Pacer& pacer() { return pacer_; }
    ScanContext& context() { return context_; }

    // --- life cycle ---
    void FormCreate();
    void FormClose();
    void FormDestroy();

    // --- the page and list handlers every category shares ---
    void HiddenLV();
    void visitPage(Category& category);
    void refresh(Category& category);
    void selectAll(Category& category);
    void ignoreItems(Category& category);
    void removeChecked(Category& category);
    // A category's removal action as every command starts it. In a process that runs as another
    // account than the signed-in user's, one user's data is left in place, and in a process
    // without an administrator's token the machine's; the user is told
    // (orchestration/UserData.cpp).
    RemovalTally removeCategory(Category& category);
    void showCountBox(std::size_t findings);
    void Timer1Timer();
    void Timer3Timer();
    void optionClick(Setting setting);

    // --- named handlers ---
    void RunningWhileStartup1Click() { visitPage(category("sp")); }
    void StartupExecute() { category("sp").scan(); }
    void removespExecute() { removeCategory(category("sp")); }
    void OBsp1Click() { selectAll(category("sp")); }
    void OBsp2Click() { ignoreItems(category("sp")); }
    void OBsp3Click() { removeChecked(category("sp")); }
    void OBsp4Click() { refresh(category("sp")); }

    // --- navigation (Navigation.cpp) ---
    void showSummaryPage();
    void CB1Categories0Items0Click();  // registry menu
    void CB1Categories0Items1Click();  // privacy menu
    void CB1Categories1Items0Click();  // backup page
    void CB1Categories1Items1Click();  // about page
    void CB1Categories1Items2Click();  // settings page
    void CB1Categories1Items3Click();  // optimizer page
    void CB1Categories1Items4Click();  // ignored-items page
    void CB1Categories1Items5Click();  // undo page
    void showIgnoredTab(std::size_t tab);
    void removeIgnored(std::string_view code);
    void OBhomepageClick();
    void OBproupdateClick();
    void OBhelpClick();
    void ShowWindow1Click();
    void Exit1Click();
    // Minimizing the window: down to the tray alone when both the tray icon and hiding the
    // taskbar button are asked for.
    void Minimize1Click();
    // Selecting a row of the summary list enables "Detail Items".
    void lvallSelectItem();
    // "Detail Items": the page of the selected summary row's category (row 0: the backups).
    void OBall3Click();
    Button* removeIgnoredButton(std::string_view code);

    // --- summary page, repair, backups, optimizer (orchestration/SummaryPage.cpp) ---
    void OBall1Click();  // Select All / Unselect All of the summary list, row 0 included
    void OBall2Click();  // "Scan Your PC Now"
    // The full scan; with mayRepair the repair pass follows when the settings ask for it.
    void fullScan(bool mayRepair);
    void OBall4Click();  // "Repair Errors Now !"
    RepairResult repairPass();
    // Runs a category's removal; its outcomes, every checked finding still listed counted as left,
    // and how many checked findings were one user's data held back (see removeCategory).
    RemovalTally removeFrom(Category& category, std::size_t* heldBack = nullptr);
    void OBscanpcClick();  // "Back to Main Menu"
    // The registry backup; false when none was made (the user has been told why).
    bool backupregExecute();
    void OBbackupClick();
    void OBrestorebackupClick();
    void OBdeletebackupClick();
    void fillBackupList();
    void optimizeExecute();
    void OBoptimizeClick();
    Totals totals() const;

    // --- undo (orchestration/UndoPage.cpp) ---
    // Where every registry change of a removal is journaled before it is made.
    UndoJournal& undoJournal() { return *undo_; }
    void OBundoClick();        // "Undo Selected"
    void OBdeleteundoClick();  // "Delete Selected"
    void fillUndoList();

    // A command by the name of its handler or control ("RunningWhileStartup1Click", "OBsp3Click",
    // "StartupExecute" ...). A command that conflicts with the one running (CommandGroups.h) is
    // refused; its controls show disabled meanwhile. False when refused or unknown.
    bool invoke(std::string_view handler);
    // Whether there is such a command, and whether it could start now.
    bool has(std::string_view handler) const { return commands_.find(handler) != commands_.end(); }
    bool mayRun(std::string_view handler) const;
    bool busy() const { return busy_; }
    // The handler of the Refresh button of the page shown (what F5 runs); empty when it has none.
    std::string refreshHandler() const;

    // Runs a command that changes anything (a removal, an ignore-list write, a backup, a restore,
    // a delete) holding the cross-process command lock, so that no other Keltora program changes
    // things meanwhile; nested commands share the hold. When another program holds the lock, it
    // waits up to waitMs (calling whileWaiting once, when it starts to wait); when it still cannot
    // have it, the user is told and nothing runs (false). The window does not wait: a click that
    // hung without a word while a console command runs for minutes would look like a frozen
    // window, so it says at once why nothing happened.
    bool underCommandLock(const std::function<void()>& command, std::uint32_t waitMs = 0,
                          const std::function<void()>& whileWaiting = {});
    static constexpr std::uint32_t kLockPollMs = 250;
    static constexpr const char* kLockBusy =
        "Another Keltora program (a window or a console command) is changing things right now. Nothing was done; "
        "try again when it has finished.";

    void setSummaryCount(int row, int count);

private:
    void buildSummaryList();
    void applySettings();
    // Writes or deletes the Run entry as loadwithwin says; the OrTell form shows a failure and
    // goes on, as start-up and the window's end must.
    void alignRunEntry(bool on);
    void alignRunEntryOrTell(bool on);
    void createFolders();
    struct Command {
        std::function<void()> run;
        CommandGroup group;
    };
    void addCommand(std::string name, CommandGroup group, std::function<void()> run);
    void addCommand(std::string name, CommandGroup group, void (TForm1::*handler)());
    // Runs a command that changes the lists, unless one is already running.
    bool exclusive(const std::function<void()>& command);
    // Each control that runs a command, with the command's handler; their controls show
    // disabled while a running command keeps that command from starting.
    void collectCommandControls();
    void holdCommands(std::optional<CommandGroup> running);
    // Whether the page shown is still the one shown when `serial` was read (HiddenLV counts
    // every page change): a command that let others run shows its results only on its own page.
    bool pageStillShown(unsigned serial) const { return pageSerial_ == serial; }
    void registerHandlers();
    void setUpNavigation();
    void setUpSummaryPage();
    void setUpUndoPage();
    void showTotals(bool fullScanTexts);
    void runStep(const std::function<void()>& step);
    // The backup of row 0 before a repair; false (the user told) when it failed. The totals are
    // shown again only when the page the repair started on is still shown.
    bool backupBeforeRepair(unsigned page);
    // The removal action with one user's data held back where the process is another account's,
    // and the machine's where it has no administrator's token; how many checked findings were one
    // user's data held back (the categories that kept the machine's are noted for the user).
    std::size_t removeForThisUser(Category& category);
    // Tells the user of the categories that kept what needs an administrator's token, once.
    void tellHeldForRights();
    void hideNavigationPages();
    void removeCheckedLocked(Category& c, const RemoveTexts& texts);
    void restoreSelected();

    Platform& platform_;
    std::vector<std::string> heldForRights_;  // categories whose removal left what needs the token
    AppHost& host_;
    Pacer pacer_;
    ScanContext context_;
    std::vector<std::unique_ptr<IgnoreList>> ignoreLists_;
    std::vector<std::unique_ptr<Category>> categories_;
    std::map<std::string, Command, std::less<>> commands_;
    std::vector<std::pair<Control*, std::string>> commandControls_;
    std::optional<CommandGroup> running_;
    unsigned pageSerial_ = 0;
    bool busy_ = false;
    int lockDepth_ = 0;  // how deep the running command holds the command lock
    std::unique_ptr<RegistryBackups> backups_;
    std::unique_ptr<RegistryOptimizer> optimizer_;
    std::unique_ptr<UndoJournal> undo_;
    std::unique_ptr<UndoRepairs> undoPage_;
};

}  // namespace keltora
