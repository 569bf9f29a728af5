#include <gtest/gtest.h>

#include "RegistryTestSupport.h"

namespace keltora::testing {
namespace {

// Two findings for each of the five categories. The servers are bare names, which the deep
// analysis, walking the classes below the machine's SOFTWARE, does not take for paths.
const std::string kClutter = R"reg([HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Dead1]

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Dead2]
@="no registration"

[HKEY_CLASSES_ROOT\.dead1]

[HKEY_CLASSES_ROOT\.dead2]
@=""

[HKEY_CLASSES_ROOT\CLSID\{1}\InprocServer32]
@="gone-one.dll"

[HKEY_CLASSES_ROOT\CLSID\{2}\InprocServer32]
@="gone-two.dll"

[HKEY_CURRENT_USER\Software\Stale]
"One"="C:\\Gone\\one.exe"
"Two"="C:\\Gone\\two.exe"
)reg";

struct Page {
    const char* code;
    const char* visit;
    const char* scanned;
    int summaryRow;
    const char* buttons[4];  // Select All, Ignore Items, Remove Checked Items, Refresh
    const char* repaired;
    bool ignores;
};

const Page kPages[] = {
    {"ue", "UninstallerBugs1Click", "Status : Scanned Uninstaller Bugs", 2, {"OBue1", "obue2", "OBue3", "OBue4"},
     "Status : Repaired Uninstalls", true},
    {"fe", "UnusedExtensions1Click", "Status : Scanned Unused Extension", 3, {"OBfe1", "obfe2", "OBfe3", "OBfe4"},
     "Status : Repaired File Associations", true},
    {"ax", "MissingActiveXandDLLs1Click", "Status : Scanned ActiveX and DLLs", 4, {"OBax1", "obax2", "OBax3", "OBax4"},
     "Status : Repaired DLLs/ActiveX", true},
    {"pc", "RecentDocuments2Click", "Status : Scanned Recent Documents", 10, {"OBpc1", "obpc2", "OBpc3", "OBpc4"},
     "Status : Repaired Recent Documents", true},
    {"da", "ProgressiveClick", "Status : Progressive Analyzing Completed", 20, {"OBda1", "OBda2", "OBda3", "OBda4"},
     "Status : Repaired Invalid Filepaths", false},
};

std::string Click(const char* button) { return std::string(button) + "Click"; }

TEST(RegistryPages, EachPageScansOnceSelectsIgnoresRemovesAndRefreshes) {
    for (const auto& page : kPages) {
        SCOPED_TRACE(page.code);
        World world(RegText(kClutter));
        AddBaseFolders(world);
        world.touch("C:\\Users\\pat\\Recent\\a.lnk");
        world.touch("C:\\Users\\pat\\Recent\\b.lnk");
        TForm1& form = world.start();
        Category& category = form.category(page.code);
        ASSERT_TRUE(form.invoke(page.visit));
        EXPECT_EQ(form.statustext.caption(), page.scanned);
        EXPECT_EQ(form.Oberror.caption(), "2 Errors Found");
        EXPECT_EQ(form.lvall.at(page.summaryRow).subItem(1), "2");
        EXPECT_TRUE(category.list().visible());

        form.invoke(Click(page.buttons[0]));
        EXPECT_EQ(category.buttons[0]->caption(), "Select All");
        for (const auto& finding : category.list().findings()) EXPECT_FALSE(finding.checked);
        form.invoke(Click(page.buttons[0]));
        EXPECT_EQ(category.buttons[0]->caption(), "Unselect All");

        category.list().select(0);
        form.invoke(Click(page.buttons[1]));
        const std::size_t kept = page.ignores ? 1u : 2u;
        EXPECT_EQ(category.list().size(), kept);
        // A second visit shows the list as it is; Refresh scans again, still without the ignored one.
        form.invoke(page.visit);
        EXPECT_EQ(category.list().size(), kept);
        form.invoke(Click(page.buttons[3]));
        EXPECT_EQ(category.list().size(), kept);

        form.invoke(Click(page.buttons[2]));
        EXPECT_TRUE(category.list().empty());
        EXPECT_EQ(form.statustext.caption(), page.repaired);
        EXPECT_EQ(form.Oberror.caption(), "No Errors Found");
        EXPECT_EQ(form.lvall.at(page.summaryRow).subItem(1), "0");
        form.invoke(Click(page.buttons[3]));
        EXPECT_TRUE(category.list().empty());
    }
}

