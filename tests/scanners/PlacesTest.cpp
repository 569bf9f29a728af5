// The places of today's Windows on the memory backend: the rules of the table (age, masks,
// exclusions, links, roots), the one removal (in use, re-checked reasons, emptied folders) and
// the categories' pages.
#include <gtest/gtest.h>

#include <algorithm>

#include "scanners/PrivacyMachine.h"

namespace keltora::testing {
namespace {

const std::string kLocal = "C:\\Users\\pat\\AppData\\Local\\";
const std::string kRoaming = "C:\\Users\\pat\\AppData\\Roaming\\";
const std::string kTemp = kLocal + "Temp\\";
const std::string kCrashDumps = kLocal + "CrashDumps\\";
constexpr std::uint64_t kNow = FakeClock::kDefaultSystemTime;

std::uint64_t hoursAgo(int hours) { return kNow - static_cast<std::uint64_t>(hours) * kFileTimeHour; }

// A Windows 10 profile: no "Local Settings" value, the temporary folder below Local AppData.
class Places : public ::testing::Test {
protected:
    Places() : world(WithoutShellFolder("Local Settings")) {
        world.machine.files.temporaryPath = u"C:\\Users\\pat\\AppData\\Local\\Temp";
        world.files().createDirectories(kTemp);
    }
    // A file written so many hours ago.
    void file(const std::string& path, int hours = 48) {
        world.machine.files.addFile(path, 100);
        world.machine.files.setLastWritten(path, hoursAgo(hours));
    }
    std::vector<std::string> scan(const std::string& code) {
        if (!world.form) world.start();
        Invoke(*world.form, std::string(FindCategory(code)->scanAction));
        return Paths(list(code));
    }
    void remove(const std::string& code) { Invoke(*world.form, std::string(FindCategory(code)->removeAction)); }
    const ResultList& list(const std::string& code) { return world.form->category(code).list(); }
    void uncheck(const std::string& code, const std::string& path) {
        const auto paths = Paths(list(code));
        const auto row = std::find(paths.begin(), paths.end(), path) - paths.begin();
        ASSERT_LT(static_cast<std::size_t>(row), paths.size()) << path;
        world.form->category(code).list().setChecked(static_cast<std::size_t>(row), false);
    }
    std::string note(const std::string& code) { return world.form->category(code).notLookedAt(); }
    World world;
};

TEST_F(Places, UserTempListsOldFilesBelowItAndLeavesTmpFilesToTheTemporaryFiles) {
    file(kTemp + "old.log");
    file(kTemp + "setup.tmp");  // the temporary-files category lists it
    file(kTemp + "new.log", 2);
    file(kTemp + "Sub\\deep\\old.bin");
    file(kTemp + "Sub\\deep.tmp");  // below the folder: only this category lists it
    EXPECT_EQ(scan("utemp"), (std::vector<std::string>{kTemp + "old.log", kTemp + "Sub\\deep.tmp",
                                                       kTemp + "Sub\\deep\\old.bin"}));
    const auto& found = list("utemp");
    EXPECT_EQ(found.columns(), (std::vector<Column>{{"File Names", 180}, {"Repair Report", 140}, {"Detail Info", 220},
                                                    {"Path Location", 250}, {"Size", 100}}));
    EXPECT_EQ(found.at(0).subItems, (std::vector<std::string>{"Privacy Threat(Remove)",
                                                              "Temporary file not written for a while", kTemp,
                                                              "100 bytes"}));
    EXPECT_EQ(scan("temp"), std::vector<std::string>{kTemp + "setup.tmp"});
}

TEST_F(Places, TheAgeBoundIsASettingInHours) {
    struct Row {
        const char* setting;  // nullptr: none
        int hours;            // how long ago the file was written; negative: in the future
        bool listed;
    };
    const Row rows[] = {
        {nullptr, 25, true}, {nullptr, 23, false}, {"0", 0, true},      {"0", -5, true},
        {"48", 30, false},   {"48", 49, true},     {"abc", 25, true},   {"-1", 23, false},
        {"", 23, false},     {"1 ", 2, false},      {"99999999999", 25, true},
    };
    for (const auto& row : rows) {
        World machine(WithoutShellFolder("Local Settings"));
        machine.machine.files.temporaryPath = u"C:\\Users\\pat\\AppData\\Local\\Temp";
        if (row.setting)
            machine.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n"
                         "\"utempminhours\"=\"" + std::string(row.setting) + "\"\n");
        machine.machine.files.addFile(kTemp + "f.log", 1);
        machine.machine.files.setLastWritten(kTemp + "f.log",
                                             row.hours >= 0 ? hoursAgo(row.hours) : kNow + kFileTimeHour * 5);
        Invoke(machine.start(), "utempExecute");
        EXPECT_EQ(machine.form->category("utemp").list().size(), row.listed ? 1u : 0u)
            << (row.setting ? row.setting : "none") << " " << row.hours;
    }
}

// A known folder that is not one to list lists nothing and the page says which; a folder that is
// simply not there lists nothing and says nothing. Local AppData is the user's to redirect, so it
// is listed only inside the user's profile folder (the profile rule), which the user is told.
TEST_F(Places, AKnownFolderThatIsNoFolderToListSaysWhy) {
    struct Row {
        std::u16string local;  // what the system reports as Local AppData
        bool crashDumpsLink;   // CrashDumps below it is a junction to a folder outside
        std::size_t listed;
        const char* said;  // part of the note; empty: no note
        bool told;         // the profile rule's message
    };
    const Row rows[] = {
        {u"C:\\Users\\pat\\AppData\\Local", false, 1, "", false},
        {u"C:\\Users\\pat\\AppData\\Elsewhere", false, 0, "", false},
        {u"", false, 0, "Not looked at: Local AppData\\CrashDumps: the system reports no such folder.", false},
        {u"C:\\", false, 0, "\"C:\\\" is a drive root", false},
        {u"AppData\\Local", false, 0, "\"AppData\\Local\" is not a full path of a folder", false},
        {u"C:\\Users\\nobody\\AppData\\Local", false, 0,
         "\"C:\\Users\\nobody\\AppData\\Local\" is passed over: it is not inside the profile folder C:\\Users\\pat", true},
        {u"C:\\Users\\pat", false, 0, "\"C:\\Users\\pat\" is passed over: it is not inside the profile folder", true},
        {u"C:\\Users\\pat\\Linked", false, 0, "\"C:\\Users\\pat\\Linked\" is reached through a link or junction",
         true},
        {u"C:\\Users\\pat\\AppData\\Local", true, 0, "Local AppData\\CrashDumps: a folder on the way is a link", false},
    };
    for (const auto& row : rows) {
        World machine;
        auto& files = machine.machine.files;
        files.addFile("C:\\CrashDumps\\root.dmp", 10);
        files.addFile("C:\\AppData\\Local\\CrashDumps\\relative.dmp", 10);
        files.addFile("C:\\Elsewhere\\CrashDumps\\linked.dmp", 10);
        files.addFile("C:\\Users\\nobody\\AppData\\Local\\CrashDumps\\other.dmp", 10);
        files.addFile("C:\\Users\\pat\\CrashDumps\\profile.dmp", 10);
        files.addFile("C:\\Outside\\outside.dmp", 10);
        files.addLink("C:\\Users\\pat\\Linked", "C:\\Elsewhere");
        if (row.crashDumpsLink) files.addLink(kCrashDumps.substr(0, kCrashDumps.size() - 1), "C:\\Outside");
        else files.addFile(kCrashDumps + "app.dmp", 10);
        machine.machine.shell.setKnownFolder(KnownFolder::LocalAppData, row.local);
        TForm1& form = machine.start();
        Invoke(form, "CrashDumps1Click");
        const Category& found = form.category("cdump");
        const std::string where = machine.machine.codePage.toAnsi(row.local);
        EXPECT_EQ(found.list().size(), row.listed) << where;
        const std::string shown = found.note->caption();
        if (std::string(row.said).empty()) EXPECT_EQ(shown, "") << where;
        else EXPECT_NE(shown.find(row.said), std::string::npos) << shown;
        EXPECT_TRUE(found.note->visible());
        EXPECT_EQ(machine.host.messages.size(), row.told ? 1u : 0u) << where;
    }
}

TEST_F(Places, LinksInsideAreNeitherListedNorEntered) {
    world.machine.files.addFile("C:\\Secret\\keep.txt", 5);
    world.machine.files.addFile("C:\\Secret\\Deep\\keep.dmp", 5);
    world.machine.files.addLink(kTemp + "dir", "C:\\Secret");
    world.machine.files.addLink(kTemp + "file.txt", "C:\\Secret\\keep.txt");
    world.machine.files.addLink(kCrashDumps + "x.dmp", "C:\\Secret\\Deep\\keep.dmp");
    file(kTemp + "old.log");
    EXPECT_EQ(scan("utemp"), std::vector<std::string>{kTemp + "old.log"});
    EXPECT_TRUE(scan("cdump").empty());
}

TEST_F(Places, RemovalDeletesCheckedFilesAndTheFoldersItEmptiesBelowThePlaceOnly) {
    file(kTemp + "a.log");
    file(kTemp + "One\\Two\\b.log");
    file(kTemp + "One\\Three\\e.log");  // One is empty only once both below it are
    file(kTemp + "Kept\\c.log");
    file(kTemp + "Kept\\d.log");
    world.files().createDirectories(kTemp + "EmptyBefore");
    scan("utemp");
    uncheck("utemp", kTemp + "Kept\\d.log");
    remove("utemp");
    EXPECT_EQ(Paths(list("utemp")), std::vector<std::string>{kTemp + "Kept\\d.log"});
    EXPECT_FALSE(world.files().exists(kTemp + "One"));
    EXPECT_TRUE(world.files().isDirectory(kTemp + "Kept"));
    EXPECT_TRUE(world.files().isDirectory(kTemp + "EmptyBefore"));
    EXPECT_TRUE(world.files().isDirectory(kTemp));
    EXPECT_EQ(world.form->lastRemoval, (RemovalTally{4, 0, 0, 0}));
    // Crash dumps leave their folder as it is.
    file(kCrashDumps + "app.dmp");
    scan("cdump");
    remove("cdump");
    EXPECT_TRUE(world.files().isDirectory(kCrashDumps));
}

TEST_F(Places, AFileInUseStaysListedAndIsSaid) {
    file(kTemp + "held.log");
    file(kTemp + "free.log");
    world.machine.files.lock(kTemp + "held.log");
    scan("utemp");
    remove("utemp");
    EXPECT_EQ(Paths(list("utemp")), std::vector<std::string>{kTemp + "held.log"});
    EXPECT_TRUE(world.files().exists(kTemp + "held.log"));
    EXPECT_EQ(world.form->lastRemoval, (RemovalTally{1, 0, 0, 1}));
    ASSERT_EQ(world.host.messages.size(), 1u);
    EXPECT_EQ(world.host.messages[0], "A checked file is in use by another program and stays listed: " + kTemp +
                                          "held.log. A running program keeps it open; close that program, then "
                                          "remove the file again.");
}

// The reason is read again right before the act: a file written since the scan, or one that no
// longer lies in a place of the category, is no longer a finding and is not touched.
TEST_F(Places, AReasonThatNoLongerHoldsLeavesTheFileAlone) {
    file(kTemp + "rewritten.log");
    file(kTemp + "plain.log");
    scan("utemp");
    world.machine.files.setLastWritten(kTemp + "rewritten.log", hoursAgo(1));
    remove("utemp");
    EXPECT_TRUE(world.files().exists(kTemp + "rewritten.log"));
    EXPECT_FALSE(world.files().exists(kTemp + "plain.log"));
    EXPECT_EQ(world.form->lastRemoval, (RemovalTally{1, 0, 1, 0}));

    file(kTemp + "moved.log");
    scan("utemp");
    world.machine.files.temporaryPath = u"C:\\Users\\pat\\AppData\\Local\\Temp\\Other";
    world.files().createDirectories(kTemp + "Other");
    remove("utemp");
    EXPECT_TRUE(world.files().exists(kTemp + "moved.log"));
    EXPECT_EQ(world.form->lastRemoval, (RemovalTally{0, 0, 1, 0}));
    EXPECT_TRUE(list("utemp").empty());
}

// A per-user place the profile rule refuses by the time of the removal is no place of the
// category any more: its files stay, and the removal does not tell the rule's message again.
TEST_F(Places, APlaceThatLeavesTheProfileBeforeTheRemovalKeepsItsFiles) {
    file(kTemp + "old.log");
    scan("utemp");
    world.machine.files.temporaryPath = u"C:\\Elsewhere\\Temp";
    world.files().createDirectories("C:\\Elsewhere\\Temp");
    remove("utemp");
    EXPECT_TRUE(world.files().exists(kTemp + "old.log"));
    EXPECT_EQ(world.form->lastRemoval, (RemovalTally{0, 0, 1, 0}));
    EXPECT_TRUE(world.host.messages.empty());
}

// The machine's error reports are the machine's data: a process of another account than the
// signed-in user's removes them, and leaves the user's own reports to that user.
TEST_F(Places, AnotherAccountsProcessRemovesOnlyTheMachinesReports) {
    const std::string machineReport = "C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportQueue\\q\\Report.wer";
    const std::string userReport = kLocal + "Microsoft\\Windows\\WER\\ReportQueue\\q\\Report.wer";
    file(machineReport);
    file(userReport);
    world.machine.account.process = AccountId{"S-1-5-21-1-500", "PC\\admin"};
    EXPECT_EQ(scan("wer").size(), 2u);
    remove("wer");
    EXPECT_FALSE(world.files().exists(machineReport));
    EXPECT_TRUE(world.files().exists(userReport));
    EXPECT_EQ(Paths(list("wer")), std::vector<std::string>{userReport});
}

TEST_F(Places, NamesOfAnyUnicodeAreListedAndRemovedByTheirExactName) {
    const std::u16string chinese = u"C:\\Users\\pat\\AppData\\Local\\CrashDumps\\\u62a5\u544a.dmp";
    const std::u16string emoji = u"C:\\Users\\pat\\AppData\\Local\\CrashDumps\\crash-\U0001F600.dmp";
    world.machine.files.addFile(chinese, 10);
    world.machine.files.addFile(emoji, 10);
    file(kCrashDumps + "??.dmp");  // what the ANSI name of the Chinese one reads as
    ASSERT_EQ(scan("cdump").size(), 3u);
    // Only the two exact names are checked: the file the ANSI text names stays.
    for (std::size_t row = 0; row < list("cdump").size(); ++row)
        world.form->category("cdump").list().setChecked(row, !list("cdump").at(row).exactName.empty());
    remove("cdump");
    EXPECT_FALSE(world.machine.files.hasExact(chinese));
    EXPECT_FALSE(world.machine.files.hasExact(emoji));
    EXPECT_TRUE(world.files().exists(kCrashDumps + "??.dmp"));
}

TEST_F(Places, AnIgnoredFileIsSkippedInItsFolderOnly) {
    file(kTemp + "same.log");
    file(kTemp + "Sub\\same.log");
    scan("utemp");
    world.form->category("utemp").list().select(0);
    Invoke(*world.form, "obutemp2Click");
    EXPECT_EQ(scan("utemp"), std::vector<std::string>{kTemp + "Sub\\same.log"});
    EXPECT_EQ(world.form->ignoreList("utemp")->view().at(0).subItems, std::vector<std::string>{kTemp});
    EXPECT_TRUE(world.files().exists("C:\\Program Files\\Keltora Pro\\Datautemp.dat"));
}

// Each row of the table as Windows 10 lays its places out: what it lists and what it leaves.
TEST_F(Places, EachPlaceListsWhatItsRowsSay) {
    const std::string wer = kLocal + "Microsoft\\Windows\\WER\\";
    const std::string machineWer = "C:\\ProgramData\\Microsoft\\Windows\\WER\\";
    const std::string explorer = kLocal + "Microsoft\\Windows\\Explorer\\";
    const std::string automatic = kRoaming + "Microsoft\\Windows\\Recent\\AutomaticDestinations\\";
    const std::string custom = kRoaming + "Microsoft\\Windows\\Recent\\CustomDestinations\\";
    const std::string inet = kLocal + "Microsoft\\Windows\\INetCache\\";
    struct Row {
        const char* code;
        std::string path;
        bool listed;
    };
    const Row rows[] = {
        {"wer", wer + "ReportArchive\\AppCrash_x\\Report.wer", true},
        {"wer", wer + "ReportQueue\\AppHang_y\\memory.hdmp", true},
        {"wer", machineWer + "ReportArchive\\Kernel_z\\Report.wer", true},
        {"wer", wer + "Temp\\other.tmp", false},
        {"cdump", kCrashDumps + "app.exe.1234.dmp", true},
        {"cdump", kCrashDumps + "readme.txt", false},
        {"cdump", kCrashDumps + "Sub\\deeper.dmp", false},
        {"thumb", explorer + "thumbcache_256.db", true},
        {"thumb", explorer + "iconcache_16.db", true},
        {"thumb", explorer + "ExplorerStartupLog.etl", false},
        {"thumb", explorer + "thumbcache_256.dbx", false},
        {"jump", automatic + "5f7b5f1e01b83767.automaticDestinations-ms", true},
        {"jump", automatic + "F01B4D95CF55D32A.AUTOMATICDESTINATIONS-MS", false},  // the Quick Access pins
        {"jump", custom + "F01B4D95CF55D32A.customDestinations-ms", true},  // only the automatic list is the pins
        {"jump", custom + "9b9cdc69c1c24e2b.customDestinations-ms", true},
        {"jump", custom + "9b9cdc69c1c24e2b.automaticDestinations-ms", false},
        {"inet", inet + "IE\\ABCD1234\\photo[1].jpg", true},
        {"inet", inet + "Low\\IE\\x.htm", true},
        {"inet", inet + "WebCache\\V01.log", false},
        {"inet", inet + "Content.IE5\\AB12CD34\\logo[1].gif", false},  // the Temporary IE category lists it
        {"inet", inet + "Content.IE5\\readme", true},  // which that category's walk takes for a folder
    };
    world.load(ShellFolderValue("Cache", kLocal + "Microsoft\\Windows\\INetCache"));
    for (const auto& row : rows) file(row.path);
    for (const char* code : {"wer", "cdump", "thumb", "jump", "inet"}) {
        std::vector<std::string> expected;
        for (const auto& row : rows)
            if (row.code == std::string(code) && row.listed) expected.push_back(row.path);
        auto listed = scan(code);
        std::sort(listed.begin(), listed.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listed, expected) << code;
        remove(code);
        EXPECT_TRUE(list(code).empty()) << code;
    }
    for (const auto& row : rows) EXPECT_EQ(world.files().exists(row.path), !row.listed) << row.path;
    // Report folders a removal empties go; the report folders' own parents stay.
    EXPECT_FALSE(world.files().exists(wer + "ReportArchive\\AppCrash_x"));
    EXPECT_TRUE(world.files().isDirectory(wer + "ReportArchive"));
}

// The machine's error reports only for a process with an administrator's token.
TEST_F(Places, TheMachinesReportsOnlyWithAnAdministratorsToken) {
    file("C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportQueue\\q\\Report.wer");
    file(kLocal + "Microsoft\\Windows\\WER\\ReportQueue\\q\\Report.wer");
    world.machine.account.isElevated = false;
    EXPECT_EQ(scan("wer"), std::vector<std::string>{kLocal + "Microsoft\\Windows\\WER\\ReportQueue\\q\\Report.wer"});
    world.machine.account.isElevated = true;
    EXPECT_EQ(scan("wer").size(), 2u);
}

TEST_F(Places, EachPageHasItsOwnButtonsAndItsSummaryRow) {
    file(kCrashDumps + "app.dmp");
    TForm1& form = world.start();
    Invoke(form, "CrashDumps1Click");
    const Category& c = form.category("cdump");
    for (const auto& button : c.buttons) EXPECT_TRUE(button->visible()) << button->name();
    EXPECT_FALSE(form.OBhis[0].visible());
    EXPECT_EQ(form.statustext.caption(), "Status : Scanned Crash Dumps");
    EXPECT_EQ(form.Oberror.caption(), "1 Errors Found");
    EXPECT_EQ(form.lvall.at(23).subItem(1), "1");
    Invoke(form, "OBcdump3Click");
    EXPECT_EQ(form.statustext.caption(), "Status : Repaired Crash Dumps");
    EXPECT_EQ(form.lvall.at(23).subItem(1), "0");
    EXPECT_FALSE(world.files().exists(kCrashDumps + "app.dmp"));
}

TEST_F(Places, TheFullScanCountsThePlacesAsPrivacyThreats) {
    file(kCrashDumps + "app.dmp");
    file(kTemp + "old.log");
    TForm1& form = world.start();
    for (std::size_t row = 0; row < form.lvall.size(); ++row) form.lvall.setChecked(row, row > 20);
    Invoke(form, "OBall2Click");
    EXPECT_EQ(form.lvall.at(21).subItem(1), "1");
    EXPECT_EQ(form.lvall.at(23).subItem(1), "1");
    EXPECT_EQ(form.obpriv.caption(), "2 Privacy Threats found");
    EXPECT_EQ(form.Oberror.caption(), "2 Errors found");
    Invoke(form, "OBall4Click");
    EXPECT_EQ(form.obpriv.caption(), "No Privacy Threats found");
    EXPECT_FALSE(world.files().exists(kTemp + "old.log"));
}

}  // namespace
}  // namespace keltora::testing
