#include <gtest/gtest.h>

#include "scanners/privacy/History.h"
#include "scanners/PrivacyMachine.h"

namespace keltora::testing {
namespace {

struct DayRow {
    LocalTime today;
    const char* folder;
};

TEST(History, DailyFolderNamesTodayAndTomorrow) {
    const DayRow rows[] = {
        {{2026, 3, 5}, "MSHist012026030520260306"},
        {{2026, 12, 31}, "MSHist012026123120270101"},
        {{2026, 4, 30}, "MSHist012026043020260501"},
        {{2026, 2, 28}, "MSHist012026022820260301"},
        {{2028, 2, 28}, "MSHist012028022820280229"},
        {{2028, 2, 29}, "MSHist012028022920280301"},
        {{2100, 2, 28}, "MSHist012100022821000301"},
        {{2000, 2, 28}, "MSHist012000022820000229"},
    };
    for (const auto& row : rows) EXPECT_EQ(DailyFolderName(row.today), row.folder) << row.folder;
}

class HistoryScan : public ::testing::Test {
protected:
    HistoryScan() : world(kUserFolders) { world.machine.clock.setNow({2026, 3, 5, 10, 0, 0}); }

    std::vector<std::string> scan() {
        TForm1& form = world.start();
        Invoke(form, "historyExecute");
        return Paths(form.category("his").list());
    }
    void file(const std::string& below, std::uint64_t size = 1) {
        world.machine.files.addFile(kHistoryStore + below, size);
    }

    World world;
};

TEST_F(HistoryScan, WalksThreeLevelsWithoutIndexFilesOrToday) {
    file("index.dat");
    file("desktop.ini");
    file("README");  // no extension: taken for a folder, which lists nothing
    file("MSHist012026030520260306\\today.url");
    file("MSHist012026030420260305\\index.dat");
    file("Low.IE5\\Index.DAT");
    file("MSHist012026030420260305\\yesterday.url", 2048);
    file("Low.IE5\\low.url");
    file("Folder\\Sub\\deep.url");
    file("Folder\\Sub\\Deeper\\too-deep.url");
    world.machine.files.addDirectory(kHistoryStore + "Folder\\named.like.a.file");

    EXPECT_EQ(scan(), (std::vector<std::string>{
                          kHistoryStore + "desktop.ini",
                          kHistoryStore + "Folder\\named.like.a.file",
                          kHistoryStore + "Folder\\Sub\\deep.url",
                          kHistoryStore + "Folder\\Sub\\Deeper",
                          kHistoryStore + "Low.IE5\\Index.DAT",
                          kHistoryStore + "Low.IE5\\low.url",
                          kHistoryStore + "MSHist012026030420260305\\yesterday.url",
                      }));
    const auto& yesterday = world.form->category("his").list().at(6);
    EXPECT_EQ(yesterday.subItems, (std::vector<std::string>{"Remove", "All items listed in History Folder",
                                                            kHistoryStore + "MSHist012026030420260305\\", "2.00 KB"}));
}

TEST_F(HistoryScan, ColumnsAndPace) {
    file("a.url");
    file("b.url");
    TForm1& form = world.start();
    world.machine.clock.reset();
    Invoke(form, "historyExecute");
    // One ramp of 101 steps; no pause per finding.
    EXPECT_EQ(world.machine.clock.totalMs(), 101u * 30u);
    EXPECT_EQ(form.lastCount, 2);
    const auto& columns = form.category("his").list().columns();
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[0], (Column{"File Names", 180}));
    EXPECT_EQ(columns[3], (Column{"Path Location", 250}));
    EXPECT_EQ(columns[4], (Column{"Size", 100}));
}

TEST_F(HistoryScan, MissingHistoryValueListsNothingOnTheDrive) {
    world.load(WithoutShellFolder("History"));
    world.machine.files.addFile("C:\\History.IE5\\stray.url", 1);
    EXPECT_TRUE(scan().empty());
}

TEST_F(HistoryScan, RemovalDeletesCheckedFilesAndKeepsWhatIsStillThere) {
    file("MSHist012026030420260305\\gone.url");
    file("MSHist012026030420260305\\kept.url");
    file("MSHist012026030420260305\\locked.url");
    world.machine.files.addDirectory(kHistoryStore + "Folder\\named.like.a.file");
    world.machine.files.addFile(kHistoryStore + "Folder\\named.like.a.file\\inside.url", 1);
    scan();
    world.machine.files.lock(kHistoryStore + "MSHist012026030420260305\\locked.url");
    auto& list = world.form->category("his").list();
    ASSERT_EQ(list.size(), 4u);
    list.setChecked(2, false);  // kept.url
    world.machine.clock.reset();
    Invoke(*world.form, "removehisExecute");

    EXPECT_EQ(Paths(list), (std::vector<std::string>{kHistoryStore + "Folder\\named.like.a.file",
                                                     kHistoryStore + "MSHist012026030420260305\\kept.url",
                                                     kHistoryStore + "MSHist012026030420260305\\locked.url"}));
    EXPECT_TRUE(list.at(0).checked);
    EXPECT_FALSE(list.at(1).checked);
    EXPECT_EQ(world.form->lastCount, 3);
    EXPECT_FALSE(world.files().exists(kHistoryStore + "MSHist012026030420260305\\gone.url"));
    // A folder standing where a file was expected is never deleted, nor what it holds.
    EXPECT_TRUE(world.files().exists(kHistoryStore + "Folder\\named.like.a.file\\inside.url"));
    EXPECT_EQ(world.machine.clock.totalMs(), 102u * 30u);
}

}  // namespace
}  // namespace keltora::testing
