// The kernel32 backend against Wine's file system: wildcards, order, attributes, sizes, moves that
// do not overwrite, files held open by another handle, and binary whole-file I/O.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Database.h"
#include "platform/Helpers.h"
#include "scanners/browsers/RunningTest.h"
#include "wine/WineScratch.h"

namespace keltora::wine {
namespace {

class Win32FileSystemTest : public WineScratch {
protected:
    FileSystem& fs() { return platform().files; }

    void touch(const std::string& name, const std::string& content = "") {
        ASSERT_TRUE(fs().writeFile(inFolder(name), content)) << name;
    }

    std::vector<std::string> names(const std::string& mask) {
        std::vector<std::string> result;
        for (const auto& found : fs().find(inFolder(mask))) result.push_back(found.name);
        return result;
    }

    static std::vector<std::string> sorted(std::vector<std::string> list) {
        std::sort(list.begin(), list.end());
        return list;
    }
};

TEST_F(Win32FileSystemTest, WildcardsMatchAsOnWindows) {
    for (const char* name : {"a.txt", "ab.txt", "abc.log", "noext", "x.tar.gz"}) touch(name);
    struct Row {
        const char* mask;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"*.txt", {"a.txt", "ab.txt"}},
        {"?.txt", {"a.txt"}},
        {"a?.txt", {"ab.txt"}},
        {"*.*", {".", "..", "a.txt", "ab.txt", "abc.log", "noext", "x.tar.gz"}},
        {"*", {".", "..", "a.txt", "ab.txt", "abc.log", "noext", "x.tar.gz"}},
        {"*.gz", {"x.tar.gz"}},
        {"A.TXT", {"a.txt"}},
        {"none*", {}},
    };
    for (const auto& row : rows) EXPECT_EQ(sorted(names(row.mask)), row.expected) << row.mask;
}

// Wine lists a folder sorted without regard to case, dots first, like NTFS; callers must not
// rely on creation order.
TEST_F(Win32FileSystemTest, AFolderListsInCaseInsensitiveOrder) {
    for (const char* name : {"b.txt", "C.txt", "a.txt", "B0.txt"}) touch(name);
    ASSERT_TRUE(fs().createDirectory(inFolder("Dir")));
    EXPECT_EQ(names("*"), (std::vector<std::string>{".", "..", "a.txt", "b.txt", "B0.txt", "C.txt", "Dir"}));
}

TEST_F(Win32FileSystemTest, FindReportsAttributesAndSizes) {
    touch("file.txt", "12345");
    ASSERT_TRUE(fs().createDirectory(inFolder("sub")));
    auto file = fs().find(inFolder("file.txt"));
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file[0].size, 5u);
    EXPECT_FALSE(file[0].isDirectory());
    auto dir = fs().find(inFolder("sub"));
    ASSERT_EQ(dir.size(), 1u);
    EXPECT_TRUE(dir[0].isDirectory());
    EXPECT_EQ(fs().attributes(inFolder("sub")).value_or(0) & kAttrDirectory, kAttrDirectory);
    EXPECT_EQ(fs().attributes(inFolder("file.txt")).value_or(kAttrDirectory) & kAttrDirectory, 0u);
    EXPECT_FALSE(fs().attributes(inFolder("missing")).has_value());
    EXPECT_TRUE(fs().find(inFolder("missing\\*")).empty());
}

TEST_F(Win32FileSystemTest, SizesAboveFourGibibytesAreWhole) {
    env().makeFile(inFolder("big.dmp"), (4ull << 30) + 7);
    auto found = fs().find(inFolder("*.dmp"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].size, (4ull << 30) + 7);
}

TEST_F(Win32FileSystemTest, NamesKeepTheirCaseAndMatchWithoutIt) {
    touch("Mixed.TXT", "x");
    EXPECT_TRUE(fs().exists(inFolder("mixed.txt")));
    EXPECT_EQ(names("MIXED.txt"), std::vector<std::string>{"Mixed.TXT"});
}

TEST_F(Win32FileSystemTest, MoveNeverOverwrites) {
    touch("from.txt", "from");
    touch("to.txt", "to");
    EXPECT_FALSE(fs().moveFile(inFolder("from.txt"), inFolder("to.txt")));
    EXPECT_EQ(fs().readFile(inFolder("to.txt")).value_or(""), "to");
    EXPECT_EQ(fs().readFile(inFolder("from.txt")).value_or(""), "from");
    EXPECT_TRUE(fs().moveFile(inFolder("from.txt"), inFolder("new.txt")));
    EXPECT_FALSE(fs().exists(inFolder("from.txt")));
    EXPECT_EQ(fs().readFile(inFolder("new.txt")).value_or(""), "from");
}

TEST_F(Win32FileSystemTest, DeleteRemovesFilesOnly) {
    touch("gone.txt");
    ASSERT_TRUE(fs().createDirectory(inFolder("dir")));
    EXPECT_TRUE(fs().deleteFile(inFolder("gone.txt")));
    EXPECT_FALSE(fs().exists(inFolder("gone.txt")));
    EXPECT_FALSE(fs().deleteFile(inFolder("gone.txt")));
    EXPECT_FALSE(fs().deleteFile(inFolder("dir")));
    EXPECT_TRUE(fs().isDirectory(inFolder("dir")));
}

