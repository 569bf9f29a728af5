// The undo journal against the memory backends: what a repair takes away is journaled exactly and
// comes back exactly, by the program and by the registry editor's import of the same file; and
// the faults: a journal that cannot be made or written, a journal cut short or altered, and what
// stands in the way of an undo.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "cli/Cli.h"
#include "maintenance/JournalEntry.h"
#include "maintenance/JournalText.h"
#include "maintenance/UndoJournal.h"
#include "scanners/PrivacyMachine.h"
#include "scanners/RegistryTestSupport.h"
#include "support/World.h"

namespace keltora {

// A key as a test failure shows it: its path and its values' names.
void PrintTo(const CapturedKey& key, std::ostream* out) {
    *out << Utf16ToUtf8(key.path) << (key.link ? " (link)" : "") << " {";
    for (const auto& value : key.values) *out << " \"" << Utf16ToUtf8(value.name) << "\"";
    *out << " }";
}

namespace testing {
namespace {

constexpr HKey HKLM = kHKeyLocalMachine;
constexpr HKey HKCU = kHKeyCurrentUser;
constexpr const char* kUndoFolder = "C:\\Program Files\\Keltora Professional\\Undo";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kDead = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dead";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kNotes = std::string(kStartupFolder) + "\\notes.lnk";
const std::string kMovedNotes = std::string(kStartbug) + "\\notes.lnk";

// Findings of every registry category the repair runs, holding every kind of value.
const std::string kClutter = RegText(R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Dead]
@="default"
"odd"=hex(1):41,00,42
"no nul"=hex(1):41,00,42,00
"empty"=hex(1):
"multi"=hex(7):61,00,00,00,00,00
"binary"=hex:00,ff
"dword"=dword:00000001
"short dword"=hex(4):01,02
"qword"=hex(b):01,02,03,04,05,06,07,08
"none"=hex(0):
"expand"=hex(2):25,00,41,00,25,00,00,00
"odd type"=hex(2a):01
"lines"="a\r\nb"
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Dead\Empty]
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Dead\Sub\Deeper]
"x"="y"
[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"Updater"="D:\\updater.exe"
[HKEY_LOCAL_MACHINE\SOFTWARE\KeltoraUndo]
"Keep"=dword:00000002
"Path"="C:\\Gone\\app.exe"
[HKEY_CURRENT_USER\SOFTWARE\KeltoraUndo]
@=hex(2):43,00,3a,00,5c,00,47,00,6f,00,6e,00,65,00,5c,00,78,00,00,00
"Other"="kept"
[HKEY_CLASSES_ROOT\.keltoraundo]
"Content Type"="text/x"
[HKEY_CLASSES_ROOT\CLSID\{4B454C54-0000-0000-0000-000000000001}\InprocServer32]
@="C:\\Gone\\gone.dll"
[HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\TypedURLs]
"url1"="http://one.example/"
"url2"="http://two.example/"
[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU]
"a"="notepad\\1"
)");

// The registry rows of the repair pass.
const std::vector<std::string> kRepair = {"repair", "--rows", "1,2,3,4,8,9,20"};

struct Result {
    int code;
    std::string out, err;
};

Result Cli(World& world, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    ConsoleHost host(err, "C:\\Program Files\\Keltora Professional\\");
    const int code = RunCli(args, world.platform(), host, out, err);
    return {code, out.str(), err.str()};
}

// Both hives below Software, exactly: names, types, bytes, order, empty keys.
std::vector<CapturedKey> Snapshot(World& world) {
    std::vector<CapturedKey> machine, user;
    CaptureKeyTree(world.registry(), HKLM, u"SOFTWARE", machine);
    CaptureKeyTree(world.registry(), HKCU, u"Software", user);
    machine.insert(machine.end(), user.begin(), user.end());
    return machine;
}

struct Cluttered : World {
    Cluttered() : World(kClutter) {
        AddBaseFolders(*this);
        touch(kNotes, "shortcut");
        machine.registry.setStringExact(HKLM, Utf8ToUtf16(kDead), u"\u4E2D\u6587 \uFF35", u"\u00E9\u20AC\U0001F600");
    }
    std::string journal() {
        const auto listing = Cli(*this, {"undo"}).out;
        return listing.substr(0, listing.find('\t'));
    }
    std::string journalBytes() { return *files().readFile(std::string(kUndoFolder) + "\\" + journal()); }
};

TEST(UndoJournal, ARepairComesBackExactlyByUndoAndByTheEditorsImport) {
    Cluttered world;
    // A link in a deleted subtree comes back as the link (the editor's import cannot make one), and
    // a plain key holding a value like a link's target as the ordinary key it is, with its subkeys.
    world.machine.registry.addLink(HKLM, Utf8ToUtf16(kDead) + u"\\Sub\\ToKept", HKLM, u"SOFTWARE\\KeltoraUndo");
    world.machine.registry.setRawExact(HKLM, Utf8ToUtf16(kDead) + u"\\LookAlike", kSymbolicLinkValue, kRegLink,
                                       {'\\', 0, 'R', 0});
    world.machine.registry.addKey(HKLM, std::string(kDead) + "\\LookAlike\\Child");
    const auto before = Snapshot(world);
    const Result repair = Cli(world, kRepair);
    ASSERT_EQ(repair.code, 0) << repair.err;
    ASSERT_NE(Snapshot(world), before);
    ASSERT_FALSE(world.files().exists(kNotes));

    const std::string bytes = world.journalBytes();
    EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFEW\0i\0", 6));
    EXPECT_NE(bytes.find(std::string("\r\0\n\0", 4)), std::string::npos);
    const Result listing = Cli(world, {"undo"});
    EXPECT_NE(listing.out.find("\tkeltora-cli repair\t"), std::string::npos) << listing.out;

    const Result undo = Cli(world, {"undo", world.journal()});
    EXPECT_EQ(undo.code, 0) << undo.err;
    EXPECT_EQ(Snapshot(world), before);
    EXPECT_EQ(world.files().readFile(kNotes), std::optional<std::string>("shortcut"));
    EXPECT_NE(Cli(world, {"undo"}).out.find("\tUndone\n"), std::string::npos);

    // The registry editor imports the same file: the registry part comes back alike.
    Cluttered other;
    const auto otherBefore = Snapshot(other);
    ASSERT_EQ(Cli(other, kRepair).code, 0);
    ApplyRegFile(other.registry(), other.journalBytes());
    EXPECT_EQ(Snapshot(other), otherBefore);
}

// Each row changes the world at one point; the command's status, what it says, what stays.
TEST(UndoJournal, FaultsChangeNothingTheJournalCannotBringBack) {
    using Step = std::function<void(Cluttered&)>;
    struct Row {
        const char* what;
        Step beforeRepair;  // with it the repair itself must change nothing
        Step beforeUndo;
        const char* said;  // part of what stderr says
        Step after;         // what must hold afterwards
    };
    auto journalPath = [](Cluttered& w) { return std::string(kUndoFolder) + "\\" + w.journal(); };
    auto updaterKept = [](const char* data) {
        return [data](Cluttered& w) { EXPECT_EQ(w.read(HKCU, kRunKey, "Updater"), data); };
    };
    const Row rows[] = {
        {"the folder cannot be made", [](Cluttered& w) { w.touch(kUndoFolder, "a file in the way"); }, nullptr,
         "could not keep", nullptr},
        {"the program-files folder is a drive root",
         [](Cluttered& w) {
             w.load(RegText("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\n"
                            "\"ProgramFilesDir\"=\"C:\\\\\"\n"));
         },
         nullptr, "ProgramFilesDir", nullptr},
        {"a value made again meanwhile", nullptr,
         [](Cluttered& w) { w.machine.registry.setString(HKCU, kRunKey, "Updater", "D:\\new.exe"); },
         "Run value \"Updater\": a value of that name was made again", updaterKept("D:\\new.exe")},
        {"a key made again with other content", nullptr,
         [](Cluttered& w) { w.machine.registry.setString(HKLM, kDead, "DisplayName", "New"); },
         "Uninstall\\Dead: the key exists again with other content", updaterKept("D:\\updater.exe")},
        {"a link on the way to a deleted key", nullptr,
         [](Cluttered& w) {
             w.machine.registry.addKey(HKLM, "Decoy");
             w.machine.registry.removeKey(HKLM, kUninstallKey);
             w.machine.registry.addLink(HKLM, Utf8ToUtf16(kUninstallKey), HKLM, u"Decoy");
         },
         "Uninstall\\Dead: a registry link stands on the way to its key",
         [](Cluttered& w) { EXPECT_TRUE(w.machine.registry.subKeyNames(HKLM, "Decoy").empty()); }},
        {"a link on the way to a deleted value", nullptr,
         [](Cluttered& w) {
             w.machine.registry.addKey(HKLM, "Decoy\\Run");
             w.machine.registry.removeKey(HKCU, "Software\\Microsoft\\Windows\\CurrentVersion");
             w.machine.registry.addLink(HKCU, u"Software\\Microsoft\\Windows\\CurrentVersion", HKLM, u"Decoy");
         },
         "Run value \"Updater\": a registry link stands on the way to its key",
         [](Cluttered& w) { EXPECT_TRUE(w.machine.registry.valueNames(HKLM, "Decoy\\Run").empty()); }},
        {"a file back in the Startup folder", nullptr, [](Cluttered& w) { w.touch(kNotes, "new"); },
         "a file of that name is back in the Startup folder",
         [](Cluttered& w) { EXPECT_EQ(w.files().readFile(kNotes), std::optional<std::string>("new")); }},
        {"another file of that name in startbug", nullptr,
         [](Cluttered& w) {
             w.files().deleteFile(kMovedNotes);
             w.touch(kMovedNotes, "earlier");
         },
         "notes.lnk: the file of that name in startbug is not the one that was moved",
         [](Cluttered& w) {
             EXPECT_EQ(w.files().readFile(kMovedNotes), std::optional<std::string>("earlier"));
             EXPECT_FALSE(w.files().exists(kNotes));
         }},
        {"a journal cut short", nullptr,
         [&](Cluttered& w) {
             const std::string bytes = *w.files().readFile(journalPath(w));
             w.files().writeFile(journalPath(w), bytes.substr(0, bytes.size() - 40));
         },
         "it is truncated", updaterKept("")},
        {"a journal altered", nullptr,
         [&](Cluttered& w) {
             std::string bytes = *w.files().readFile(journalPath(w));
             bytes[bytes.size() - 20] ^= 1;
             w.files().writeFile(journalPath(w), bytes);
         },
         "it was altered", updaterKept("")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Cluttered world;
        if (row.beforeRepair) row.beforeRepair(world);
        const auto before = Snapshot(world);
        if (row.beforeRepair) {
            const Result repair = Cli(world, kRepair);
            EXPECT_EQ(repair.code, 4) << repair.err;
            EXPECT_EQ(Snapshot(world), before);
            EXPECT_TRUE(world.files().exists(kNotes));
            EXPECT_NE(repair.err.find(row.said), std::string::npos) << repair.err;
            // Told once, not once per finding.
            const auto told = repair.err.find("undo journal could not keep");
            EXPECT_EQ(repair.err.find("undo journal could not keep", told + 1), std::string::npos) << repair.err;
            continue;
        }
        ASSERT_EQ(Cli(world, kRepair).code, 0);
        row.beforeUndo(world);
        const Result undo = Cli(world, {"undo", world.journal()});
        EXPECT_EQ(undo.code, 1);
        EXPECT_NE(undo.err.find(row.said), std::string::npos) << undo.err;
        row.after(world);
        EXPECT_EQ(Cli(world, {"undo"}).out.find("\tUndone\n"), std::string::npos);
    }
}

// A tree that is back in part, each key of it exactly as the journal kept it, is filled in; one
// whose keys there hold anything else is left as it stands (the faults above).
TEST(UndoJournal, ATreeBackInPartAsKeptIsFilledIn) {
    Cluttered world;
    const auto before = Snapshot(world);
    std::vector<CapturedKey> dead;
    ASSERT_EQ(CaptureKeyTree(world.registry(), HKLM, Utf8ToUtf16(kDead), dead), kErrorSuccess);
    ASSERT_EQ(Cli(world, kRepair).code, 0);
    for (const auto& value : dead.front().values)
        world.machine.registry.setRawExact(HKLM, dead.front().path, value.name, value.data.type, value.data.bytes);
    world.machine.registry.addKey(HKLM, std::string(kDead) + "\\Empty");
    const Result undo = Cli(world, {"undo", world.journal()});
    EXPECT_EQ(undo.code, 0) << undo.err;
    EXPECT_EQ(Snapshot(world), before);
}

// A journal whose file stops taking writes midway: the change it could not keep is not made, the
// finding stays, and what was kept before still undoes.
TEST(UndoJournal, AFileThatStopsTakingWritesRefusesTheRestOfTheCommand) {
    World world(RegText("[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\n"
                        "\"url1\"=\"http://one.example/\"\n\"url2\"=\"http://two.example/\"\n"));
    TForm1& form = world.start();
    Invoke(form, "URLTyped1Click");
    UndoJournal& journal = form.undoJournal();
    struct Locking : RegistryJournal {
        UndoJournal& inner;
        MemoryFileSystem& files;
        Locking(UndoJournal& j, MemoryFileSystem& f) : inner(j), files(f) {}
        bool record(const RegistryChange& change, std::string& reason) override {
            const bool kept = inner.record(change, reason);
            files.lock(std::string(kUndoFolder) + "\\" + inner.outcome().name);
            return kept;
        }
        bool recordMove(const std::string& from, const std::string& to, const FileIdentity& moved,
                        std::string& reason) override {
            return inner.recordMove(from, to, moved, reason);
        }
    } locking(journal, world.machine.files);
    form.context().journal = &locking;
    {
        JournalCommand command(journal, "test");
        form.category("url").remove();
    }
    EXPECT_EQ(Captions(form.category("url").list()), std::vector<std::string>{"url2"});
    EXPECT_EQ(world.host.messages.size(), 1u);
    const std::string name = journal.outcome().name;
    world.machine.files.unlock(std::string(kUndoFolder) + "\\" + name);
    EXPECT_EQ(Cli(world, {"undo", name}).code, 0);
    EXPECT_EQ(world.read(HKCU, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url1"), "http://one.example/");
}

// While its command runs a journal keeps blank space ahead of its entries, cut off at the end. A
// journal whose program stopped before that reads whole, with no unfinished change, and the
// editor imports it; a change cut off in that space is an unfinished one.
TEST(UndoJournal, AJournalLeftBeforeItsCommandEndedReadsWhole) {
    const char* typed = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
    World world(RegText("[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\n"
                        "\"url1\"=\"http://one.example/\"\n\"url2\"=\"http://two.example/\"\n"));
    TForm1& form = world.start();
    Invoke(form, "URLTyped1Click");
    UndoJournal& journal = form.undoJournal();
    std::string left;
    {
        JournalCommand command(journal, "test");
        form.category("url").remove();
        left = *world.files().readFile(std::string(kUndoFolder) + "\\" + journal.outcome().name);
    }
    const std::string ended = *world.files().readFile(std::string(kUndoFolder) + "\\" + journal.outcome().name);
    EXPECT_GT(left.size(), ended.size());
    EXPECT_EQ(left.substr(0, ended.size()), ended);
    const JournalContents read = ReadJournal(left);
    EXPECT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.unfinished, 0u);
    ApplyRegFile(world.registry(), left);
    EXPECT_EQ(world.read(HKCU, typed, "url2"), "http://two.example/");

    std::string cut = left;
    cut.replace(ended.size(), 4, std::string("[\0H\0", 4));
    EXPECT_GT(ReadJournal(cut).unfinished, 0u);
}

// The journal of a command holds only what the command did: a move into startbug whose name is
// taken there is refused before the journal is written, and an undo leaves the file that was
// there.
TEST(UndoJournal, AStartbugNameAlreadyTakenIsRefusedBeforeTheJournal) {
    Cluttered world;
    world.touch(kMovedNotes, "earlier");
    const Result repair = Cli(world, kRepair);
    EXPECT_EQ(repair.code, 3) << repair.err;
    EXPECT_NE(repair.err.find("already holds a file of that name"), std::string::npos) << repair.err;
    EXPECT_EQ(world.files().readFile(kNotes), std::optional<std::string>("shortcut"));
    const JournalContents journal = ReadJournal(world.journalBytes());
    for (const auto& entry : journal.entries) EXPECT_NE(entry.kind, JournalEntry::Kind::FileMove);
    EXPECT_EQ(Cli(world, {"undo", world.journal()}).code, 0);
    EXPECT_EQ(world.files().readFile(kMovedNotes), std::optional<std::string>("earlier"));
    EXPECT_EQ(world.files().readFile(kNotes), std::optional<std::string>("shortcut"));
}

// A Startup folder on another volume than startbug (a profile on D:): a file is copied, the copy
// checked, the original deleted, and the journal names the copy, which undo brings back; a
// folder, which cannot be moved there, is refused before the journal.
TEST(UndoJournal, AStartupFileOnAnotherVolumeIsCopiedAndComesBack) {
    Cluttered world;
    world.machine.account.profile = u"D:\\Users\\pat";
    world.load(ShellFolderValue("Startup", "D:\\Users\\pat\\Startup"));
    world.machine.files.addTextFile("D:\\Users\\pat\\Startup\\moved.lnk", "shortcut on D");
    world.machine.files.addDirectory("D:\\Users\\pat\\Startup\\Tools");
    const Result repair = Cli(world, kRepair);
    EXPECT_EQ(repair.code, 3) << repair.err;
    EXPECT_NE(repair.err.find("never deleted as a file nor moved to another volume"), std::string::npos) << repair.err;
    EXPECT_FALSE(world.files().exists("D:\\Users\\pat\\Startup\\moved.lnk"));
    EXPECT_EQ(world.files().readFile(std::string(kStartbug) + "\\moved.lnk"), std::optional<std::string>("shortcut on D"));
    EXPECT_TRUE(world.files().isDirectory("D:\\Users\\pat\\Startup\\Tools"));
    std::vector<std::u16string> moved;
    for (const auto& entry : ReadJournal(world.journalBytes()).entries)
        if (entry.kind == JournalEntry::Kind::FileMove) moved.push_back(entry.from);
    EXPECT_EQ(moved, std::vector<std::u16string>{u"D:\\Users\\pat\\Startup\\moved.lnk"});

    const Result undo = Cli(world, {"undo", world.journal()});
    EXPECT_EQ(undo.code, 0) << undo.err;
    EXPECT_EQ(world.files().readFile("D:\\Users\\pat\\Startup\\moved.lnk"), std::optional<std::string>("shortcut on D"));
    EXPECT_FALSE(world.files().exists(std::string(kStartbug) + "\\moved.lnk"));
}

// "Delete Selected" of the undo page deletes a journal as the file categories delete a file: a
// journal that is a link (listed as a file, as Wine lists a Unix link) is left, and so is what
// it leads to; the page says why.
TEST(UndoJournal, AJournalThatIsALinkIsNotDeletedThroughIt) {
    Cluttered world;
    ASSERT_EQ(Cli(world, kRepair).code, 0);
    const std::string path = std::string(kUndoFolder) + "\\" + world.journal();
    world.touch("C:\\Elsewhere\\keep.reg", *world.files().readFile(path));
    world.files().deleteFile(path);
    world.machine.files.addLink(path, "C:\\Elsewhere\\keep.reg", false);
    TForm1& form = world.start();
    Invoke(form, "CB1Categories1Items5Click");
    ASSERT_EQ(form.LVundo.size(), 1u);
    form.LVundo.select(0);
    Invoke(form, "OBdeleteundoClick");
    EXPECT_TRUE(world.files().exists("C:\\Elsewhere\\keep.reg"));
    EXPECT_EQ(form.LVundo.size(), 1u);
    ASSERT_EQ(world.host.messages.size(), 1u);
    EXPECT_NE(world.host.messages[0].find("is left as it is: it is a link"), std::string::npos) << world.host.messages[0];
}

}  // namespace
}  // namespace testing
}  // namespace keltora
