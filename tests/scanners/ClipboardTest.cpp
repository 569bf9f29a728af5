#include <gtest/gtest.h>

#include "scanners/PrivacyMachine.h"
#include "scanners/privacy/ClipboardCategory.h"

namespace keltora::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows rowsOf(const ResultList& list) {
    Rows rows;
    for (const auto& finding : list.findings()) {
        rows.push_back({finding.caption});
        rows.back().insert(rows.back().end(), finding.subItems.begin(), finding.subItems.end());
    }
    return rows;
}

TEST(Clipboard, TextImageAndFilesEachGiveTheirFindingsInThatOrder) {
    World world;
    auto& clipboard = world.machine.clipboard;
    clipboard.putFiles({"C:\\one.txt", "C:\\two.doc", std::string(300, 'p')});
    clipboard.putBitmap();
    clipboard.putText("copied words");
    TForm1& form = world.start();
    world.machine.clock.reset();
    Invoke(form, "Clipboard1Click");
    EXPECT_EQ(rowsOf(form.category("clip").list()), (Rows{
                                                         {"copied words", "Remove", "Text File in Clipboard"},
                                                         {"Image File", "Remove", "Image File in Clipboard"},
                                                         {"C:\\one.txt", "Remove", "Path File in Clipboard"},
                                                         {"C:\\two.doc", "Remove", "Path File in Clipboard"},
                                                         {std::string(260, 'p'), "Remove", "Path File in Clipboard"},
                                                     }));
    EXPECT_EQ(form.Oberror.caption(), "5 Errors Found");
    EXPECT_EQ(form.lvall.at(13).subItem(1), "5");
    EXPECT_EQ(world.machine.clock.totalMs(), 101u * 30u);
    EXPECT_EQ(form.category("clip").list().columns(),
              (std::vector<Column>{{"Filename", 250}, {"Repair Report", 100}, {"Detail Info", 150}}));
}

TEST(Clipboard, AnEmptyClipboardGivesNoFinding) {
    World world;
    Invoke(world.start(), "Clipboard1Click");
    EXPECT_EQ(world.form->Oberror.caption(), "No Errors Found");
}

TEST(Clipboard, HeldOpenElsewhereStopsThePageVisitWithItsMessage) {
    World world;
    world.machine.clipboard.putText("secret");
    world.machine.clipboard.holdOpen(true);
    TForm1& form = world.start();
    try {
        form.invoke("Clipboard1Click");
        ADD_FAILURE() << "the visit went on";
    } catch (const EClipboardException& e) {
        EXPECT_STREQ(e.what(), "Cannot open clipboard");
    }
    EXPECT_FALSE(form.category("clip").scannedOnce);
    EXPECT_FALSE(form.busy());
    EXPECT_EQ(form.statustext.caption(), "Status : Scanning Clipboard");
    // Once the other program lets go, the next visit scans again.
    world.machine.clipboard.holdOpen(false);
    Invoke(form, "Clipboard1Click");
    EXPECT_EQ(Captions(form.category("clip").list()), (std::vector<std::string>{"secret"}));
}

// A partial clear is not possible: the clipboard is emptied only when every finding is checked,
// and only while it holds what was listed; otherwise it is left alone and the user is told why.
TEST(Clipboard, RemovalHonoursTheCheckBoxesAsAWhole) {
    struct Row {
        bool allChecked;
        bool changedMeanwhile;
        bool emptied;
    };
    for (const Row row : {Row{true, false, true}, Row{false, false, false}, Row{true, true, false}}) {
        World world;
        world.machine.clipboard.putText("one");
        world.machine.clipboard.putBitmap();
        TForm1& form = world.start();
        Invoke(form, "Clipboard1Click");
        form.category("clip").list().setChecked(0, row.allChecked);
        if (row.changedMeanwhile) world.machine.clipboard.putText("two");
        world.machine.clock.reset();
        Invoke(form, "OBhis3Click");
        EXPECT_EQ(world.machine.clipboard.emptyings(), row.emptied ? 1 : 0);
        EXPECT_EQ(world.machine.clipboard.contents().hasText, !row.emptied);
        EXPECT_EQ(form.category("clip").list().size(), row.emptied ? 0u : 2u);
        EXPECT_EQ(world.host.messages.size(), row.emptied ? 0u : 1u);
        EXPECT_EQ(form.statustext.caption(), "  Status : Repaired Clipboard");
        if (row.changedMeanwhile) {
            EXPECT_EQ(form.category("clip").list().at(0).caption, "two");
        }
    }
}

// Other programs hold the clipboard for moments: it is tried a few times, pausing between tries.
TEST(Clipboard, OpenedWithAShortBoundedRetry) {
    for (const int heldFor : {2, ClipboardCategory::kOpenAttempts}) {
        World world;
        world.machine.clipboard.putText("words");
        world.machine.clipboard.holdOpen(true);
        int pauses = 0;
        world.machine.clock.onSleep = [&](std::uint32_t) {
            if (++pauses == heldFor) world.machine.clipboard.holdOpen(false);
        };
        TForm1& form = world.start(0.0);  // no pacing: every pause is a retry
        auto& clip = form.category("clip");
        if (heldFor < ClipboardCategory::kOpenAttempts) {
            clip.scan();
            EXPECT_EQ(Captions(clip.list()), (std::vector<std::string>{"words"}));
        } else {
            EXPECT_THROW(clip.scan(), EClipboardException);
        }
        EXPECT_EQ(pauses, std::min(heldFor, ClipboardCategory::kOpenAttempts - 1));
    }
}

