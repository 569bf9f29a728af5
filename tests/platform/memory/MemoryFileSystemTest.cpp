// What the memory file system promises beyond the conformance suite: held and read-only files,
// listing order, drives, renames and the setup helpers.
#include <gtest/gtest.h>

#include "platform/Helpers.h"
#include "platform/memory/MemoryFileSystem.h"

namespace keltora {
namespace {

std::vector<std::string> Names(const std::vector<FoundFile>& found) {
    std::vector<std::string> names;
    for (const auto& f : found) names.push_back(f.name);
    return names;
}

class MemoryFileSystemTest : public ::testing::Test {
protected:
    MemoryFileSystem fs;
};

TEST_F(MemoryFileSystemTest, HeldFileCannotBeDeletedMovedOrWritten) {
    fs.addTextFile("C:\\Temp\\held.tmp", "data");
    fs.lock("C:\\temp\\HELD.tmp");
    EXPECT_FALSE(fs.deleteFile("C:\\Temp\\held.tmp"));
    EXPECT_FALSE(fs.moveFile("C:\\Temp\\held.tmp", "C:\\Temp\\moved.tmp"));
    EXPECT_FALSE(fs.writeFile("C:\\Temp\\held.tmp", "new"));
    EXPECT_FALSE(fs.appendFile("C:\\Temp\\held.tmp", "more"));
    EXPECT_EQ("data", fs.readFile("C:\\Temp\\held.tmp"));
    // Its folder cannot be moved either.
    EXPECT_FALSE(fs.moveFile("C:\\Temp", "C:\\Elsewhere"));

    fs.unlock("C:\\Temp\\held.tmp");
    EXPECT_TRUE(fs.deleteFile("C:\\Temp\\held.tmp"));
}

TEST_F(MemoryFileSystemTest, ReadOnlyFileCannotBeDeletedOrWrittenButMoves) {
    fs.addFile("C:\\ro.txt", 3, "abc");
    fs.setAttributes("C:\\ro.txt", kAttrReadOnly | kAttrArchive);
    EXPECT_FALSE(fs.deleteFile("C:\\ro.txt"));
    EXPECT_FALSE(fs.writeFile("C:\\ro.txt", "x"));
    EXPECT_TRUE(fs.moveFile("C:\\ro.txt", "C:\\ro2.txt"));
    EXPECT_EQ(kAttrReadOnly | kAttrArchive, fs.attributes("C:\\ro2.txt"));
}

TEST_F(MemoryFileSystemTest, ListingComesInNameOrderAfterTheDots) {
    for (const char* name : {"b.txt", "A.txt", "_x.txt", "c"}) fs.addFile(std::string("C:\\D\\") + name, 1);
    fs.addDirectory("C:\\D\\Sub");
    EXPECT_EQ((std::vector<std::string>{".", "..", "A.txt", "b.txt", "c", "Sub", "_x.txt"}), Names(fs.find("C:\\D\\*")));
    // A drive root has no dots.
    EXPECT_EQ((std::vector<std::string>{"D"}), Names(fs.find("C:\\*.*")));
}

TEST_F(MemoryFileSystemTest, FindReportsAttributesAndSixtyFourBitSizes) {
    fs.addFile("C:\\big\\dump.dmp", 5ull << 32);
    fs.setAttributes("C:\\big\\dump.dmp", kAttrHidden | kAttrSystem);
    fs.setAttributes("C:\\big", kAttrHidden);
    const auto found = fs.find("C:\\big\\*.dmp");
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(5ull << 32, found[0].size);
    EXPECT_EQ(kAttrHidden | kAttrSystem, found[0].attributes);
    EXPECT_EQ(kAttrHidden | kAttrDirectory, fs.attributes("C:\\big"));  // the directory bit stays
    EXPECT_EQ("21474836480", FileSizeText(fs, "C:\\big\\dump.dmp"));
}

TEST_F(MemoryFileSystemTest, MaskAlsoMatchesShortNames) {
    for (const char* name : {"page.html", "x.tmpx", "a.tmp.bak"}) fs.addFile(std::string("C:\\W\\") + name, 1);
    EXPECT_EQ((std::vector<std::string>{"page.html"}), Names(fs.find("C:\\W\\*.htm")));
    EXPECT_EQ((std::vector<std::string>{"x.tmpx"}), Names(fs.find("C:\\W\\*.tmp")));
}

TEST_F(MemoryFileSystemTest, FindOfAPlainNameGivesTheEntryItself) {
    fs.addDirectory("C:\\Folder\\Sub");
    EXPECT_EQ((std::vector<std::string>{"Sub"}), Names(fs.find("C:\\folder\\SUB")));
    EXPECT_EQ((std::vector<std::string>{"Folder"}), Names(fs.find("C:\\Folder\\Sub\\..")));
    EXPECT_TRUE(fs.find("C:\\Folder\\").empty());
    EXPECT_TRUE(fs.find("C:\\").empty());
}

TEST_F(MemoryFileSystemTest, MoveRenamesCaseAndKeepsFoldersOnTheirDrive) {
    fs.addTextFile("C:\\name.txt", "n");
    EXPECT_TRUE(fs.moveFile("C:\\name.txt", "C:\\NAME.TXT"));
    EXPECT_EQ((std::vector<std::string>{"NAME.TXT"}), Names(fs.find("C:\\name.txt")));

    fs.addTextFile("C:\\Dir\\Inner\\f.txt", "f");
    fs.addDirectory("D:\\");
    EXPECT_TRUE(fs.moveFile("C:\\NAME.TXT", "D:\\name.txt"));  // files may change drive
    EXPECT_FALSE(fs.moveFile("C:\\Dir", "D:\\Dir"));           // folders may not
    EXPECT_FALSE(fs.moveFile("C:\\Dir", "C:\\Dir\\Inner\\Dir"));
    EXPECT_TRUE(fs.moveFile("C:\\Dir", "C:\\Moved"));
    EXPECT_EQ("f", fs.readFile("C:\\Moved\\Inner\\f.txt"));
    EXPECT_FALSE(fs.moveFile("C:\\Moved\\Inner\\f.txt", "C:\\bad*name.txt"));
}

TEST_F(MemoryFileSystemTest, TrailingBackslashNamesFoldersOnly) {
    fs.addFile("C:\\f.txt", 1);
    fs.addDirectory("C:\\d");
    EXPECT_EQ(std::nullopt, fs.attributes("C:\\f.txt\\"));
    EXPECT_TRUE(fs.attributes("C:\\d\\").has_value());
    EXPECT_TRUE(fs.attributes("C:\\").has_value());
    EXPECT_FALSE(fs.exists("E:\\"));
    EXPECT_TRUE(fs.createDirectory("C:\\new\\"));
}

TEST_F(MemoryFileSystemTest, RelativePathsStartAtTheCurrentFolder) {
    fs.addTextFile("C:\\here.txt", "h");
    EXPECT_EQ("h", fs.readFile("here.txt"));
    EXPECT_EQ("h", fs.readFile("\\HERE.TXT"));
    EXPECT_EQ("C:\\here.txt", fs.fullPath("x\\..\\here.txt"));
}

TEST_F(MemoryFileSystemTest, SetupHelpersMakeFoldersAndRefuseNonsense) {
    fs.addFile("C:\\a\\b\\c.bin", 10, "content");
    EXPECT_TRUE(fs.isDirectory("C:\\a\\b"));
    EXPECT_EQ("content", fs.readFile("C:\\a\\b\\c.bin"));
    EXPECT_EQ((std::vector<std::string>{"C:\\a", "C:\\a\\b", "C:\\a\\b\\c.bin"}), fs.paths());
    EXPECT_THROW(fs.addFile("C:\\a\\b\\c.bin\\d", 1), std::invalid_argument);
    EXPECT_THROW(fs.addDirectory("C:\\a\\b\\c.bin"), std::invalid_argument);
    EXPECT_THROW(fs.addFile("", 1), std::invalid_argument);
    EXPECT_THROW(fs.lock("C:\\missing"), std::invalid_argument);
}

}  // namespace
}  // namespace keltora