// n findings of a category, as .reg text, or as shortcut files for the Recent folder.
std::string Uninstalls(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\U" + std::to_string(i) + "]\n";
    return text;
}
std::string Extensions(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "[HKEY_CLASSES_ROOT\\.e" + std::to_string(i) + "]\n";
    return text;
}
std::string Classes(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "[HKEY_CLASSES_ROOT\\CLSID\\{" + std::to_string(i) + "}\\InprocServer32]\n@=\"gone.dll\"\n";
    return text;
}
std::string None(int) { return {}; }

// The pace the user sees: 30 ms per step of the ramps, per finding where the category pauses for
// one, and a bar that climbs one step per finding up to a limit and waits there.
TEST(RegistryPacing, RampsFindingPausesAndTheBarLimit) {
    struct Row {
        const char* code;
        const char* scan;
        const char* remove;
        std::string (*findings)(int);
        unsigned emptySteps;
        int barLimit;  // 0: the bar does not climb per finding
        int shortcuts;
    };
    const Row rows[] = {
        {"ue", "UninstallExecute", "removeueExecute", Uninstalls, 62, 70, 0},
        {"fe", "FileExtExecute", "removefeExecute", Extensions, 72, 60, 0},
        {"ax", "ActiveXExecute", "removeaxExecute", Classes, 62, 70, 0},
        {"pc", "PrivacyExecute", "removepcExecute", None, 101, 0, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        World empty;
        empty.start().invoke(row.scan);
        EXPECT_EQ(empty.machine.clock.totalMs(), row.emptySteps * 30u);

        // Five more findings than the bar has room for, or five shortcuts.
        const int n = row.barLimit > 0 ? row.barLimit - 30 + 5 : row.shortcuts;
        World world(RegText(row.findings(n)));
        for (int i = 0; i < row.shortcuts; ++i) world.touch("C:\\Users\\pat\\Recent\\d" + std::to_string(i) + ".lnk");
        TForm1& form = world.start();
        BarRecorder bar(form.PB);
        const auto before = world.machine.clock.totalMs();
        form.invoke(row.scan);
        ASSERT_EQ(form.category(row.code).list().size(), static_cast<std::size_t>(n));
        const unsigned pauses = row.barLimit > 0 ? static_cast<unsigned>(n) : 0u;
        EXPECT_EQ(world.machine.clock.totalMs() - before, (row.emptySteps + pauses) * 30u);
        auto climbed = Climb(1, 100);
        climbed.push_back(0);
        EXPECT_EQ(bar.positions, climbed);

        // With two findings the bar jumps from 32 to the limit for the closing run.
        if (row.barLimit > 0) {
            World few(RegText(row.findings(2)));
            TForm1& quick = few.start();
            BarRecorder jump(quick.PB);
            quick.invoke(row.scan);
            auto expected = Climb(1, 32);
            for (int position : Climb(row.barLimit, 100)) expected.push_back(position);
            expected.push_back(0);
            EXPECT_EQ(jump.positions, expected);
        }
        // A removal ramps 0 to 30 and 30 to 100.
        const auto removing = world.machine.clock.totalMs();
        form.invoke(row.remove);
        EXPECT_EQ(world.machine.clock.totalMs() - removing, 102u * 30u);
    }
}

// A repeated extension that is dropped again still costs its pause.
TEST(RegistryPacing, ADroppedRepeatStillPauses) {
    World world(RegText("[HKEY_CLASSES_ROOT\\.abc]\n\n[HKEY_CLASSES_ROOT\\XABC]\n"));
    TForm1& form = world.start();
    form.invoke("FileExtExecute");
    EXPECT_EQ(form.category("fe").list().size(), 1u);
    EXPECT_EQ(world.machine.clock.totalMs(), (72u + 2u) * 30u);
}

}  // namespace
}  // namespace keltora::testing
