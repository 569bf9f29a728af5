#include <gtest/gtest.h>

#include "scanners/PrivacyMachine.h"
#include "scanners/privacy/RecycleBin.h"

namespace keltora::testing {
namespace {

struct BinRow {
    std::optional<std::uint32_t> shell32;
    bool binAvailable;
    std::vector<std::int64_t> items;
    std::vector<std::string> finding;  // caption, repair report, total size; empty: no finding
};

TEST(RecycleBin, OneFindingForWhatAllBinsHold) {
    const BinRow rows[] = {
        {0x00060000, true, {512, 1024, 0}, {"3 files in Recycle Bin", "Remove", "1.50 KB"}},
        {0x00040048, true, {10}, {"1 files in Recycle Bin", "Remove", "10 bytes"}},
        {0x00060000, true, {3ll << 30, 2ll << 30}, {"2 files in Recycle Bin", "Remove", "5.00 GB"}},
        {0x00060000, true, {}, {}},
        {0x00040047, true, {10}, {}},  // older than 4.72
        {std::nullopt, true, {10}, {}},
        {0x00060000, false, {10}, {}},
    };
    for (const auto& row : rows) {
        World world;
        world.machine.shell.setShell32Version(row.shell32);
        world.machine.shell.setRecycleBinAvailable(row.binAvailable);
        for (auto size : row.items) world.machine.shell.recycle("item", size);
        TForm1& form = world.start();
        Invoke(form, "RecycleBin2Click");
        const auto& list = form.category("bin").list();
        const std::size_t count = row.finding.empty() ? 0 : row.items.size();
        ASSERT_EQ(list.size(), row.finding.empty() ? 0u : 1u) << row.items.size();
        if (!row.finding.empty()) {
            EXPECT_EQ(list.at(0).caption, row.finding[0]);
            EXPECT_EQ(list.at(0).subItems, (std::vector<std::string>{row.finding[1], row.finding[2]}));
        }
        EXPECT_EQ(form.lastCount, static_cast<int>(count));
        EXPECT_EQ(form.lvall.at(11).subItem(1), std::to_string(count));
        EXPECT_EQ(form.Oberror.caption(), count ? std::to_string(count) + " Errors Found" : "No Errors Found");
    }
}

TEST(RecycleBin, PageShowsTheItemCountAndColumns) {
    World world;
    for (int i = 0; i < 3; ++i) world.machine.shell.recycle("item", 512);
    TForm1& form = world.start();
    world.machine.clock.reset();
    Invoke(form, "RecycleBin2Click");
    EXPECT_EQ(form.statustext.caption(), "Status : Scanned Recycle Bin");
    EXPECT_EQ(form.pageType, 3);
    EXPECT_EQ(world.machine.clock.totalMs(), 101u * 30u);
    const auto& columns = form.category("bin").list().columns();
    EXPECT_EQ(columns, (std::vector<Column>{{"Error Description", 150}, {"Repair Report", 120}, {"Total Size", 100}}));
}

TEST(RecycleBin, RemovalEmptiesEveryBinOnlyWhenItsFindingIsChecked) {
    for (const bool checked : {true, false}) {
        World world;
        world.machine.shell.recycle("item", 512);
        TForm1& form = world.start();
        Invoke(form, "RecycleBin2Click");
        form.category("bin").list().setChecked(0, checked);
        world.machine.clock.reset();
        Invoke(form, "OBhis3Click");
        EXPECT_EQ(world.machine.shell.recycledItems(), checked ? 0u : 1u);
        EXPECT_EQ(world.machine.shell.emptyings(),
                  checked ? std::vector<std::uint32_t>{kEmptyRecycleBinFlags} : std::vector<std::uint32_t>{});
        EXPECT_EQ(form.category("bin").list().size(), checked ? 0u : 1u);
        EXPECT_EQ(form.lastCount, checked ? 0 : 1);
        EXPECT_EQ(form.lvall.at(11).subItem(1), checked ? "0" : "1");
        EXPECT_EQ(form.statustext.caption(), "  Status : Repaired Recycle Bin");
        EXPECT_EQ(world.machine.clock.totalMs(), checked ? 101u * 30u : 0u);
        EXPECT_TRUE(world.host.messages.empty());
    }
}

TEST(RecycleBin, AShellThatCannotBeLoadedIsSaidOnceAndClearsTheList) {
    World world;
    world.machine.shell.recycle("item", 512);
    TForm1& form = world.start();
    Invoke(form, "recycleExecute");
    world.machine.shell.setShell32Version(std::nullopt);
    Invoke(form, "removebinExecute");
    EXPECT_EQ(world.host.messages, (std::vector<std::string>{"Gagal melakukan loading Shell32.dll."}));
    EXPECT_TRUE(world.machine.shell.emptyings().empty());
    EXPECT_TRUE(form.category("bin").list().empty());
    EXPECT_EQ(form.category("bin").pageCount(), 0u);
}

// A shell whose bin keeps what it holds when told to empty, as when a drive refuses.
class StubbornShell : public MemoryShell {
public:
    bool emptyRecycleBin(std::uint32_t) override { return false; }
};

TEST(RecycleBin, ItemsTheBinKeepsStayListedAndCounted) {
    World world;
    StubbornShell shell;
    shell.recycle("a", 1024);
    shell.recycle("b", 1024);
    Platform platform{world.machine.registry, world.machine.files, shell, world.machine.clipboard, world.machine.clock, world.machine.codePage,
                      world.machine.account, world.machine.commandLock};
    TForm1 form(platform, world.host);
    form.FormCreate();
    Invoke(form, "RecycleBin2Click");
    Invoke(form, "OBhis3Click");
    ASSERT_EQ(form.category("bin").list().size(), 1u);
    EXPECT_EQ(form.category("bin").list().at(0).caption, "2 files in Recycle Bin");
    EXPECT_EQ(form.lastCount, 2);
    // The page counts the items still in the bin, not the one row that names them.
    EXPECT_EQ(form.Oberror.caption(), "2 Errors Found");
    EXPECT_EQ(form.lvall.at(11).subItem(1), "2");
}

}  // namespace
}  // namespace keltora::testing
