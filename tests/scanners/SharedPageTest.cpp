#include <gtest/gtest.h>

#include "scanners/PrivacyMachine.h"

namespace keltora::testing {
namespace {

struct PageRow {
    const char* visit;
    const char* code;
    int pageType;
    int summaryRow;
    const char* scanned;
};

// clang-format off
const PageRow kPages[] = {
    {"History1Click",        "his",    1,  18, "  Status : Scanned History"},
    {"emporaryFiles1Click",  "temp",   2,  12, "  Status : Scanned Temporary Files"},
    {"RecycleBin2Click",     "bin",    3,  11, "Status : Scanned Recycle Bin"},
    {"RunStartMenu2Click",   "run",    4,  9,  "Status : Scanned Run (Start Menu)"},
    {"Clipboard1Click",      "clip",   5,  13, "Status : Scanned Clipboard"},
    {"MemoryDumps1Click",    "dump",   6,  14, "Status : Scanned Memory Dumps"},
    {"ChkdskFiles2Click",    "chk",    7,  15, "Status : Scanned Chkdsk Files"},
    {"LogFiles2Click",       "log",    8,  16, "Status : Scanned Log Files"},
    {"emporaryIE1Click",     "tempie", 9,  19, "Status : Scanned Temporary IE"},
    {"URLTyped1Click",       "url",    10, 8,  "Status : Scanned Typed URLs"},
    {"FontsRegistra1Click",  "font",   11, 6,  "  Status : Scanned Fonts Registration"},
    {"H1Click",              "help",   12, 5,  "  Status : Scanned Help Files"},
};
// clang-format on

TEST(SharedPage, EachVisitShowsItsListWithTheSharedButtons) {
    World world(kUserFolders);
    TForm1& form = world.start();
    for (const auto& row : kPages) {
        Invoke(form, row.visit);
        EXPECT_EQ(form.pageType, row.pageType) << row.code;
        EXPECT_TRUE(form.category(row.code).list().visible()) << row.code;
        for (const auto& button : {0, 2, 3}) EXPECT_TRUE(form.OBhis[button].visible()) << row.code;
        EXPECT_EQ(form.statustext.caption(), row.scanned);
        EXPECT_EQ(form.Oberror.caption(), "No Errors Found") << row.code;
        EXPECT_EQ(form.lvall.at(static_cast<std::size_t>(row.summaryRow)).caption,
                  std::string(form.category(row.code).info().summaryCaption));
    }
}

TEST(SharedPage, RefreshAndRemoveActOnTheCategoryOfTheCurrentPageType) {
    World world(kUserFolders);
    world.machine.files.addFile(kWindows + "one.log", 1);
    world.machine.files.addFile(kHistoryStore + "Day\\a.url", 1);
    TForm1& form = world.start();
    Invoke(form, "History1Click");
    Invoke(form, "LogFiles2Click");
    world.machine.files.addFile(kWindows + "two.log", 1);
    world.machine.files.addFile(kHistoryStore + "Day\\b.url", 1);
    Invoke(form, "OBhis4Click");
    EXPECT_EQ(form.category("log").list().size(), 2u);
    EXPECT_EQ(form.category("his").list().size(), 1u);
    EXPECT_EQ(form.lvall.at(16).subItem(1), "2");
    Invoke(form, "OBhis3Click");
    EXPECT_TRUE(form.category("log").list().empty());
    EXPECT_EQ(form.category("his").list().size(), 1u);
    EXPECT_TRUE(world.files().exists(kHistoryStore + "Day\\a.url"));
}

TEST(SharedPage, EachCategoryKeepsItsOwnSelectAllCaption) {
    World world(kUserFolders);
    world.machine.files.addFile(kWindows + "one.log", 1);
    TForm1& form = world.start();
    Invoke(form, "LogFiles2Click");
    Invoke(form, "OBhis1Click");
    EXPECT_EQ(form.OBhis[0].caption(), "Select All");
    EXPECT_FALSE(form.category("log").list().at(0).checked);
    Invoke(form, "History1Click");
    EXPECT_EQ(form.OBhis[0].caption(), "Unselect All");
    // Fonts and help files leave the caption as the last page set it.
    Invoke(form, "LogFiles2Click");
    Invoke(form, "FontsRegistra1Click");
    EXPECT_EQ(form.OBhis[0].caption(), "Select All");
    Invoke(form, "OBhis1Click");
    EXPECT_EQ(form.OBhis[0].caption(), "Unselect All");
    Invoke(form, "LogFiles2Click");
    EXPECT_EQ(form.OBhis[0].caption(), "Select All");
}

TEST(SharedPage, RemoveDoesNothingForFontsAndHelpFiles) {
    World world;
    TForm1& form = world.start();
    for (const char* visit : {"FontsRegistra1Click", "H1Click"}) {
        Invoke(form, visit);
        const std::string status = form.statustext.caption();
        world.machine.clock.reset();
        Invoke(form, "OBhis3Click");
        EXPECT_EQ(form.statustext.caption(), status);
        EXPECT_EQ(world.machine.clock.totalMs(), 0u);
    }
}

TEST(EmptyCategories, ScanNothingAndShowNoErrors) {
    World world;
    TForm1& form = world.start();
    for (const char* code : {"vd", "font", "help"}) {
        Category& c = form.category(code);
        world.machine.clock.reset();
        Invoke(form, c.info().menuHandler);
        EXPECT_EQ(world.machine.clock.totalMs(), 101u * 30u) << code;
        EXPECT_EQ(form.Oberror.caption(), "No Errors Found");
        EXPECT_FALSE(c.list().checkBoxes());
        EXPECT_EQ(c.list().columns(), (std::vector<Column>{{"Error Items", 180}, {"Repair Report", 210},
                                                           {"Detail Info", 210}, {"Path Location", 220}}));
        EXPECT_EQ(form.lvall.at(static_cast<std::size_t>(c.info().summaryRow)).subItem(1), "0");
    }
    EXPECT_FALSE(form.invoke("OBvd3Click"));
    Invoke(form, "OBvd4Click");
    EXPECT_EQ(form.statustext.caption(), "  Status : Scanned Virtual Devices");
}

}  // namespace
}  // namespace keltora::testing