TEST(Clipboard, RemovalWhileHeldOpenLeavesTheListAsItWas) {
    World world;
    world.machine.clipboard.putText("one");
    TForm1& form = world.start();
    Invoke(form, "clipExecute");
    world.machine.clipboard.holdOpen(true);
    EXPECT_THROW(form.invoke("removeclipExecute"), EClipboardException);
    EXPECT_EQ(Captions(form.category("clip").list()), (std::vector<std::string>{"one"}));
    EXPECT_TRUE(world.machine.clipboard.contents().hasText);
}

// A clipboard that another program fills again as soon as it is emptied.
class RefilledClipboard : public MemoryClipboard {
public:
    bool empty() override {
        MemoryClipboard::empty();
        putText("back again");
        return true;
    }
};

TEST(Clipboard, AfterRemovalTheListShowsWhatTheClipboardHolds) {
    World world;
    RefilledClipboard clipboard;
    clipboard.putText("first");
    Platform platform{world.machine.registry, world.machine.files, world.machine.shell, clipboard, world.machine.clock, world.machine.codePage,
                      world.machine.account, world.machine.commandLock};
    TForm1 form(platform, world.host);
    form.FormCreate();
    Invoke(form, "clipExecute");
    Invoke(form, "removeclipExecute");
    EXPECT_EQ(Captions(form.category("clip").list()), (std::vector<std::string>{"back again"}));
    EXPECT_EQ(form.lastCount, 1);
}

// Windows' clipboard history keeps its own copies of what was copied. While it is on and the
// clipboard holds something, it is a finding of its own: cleared with the clipboard where Windows
// offers its interface; where it does not, or Windows refuses, the finding stays listed as left
// and the user is told that the copies are still there; unchecked, it is left alone. The page's
// note says which of these holds.
TEST(Clipboard, TheHistoryIsClearedWhereWindowsOffersItAndOtherwiseStaysAndIsSaid) {
    struct Row {
        ClipboardHistory history;
        bool refuseClear;
        bool checked;         // the history's finding at the removal
        const char* report;   // its "Repair Report"; none: no finding
        const char* note;     // a part of the page's note
        int clears;           // of the history
        RemovalTally tally;   // the clipboard's text and the history
        const char* told;     // a part of what the user is told; none: nothing
    };
    const Row rows[] = {
        {ClipboardHistory::None, false, true, nullptr, "keeps no clipboard history", 0, {1, 0, 0, 0}, nullptr},
        {ClipboardHistory::Clearable, false, true, "Remove", "removing its finding clears it too", 1, {2, 0, 0, 0},
         nullptr},
        {ClipboardHistory::Clearable, true, true, "Remove", "clears it too", 0, {1, 0, 0, 1}, "Windows did not clear it"},
        {ClipboardHistory::Kept, false, true, "Clear it in Win+V", "copies this program cannot clear", 0, {1, 0, 0, 1},
         "cannot clear it"},
        {ClipboardHistory::Clearable, false, false, "Remove", "clears it too", 0, {1, 0, 0, 0}, nullptr},
    };
    for (const auto& row : rows) {
        World world;
        world.machine.clipboard.putText("secret");
        world.machine.clipboard.setHistory(row.history, row.refuseClear);
        TForm1& form = world.start();
        Invoke(form, "Clipboard1Click");
        auto& clip = form.category("clip");
        EXPECT_NE(clip.note->caption().find(row.note), std::string::npos) << clip.note->caption();
        Rows expected{{"secret", "Remove", "Text File in Clipboard"}};
        if (row.report) expected.push_back({"Clipboard History (Win+V)", row.report, "Copies Kept by Windows"});
        ASSERT_EQ(rowsOf(clip.list()), expected);
        if (row.report) clip.list().setChecked(1, row.checked);

        Invoke(form, "OBhis3Click");
        EXPECT_FALSE(world.machine.clipboard.contents().hasText);
        EXPECT_EQ(world.machine.clipboard.historyClears(), row.clears);
        EXPECT_EQ(form.lastRemoval, row.tally);
        const bool stays = row.report && row.clears == 0;
        EXPECT_EQ(Captions(clip.list()), stays ? std::vector<std::string>{"Clipboard History (Win+V)"}
                                               : std::vector<std::string>{});
        if (stays) {
            EXPECT_EQ(clip.list().at(0).checked, row.checked);
        }
        EXPECT_EQ(form.Oberror.caption(), stays ? "1 Errors Found" : "No Errors Found");
        ASSERT_EQ(world.host.messages.size(), row.told ? 1u : 0u);
        if (row.told) {
            EXPECT_NE(world.host.messages[0].find(row.told), std::string::npos) << world.host.messages[0];
        }
    }
    // With nothing on the clipboard the history gives no finding.
    World world;
    world.machine.clipboard.setHistory(ClipboardHistory::Kept);
    Invoke(world.start(), "Clipboard1Click");
    EXPECT_TRUE(world.form->category("clip").list().empty());
}

}  // namespace
}  // namespace keltora::testing
