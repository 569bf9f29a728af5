// The file listing, the file size text and the file operations against a backend.
#include <algorithm>

#include "ConformanceFixture.h"
#include "platform/Helpers.h"

namespace keltora::conformance {
namespace {

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

class FileConformance : public ConformanceTest {
protected:
    // The listing sorted: the order a file system returns is its own.
    static std::vector<std::string> listing(const std::string& mask, const std::string& in = folder()) {
        std::vector<std::string> list = {"stale"};
        ListFiles(files(), in + "\\", mask, list);
        std::sort(list.begin(), list.end());
        return list;
    }
    static void make(const std::string& name, const std::string& content = "x") {
        ASSERT_TRUE(files().writeFile(inFolder(name), content)) << name;
    }
    // An act on a file of the scratch folder (or a folder in it) as a listing of its folder sees
    // it now.
    static FileAct Listed(const std::string& path, const std::string& moveTo = "", bool dryRun = false) {
        FileAct act{Wide(inFolder(path)), moveTo.empty() ? u"" : Wide(inFolder(moveTo)), dryRun};
        const auto cut = path.find_last_of('\\');
        const std::string in = cut == std::string::npos ? folder() : inFolder(path.substr(0, cut));
        const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
        if (const auto listing = files().listFolder(Wide(in))) {
            act.folder = listing->folder;
            for (const auto& entry : listing->entries)
                if (entry.name == name) act.file = entry.identity;
        }
        return act;
    }
};

using Names = std::vector<std::string>;

TEST_F(FileConformance, StarDotStarListsDotsFoldersAndNamesWithoutADot) {
    make("a.txt");
    make("noext");
    ASSERT_TRUE(files().createDirectory(inFolder("sub")));
    EXPECT_EQ((Names{" .", " ..", " a.txt", " noext", " sub"}), listing("*.*"));
}

TEST_F(FileConformance, EmptyFolderListsOnlyTheDots) { EXPECT_EQ((Names{" .", " .."}), listing("*.*")); }

TEST_F(FileConformance, MaskMatchesWithoutCaseAndOnlyTheLastExtension) {
    // "report.tmpx" has the short name REPO~1.TMP, which the system's listing matches too.
    for (const char* name : {"A.TMP", "b.tmp", "a.tmp.bak", "tmp", "c.tm", "d.tmp.tmp", "report.tmpx"}) make(name);
    EXPECT_EQ((Names{" A.TMP", " b.tmp", " d.tmp.tmp"}), listing("*.tmp"));
}

TEST_F(FileConformance, PrefixMasks) {
    for (const char* name : {"File0001.chk", "file0002.CHK", "Other.chk", "setuplog.txt", "LOG.TXT", "log.txt.old"}) {
        make(name);
    }
    EXPECT_EQ((Names{" File0001.chk", " file0002.CHK"}), listing("File*.chk"));
    EXPECT_EQ((Names{" LOG.TXT", " setuplog.txt"}), listing("*log.txt"));
}

TEST_F(FileConformance, ExactNameFindsTheEntryInItsOwnCase) {
    make("Mixed.Txt");
    EXPECT_EQ((Names{" Mixed.Txt"}), listing("MIXED.TXT"));
}

TEST_F(FileConformance, ListingsOfWhatIsNoFolderAreEmpty) {
    make("file.txt");
    EXPECT_EQ(Names{}, listing("*.*", inFolder("missing")));
    EXPECT_EQ(Names{}, listing("*.*", inFolder("file.txt")));
    EXPECT_EQ(Names{}, listing("*.nothing"));
}

TEST_F(FileConformance, FileSizeTextRows) {
    make("small.bin", std::string(1536, 'b'));
    make("empty.bin", "");
    env().makeFile(inFolder("big.bin"), std::uint64_t{3} << 30);
    ASSERT_TRUE(files().createDirectory(inFolder("sub")));
    struct Row {
        std::string path;
        const char* text;
    };
    const Row rows[] = {
        {inFolder("missing.bin"), "-1"},
        {inFolder("small.bin"), "1536"},
        {inFolder("empty.bin"), "0"},
        {inFolder("big.bin"), "3221225472"},
        {inFolder("sub\\..\\small.bin"), "1536"},
        {inFolder("SMALL.BIN"), "1536"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(row.text, FileSizeText(files(), row.path));
    }
    EXPECT_EQ("-1 bytes", SizeText(FileSizeText(files(), inFolder("missing.bin"))));
}

TEST_F(FileConformance, WrittenFilesReadBackByteForByte) {
    const std::string content = "one\r\ntwo\n\tthree";
    ASSERT_TRUE(files().writeFile(inFolder("data.dat"), content));
    EXPECT_EQ(content, files().readFile(inFolder("data.dat")));
    ASSERT_TRUE(files().writeFile(inFolder("data.dat"), "short"));
    EXPECT_EQ("short", files().readFile(inFolder("data.dat")));

    ASSERT_TRUE(files().appendFile(inFolder("log.dat"), "a"));
    ASSERT_TRUE(files().appendFile(inFolder("log.dat"), "b"));
    EXPECT_EQ("ab", files().readFile(inFolder("log.dat")));
}

// The file an undo journal is kept in: never one that exists, positioned writes, reads back,
// cut back, flushed; opened again to change it in place.
TEST_F(FileConformance, AnOpenFileWritesReadsAndCutsInPlace) {
    make("taken.reg");
    EXPECT_EQ(nullptr, files().createNew(inFolder("TAKEN.reg")));
    EXPECT_EQ(nullptr, files().createNew(inFolder("missing\\new.reg")));
    EXPECT_EQ(nullptr, files().openForUpdate(inFolder("missing.reg")));
    {
        auto file = files().createNew(inFolder("new.reg"));
        ASSERT_NE(nullptr, file);
        EXPECT_TRUE(file->writeAt(0, "header.."));
        EXPECT_TRUE(file->writeAt(8, "entry"));
        EXPECT_TRUE(file->writeAt(0, "HEADER"));
        EXPECT_TRUE(file->flush());
        EXPECT_EQ(std::optional<std::string>("HEADER..entry"), file->readAt(0, 13));
        EXPECT_EQ(std::nullopt, file->readAt(8, 6));
        EXPECT_TRUE(file->truncate(8));
        EXPECT_EQ(std::optional<std::uint64_t>(8), file->size());
    }
    auto again = files().openForUpdate(inFolder("new.reg"));
    ASSERT_NE(nullptr, again);
    EXPECT_TRUE(again->writeAt(6, "!!"));
    again.reset();
    EXPECT_EQ("HEADER!!", files().readFile(inFolder("new.reg")));

    // Made when missing, when asked; never a folder, never in a folder that is not there.
    FileActOutcome why;
    auto made = files().openForUpdate(inFolder("made.dat"), true, &why);
    ASSERT_NE(nullptr, made);
    EXPECT_TRUE(made->writeAt(0, "made"));
    made.reset();
    EXPECT_EQ("made", files().readFile(inFolder("made.dat")));
    ASSERT_TRUE(files().createDirectory(inFolder("dir")));
    EXPECT_EQ(nullptr, files().openForUpdate(inFolder("dir"), true, &why));
    EXPECT_EQ(why.result, FileActResult::Failed);
    EXPECT_EQ(nullptr, files().openForUpdate(inFolder("missing\\made.dat"), true, &why));
    EXPECT_EQ(why.result, FileActResult::Absent);
}

TEST_F(FileConformance, FileIoFailsWithoutItsFolder) {
    EXPECT_FALSE(files().writeFile(inFolder("missing\\data.dat"), "x"));
    EXPECT_FALSE(files().appendFile(inFolder("missing\\data.dat"), "x"));
    EXPECT_EQ(std::nullopt, files().readFile(inFolder("missing\\data.dat")));
    EXPECT_EQ(std::nullopt, files().readFile(inFolder("data.dat")));
    EXPECT_FALSE(files().exists(inFolder("missing")));
}

TEST_F(FileConformance, DeleteFileTakesFilesOnly) {
    make("victim.txt");
    ASSERT_TRUE(files().createDirectory(inFolder("folder")));
    EXPECT_TRUE(files().deleteFile(inFolder("VICTIM.txt")));
    EXPECT_FALSE(files().exists(inFolder("victim.txt")));
    EXPECT_FALSE(files().deleteFile(inFolder("victim.txt")));
    EXPECT_FALSE(files().deleteFile(inFolder("folder")));
    EXPECT_TRUE(files().isDirectory(inFolder("folder")));
}

TEST_F(FileConformance, MoveFileNeverOverwrites) {
    make("from.txt", "from");
    make("to.txt", "to");
    EXPECT_FALSE(files().moveFile(inFolder("from.txt"), inFolder("to.txt")));
    EXPECT_FALSE(files().moveFile(inFolder("from.txt"), inFolder("TO.TXT")));
    EXPECT_EQ("from", files().readFile(inFolder("from.txt")));
    EXPECT_EQ("to", files().readFile(inFolder("to.txt")));
}

TEST_F(FileConformance, MoveFileRows) {
    make("a.txt", "a");
    ASSERT_TRUE(files().createDirectory(inFolder("aside")));
    EXPECT_FALSE(files().moveFile(inFolder("missing.txt"), inFolder("x.txt")));
    EXPECT_FALSE(files().moveFile(inFolder("a.txt"), inFolder("missing\\a.txt")));
    EXPECT_TRUE(files().exists(inFolder("a.txt")));

    EXPECT_TRUE(files().moveFile(inFolder("a.txt"), inFolder("aside\\b.txt")));
    EXPECT_FALSE(files().exists(inFolder("a.txt")));
    EXPECT_EQ("a", files().readFile(inFolder("aside\\b.txt")));
}

TEST_F(FileConformance, CreateDirectoryNeedsItsParentAndNoEntry) {
    EXPECT_TRUE(files().createDirectory(inFolder("new")));
    EXPECT_TRUE(files().isDirectory(inFolder("NEW")));
    EXPECT_FALSE(files().createDirectory(inFolder("new")));
    EXPECT_FALSE(files().createDirectory(inFolder("none\\deeper")));
    EXPECT_TRUE(files().createDirectories(inFolder("none\\deeper\\deepest")));
    EXPECT_TRUE(files().isDirectory(inFolder("none\\deeper\\deepest")));
}

TEST_F(FileConformance, AttributesTellFilesFromFolders) {
    make("file.txt");
    ASSERT_TRUE(files().createDirectory(inFolder("dir")));
    ASSERT_TRUE(files().attributes(inFolder("file.txt")).has_value());
    EXPECT_EQ(0u, *files().attributes(inFolder("file.txt")) & kAttrDirectory);
    EXPECT_TRUE(files().isDirectory(inFolder("dir")));
    EXPECT_EQ(std::nullopt, files().attributes(inFolder("nothing")));
    const auto found = files().find(inFolder("*.txt"));
    ASSERT_EQ(1u, found.size());
    EXPECT_FALSE(found[0].isDirectory());
    EXPECT_EQ(1u, found[0].size);
}

TEST_F(FileConformance, FullPathResolvesDotsAndKeepsCase) {
    EXPECT_EQ(inFolder("b\\C.txt"), files().fullPath(inFolder("a\\..\\b\\.\\C.txt")));
    EXPECT_EQ(inFolder("x"), files().fullPath(folder() + "/x"));
}

// The act on a listed file: only "not found" counts as absent, a folder or a file in the target's
// place is refused (a dry run sees it too), and a dry run changes nothing.
TEST_F(FileConformance, ActRows) {
    make("a.txt");
    make("b.txt", "b");
    make("c.txt");
    ASSERT_TRUE(files().createDirectory(inFolder("dir")));
    ASSERT_TRUE(files().createDirectory(inFolder("sub")));
    struct Row {
        std::string path, moveTo;
        bool dryRun;
        FileActResult result;
        std::string present, absent;
    };
    const Row rows[] = {
        {"a.txt", "", true, FileActResult::Done, "a.txt", ""},
        {"a.txt", "", false, FileActResult::Done, "", "a.txt"},
        {"a.txt", "", false, FileActResult::Absent, "", "a.txt"},
        {"none\\a.txt", "", false, FileActResult::Absent, "", ""},
        {"dir", "", false, FileActResult::Failed, "dir", ""},
        {"b.txt", "dir\\b.txt", false, FileActResult::Done, "dir\\b.txt", "b.txt"},
        {"c.txt", "dir\\b.txt", true, FileActResult::Failed, "c.txt", ""},
        {"c.txt", "dir\\b.txt", false, FileActResult::Failed, "c.txt", ""},
        {"c.txt", "none\\c.txt", false, FileActResult::Failed, "c.txt", ""},
        {"sub", "dir\\sub", false, FileActResult::Done, "dir\\sub", "sub"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path + " " + row.moveTo);
        EXPECT_EQ(files().act(Listed(row.path, row.moveTo, row.dryRun)), row.result);
        EXPECT_TRUE(row.present.empty() || files().exists(inFolder(row.present)));
        EXPECT_TRUE(row.absent.empty() || !files().exists(inFolder(row.absent)));
    }
    EXPECT_EQ("b", files().readFile(inFolder("dir\\b.txt")));
}

// A file is known by what it is, not by its name: the listing tells each file and its folder
// apart, a rename keeps what a file is, and another file put in a listed file's place is not the
// one listed. (That file is moved aside, not deleted: on Linux a new file may get the number of
// one just deleted, where NTFS counts the reuse in the file ID.)
TEST_F(FileConformance, TheActTakesOnlyTheFileTheListingSaw) {
    make("kept.txt", "kept");
    make("other.txt");
    const auto listing = files().listFolder(Wide(folder()));
    ASSERT_TRUE(listing.has_value());
    ASSERT_EQ(listing->entries.size(), 2u);
    EXPECT_TRUE(listing->folder.known());
    EXPECT_NE(listing->entries[0].identity, listing->entries[1].identity);
    EXPECT_EQ(listing->entries[0].folderIdentity, listing->folder);
    EXPECT_FALSE(files().listFolder(Wide(inFolder("missing"))).has_value());
    EXPECT_FALSE(files().listFolder(Wide(inFolder("kept.txt"))).has_value());

    const FileAct renamed = Listed("kept.txt");
    ASSERT_TRUE(files().moveFile(inFolder("kept.txt"), inFolder("aside.txt")));
    ASSERT_TRUE(files().moveFile(inFolder("aside.txt"), inFolder("kept.txt")));
    EXPECT_EQ(files().act(FileAct{renamed.path, u"", true, renamed.file, renamed.folder}), FileActResult::Done);

    const FileAct replaced = Listed("other.txt");
    ASSERT_TRUE(files().moveFile(inFolder("other.txt"), inFolder("swapped.txt")));
    make("other.txt", "new");
    EXPECT_EQ(files().act(replaced), FileActResult::Unsafe);
    EXPECT_EQ("new", files().readFile(inFolder("other.txt")));
    FileAct unknown = Listed("kept.txt");
    unknown.file = {};
    EXPECT_EQ(files().act(unknown), FileActResult::Unsafe);
    EXPECT_EQ("kept", files().readFile(inFolder("kept.txt")));
}

// A walk's listing of a folder it went down into, told what the folder above listed it as: only
// the folder with that very file ID is taken for it; any other folder is itself.
TEST_F(FileConformance, AFolderListedAsAnotherIsItself) {
    ASSERT_TRUE(files().createDirectory(inFolder("one")));
    ASSERT_TRUE(files().createDirectory(inFolder("two")));
    make("one\\a.txt");
    const auto one = files().listFolder(Wide(inFolder("one")));
    const auto two = files().listFolder(Wide(inFolder("two")));
    ASSERT_TRUE(one.has_value() && two.has_value());
    const auto asListed = files().listFolder(Wide(inFolder("one")), one->folder);
    ASSERT_TRUE(asListed.has_value());
    EXPECT_EQ(asListed->folder, one->folder);
    ASSERT_EQ(asListed->entries.size(), 1u);
    EXPECT_EQ(asListed->entries[0].identity, one->entries[0].identity);
    const auto asAnother = files().listFolder(Wide(inFolder("one")), two->folder);
    ASSERT_TRUE(asAnother.has_value());
    EXPECT_EQ(asAnother->folder, one->folder);
}

// A removal keeps the folder of its acts open from one file to the next: the folder stays the
// one the listing saw, whatever its path names later. The file put in the listed one's place is
// never touched; the listed one is deleted where it went, or stays and is said to (Windows finds
// it placed elsewhere; Wine, which deletes by name, finds the name another file's and keeps it).
// Once the removal ends, or an act in another folder comes, nothing of this program holds it.
TEST_F(FileConformance, AKeptFolderIsTheFolderTheListingSaw) {
    ASSERT_TRUE(files().createDirectory(inFolder("kept")));
    make("kept\\a.txt");
    make("kept\\b.txt", "listed");
    ASSERT_TRUE(files().createDirectory(inFolder("kept\\sub")));
    make("kept\\sub\\c.txt");
    const FileAct a = Listed("kept\\a.txt");
    const FileAct b = Listed("kept\\b.txt");
    {
        const KeptActFolder kept(files());
        EXPECT_EQ(files().act(Listed("kept\\sub\\c.txt")), FileActResult::Done);
        FileAct sub = Listed("kept\\sub");
        sub.emptyFolder = true;
        EXPECT_EQ(files().act(sub), FileActResult::Done);
        EXPECT_FALSE(files().exists(inFolder("kept\\sub")));
        EXPECT_EQ(files().act(a), FileActResult::Done);
        ASSERT_TRUE(files().moveFile(inFolder("kept"), inFolder("moved")));
        ASSERT_TRUE(files().createDirectory(inFolder("kept")));
        make("kept\\b.txt", "new");
        const FileActResult result = files().act(b).result;
        EXPECT_EQ("new", files().readFile(inFolder("kept\\b.txt")));
        EXPECT_NE(result, FileActResult::Absent);
        EXPECT_EQ(result == FileActResult::Done, !files().exists(inFolder("moved\\b.txt")));
    }
    files().deleteFile(inFolder("moved\\b.txt"));
    FileAct moved = Listed("moved");
    moved.emptyFolder = true;
    EXPECT_EQ(files().act(moved), FileActResult::Done);
    EXPECT_FALSE(files().exists(inFolder("moved")));
}

// Names the ANSI calls cannot carry: the listing gives the ANSI name the ANSI call would (here
// the same as another file's) and the exact name, and the act takes only the file it names. A
// trailing dot is either acted on exactly or refused, never read as its twin.
TEST_F(FileConformance, ExactNamesAreListedAndActedOnAsThemselves) {
    make("report.tmp", "plain");
    make("notes.lnk", "twin");
    const std::u16string fullWidth = Wide(folder()) + u"\\\uff52\uff45\uff50\uff4f\uff52\uff54.tmp";
    const std::u16string dotted = Wide(inFolder("notes.lnk."));
    env().makeExactFile(fullWidth);
    env().makeExactFile(dotted);
    std::vector<std::u16string> exact;
    for (const auto& found : files().findWide(Wide(inFolder("*.tmp")))) {
        EXPECT_EQ(found.name, "report.tmp");
        if (!found.wideName.empty()) exact.push_back(found.wideName);
    }
    EXPECT_EQ(exact, std::vector<std::u16string>{fullWidth.substr(folder().size() + 1)});
    const auto listing = files().listFolder(Wide(folder()));
    ASSERT_TRUE(listing.has_value());
    auto listed = [&](const std::u16string& path) {
        FileAct act{path, u"", false, {}, listing->folder};
        for (const auto& entry : listing->entries)
            if (Wide(folder()) + u"\\" + (entry.wideName.empty() ? Wide(entry.name) : entry.wideName) == path)
                act.file = entry.identity;
        return act;
    };
    EXPECT_EQ(files().act(listed(fullWidth)), FileActResult::Done);
    EXPECT_EQ("plain", files().readFile(inFolder("report.tmp")));
    const FileActResult dot = files().act(listed(dotted)).result;
    EXPECT_TRUE(dot == FileActResult::Done || dot == FileActResult::Unsafe);
    EXPECT_EQ("twin", files().readFile(inFolder("notes.lnk")));
}

}  // namespace
}  // namespace keltora::conformance