// A file another program has open without sharing cannot be deleted or moved.
TEST_F(Win32FileSystemTest, AFileHeldOpenCannotBeDeletedOrMoved) {
    touch("locked.log", "x");
    HANDLE held = CreateFileA(inFolder("locked.log").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(fs().deleteFile(inFolder("locked.log")));
    EXPECT_FALSE(fs().moveFile(inFolder("locked.log"), inFolder("moved.log")));
    EXPECT_FALSE(fs().readFile(inFolder("locked.log")).has_value());
    CloseHandle(held);
    EXPECT_TRUE(fs().deleteFile(inFolder("locked.log")));
}

// A browser holds its lock file open without sharing; one it left behind when it ended is free.
TEST_F(Win32FileSystemTest, ALockFileHeldWithoutSharingIsHeld) {
    touch("parent.lock");
    const std::u16string lock = platform().codePage.toWide(inFolder("parent.lock"));
    EXPECT_FALSE(IsLockHeld(platform(), lock));
    HANDLE held = CreateFileA(inFolder("parent.lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(IsLockHeld(platform(), lock));
    CloseHandle(held);
    EXPECT_FALSE(IsLockHeld(platform(), lock));
}

// A database another connection holds in exclusive locking mode (as a running browser holds its
// own) cannot be read, through SQLite's Windows locks.
TEST_F(Win32FileSystemTest, ADatabaseHeldExclusivelyIsBusy) {
    const std::u16string path = platform().codePage.toWide(inFolder("History"));
    auto holder = fs().openDatabase(path, DatabaseAccess::CreateNew);
    ASSERT_TRUE(holder.database);
    ASSERT_TRUE(holder.database->query("PRAGMA locking_mode=EXCLUSIVE"));
    ASSERT_TRUE(holder.database->execute("CREATE TABLE urls(id INTEGER PRIMARY KEY)"));
    const auto reader = fs().openDatabase(path, DatabaseAccess::ReadOnly);
    EXPECT_FALSE(reader.database);
    EXPECT_EQ(DatabaseError::Busy, reader.error);
    holder.database.reset();
    EXPECT_TRUE(fs().openDatabase(path, DatabaseAccess::ReadOnly).database);
}

// Deleting a file another program holds open with delete sharing: POSIX semantics take the name
// at once where the system has them (Windows 10 1709 and later); the classic disposition (older
// systems, Wine) leaves it until that program closes the file, and the act says so.
TEST_F(Win32FileSystemTest, AFileHeldOpenWithDeleteSharingIsDeletedAtOnceOrWhenReleased) {
    touch("shared.log", "x");
    HANDLE held = CreateFileA(inFolder("shared.log").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string in = folder();
    const auto listing = fs().listFolder(std::u16string(in.begin(), in.end()));
    ASSERT_TRUE(listing.has_value());
    ASSERT_EQ(listing->entries.size(), 1u);
    const std::string path = inFolder("shared.log");
    const FileActOutcome outcome = fs().act(FileAct{std::u16string(path.begin(), path.end()), u"", false,
                                                    listing->entries[0].identity, listing->folder});
    if (outcome.result == FileActResult::Done) {
        EXPECT_FALSE(fs().exists(path));
    } else {
        EXPECT_EQ(outcome.fault, FileActFault::HeldOpen);
        EXPECT_TRUE(fs().exists(path));
    }
    CloseHandle(held);
    EXPECT_FALSE(fs().exists(path));
}

TEST_F(Win32FileSystemTest, CreateDirectoryFailsWhenItExistsOrHasNoParent) {
    EXPECT_TRUE(fs().createDirectory(inFolder("d")));
    EXPECT_FALSE(fs().createDirectory(inFolder("d")));
    EXPECT_FALSE(fs().createDirectory(inFolder("x\\y")));
    EXPECT_TRUE(fs().createDirectories(inFolder("x\\y\\z")));
    EXPECT_TRUE(fs().isDirectory(inFolder("x\\y\\z")));
}

TEST_F(Win32FileSystemTest, FullPathResolvesDotsAndRelativePaths) {
    EXPECT_EQ(fs().fullPath("C:\\a\\..\\b\\.\\c.txt"), "C:\\b\\c.txt");
    ASSERT_TRUE(SetCurrentDirectoryA(folder().c_str()));
    EXPECT_EQ(fs().fullPath("rel.txt"), inFolder("rel.txt"));
    SetCurrentDirectoryA("C:\\");
}

TEST_F(Win32FileSystemTest, WholeFilesAreReadAndWrittenByteForByte) {
    const std::string content("line\r\nnext\n\0tail\x1a\xff", 18);
    ASSERT_TRUE(fs().writeFile(inFolder("bin.dat"), content));
    EXPECT_EQ(fs().readFile(inFolder("bin.dat")), content);
    ASSERT_TRUE(fs().appendFile(inFolder("bin.dat"), "+more"));
    EXPECT_EQ(fs().readFile(inFolder("bin.dat")), content + "+more");
    ASSERT_TRUE(fs().writeFile(inFolder("bin.dat"), "short"));
    EXPECT_EQ(fs().readFile(inFolder("bin.dat")), "short");
    ASSERT_TRUE(fs().appendFile(inFolder("new.dat"), "first"));
    EXPECT_EQ(fs().readFile(inFolder("new.dat")), "first");
    EXPECT_FALSE(fs().readFile(inFolder("missing.dat")).has_value());
    EXPECT_FALSE(fs().writeFile(inFolder("missing\\x.dat"), "x"));
}

TEST_F(Win32FileSystemTest, TheListingHelpersSeeTheRealFolder) {
    touch("one.tmp", std::string(1536, 'x'));
    std::vector<std::string> list;
    ListFiles(fs(), folder() + "\\", "*.tmp", list);
    EXPECT_EQ(list, std::vector<std::string>{" one.tmp"});
    EXPECT_EQ(FileSizeText(fs(), inFolder("one.tmp")), "1536");
    EXPECT_EQ(SizeText(FileSizeText(fs(), inFolder("one.tmp"))), "1.50 KB");
    EXPECT_EQ(FileSizeText(fs(), inFolder("missing.tmp")), "-1");
}

}  // namespace
}  // namespace keltora::wine
