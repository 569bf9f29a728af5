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

TEST(Clipboard, RemovalEmptiesWhateverIsChecked) {
    World world;
    world.machine.clipboard.putText("one");
    world.machine.clipboard.putBitmap();
    TForm1& form = world.start();
    Invoke(form, "Clipboard1Click");
    form.category("clip").list().setChecked(0, false);
    world.machine.clock.reset();
    Invoke(form, "OBhis3Click");
    EXPECT_TRUE(form.category("clip").list().empty());
    EXPECT_EQ(world.machine.clipboard.emptyings(), 1);
    EXPECT_FALSE(world.machine.clipboard.contents().hasText);
    EXPECT_EQ(form.lastCount, 0);
    EXPECT_EQ(form.Oberror.caption(), "No Errors Found");
    EXPECT_EQ(form.statustext.caption(), "  Status : Repaired Clipboard");
    EXPECT_EQ(world.machine.clock.totalMs(), 0u);
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
                      world.machine.account};
    TForm1 form(platform, world.host);
    form.FormCreate();
    Invoke(form, "clipExecute");
    Invoke(form, "removeclipExecute");
    EXPECT_EQ(Captions(form.category("clip").list()), (std::vector<std::string>{"back again"}));
    EXPECT_EQ(form.lastCount, 1);
}

}  // namespace
}  // namespace keltora::testing
