// The undo journal against the memory backends: what a repair takes away is journaled exactly and
// comes back exactly, by the program and by the registry editor's import of the same file; and
// the faults: a journal that cannot be made or written, a journal cut short or altered, and what
// stands in the way of an undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <sstream>

#include "cli/Cli.h"
#include "maintenance/BackupName.h"
#include "maintenance/JournalEntry.h"
#include "maintenance/JournalRecords.h"
#include "maintenance/UndoJournal.h"
#include "scan/ChangeGroup.h"
#include "platform/RegText.h"
#include "platform/Registry2.h"
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
constexpr const char* kUserUndoFolder = "C:\\Users\\pat\\AppData\\Local\\Keltora Professional\\Undo";
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

// Where a journal of that name is: the administrator's, or the user's own (below the Local
// AppData that Windows places in the user's profile).
std::string JournalPath(World& world, const std::string& name) {
    if (JournalOwnerOf(name) != JournalOwner::User) return kUndoFolder + ("\\" + name);
    const std::u16string local = world.machine.shell.knownFolder(KnownFolder::LocalAppData, KnownFolderPath::Default);
    return Utf16ToUtf8(local) + "\\Keltora Professional\\Undo\\" + name;
}

// The journals the console lists, newest first.
std::vector<std::string> Journals(World& world) {
    std::vector<std::string> names;
    std::istringstream listing(Cli(world, {"undo"}).out);
    for (std::string line; std::getline(listing, line);) names.push_back(line.substr(0, line.find('\t')));
    return names;
}

// Every journal undone: the highest status, and all that was said.
Result UndoAll(World& world) {
    Result all{0, "", ""};
    for (const auto& name : Journals(world)) {
        const Result undo = Cli(world, {"undo", name});
        all.code = std::max(all.code, undo.code);
        all.out += undo.out;
        all.err += undo.err;
    }
    return all;
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
    // The newest journal of the owner.
    std::string journal(JournalOwner owner) {
        for (const auto& name : Journals(*this))
            if (JournalOwnerOf(name) == owner) return name;
        return {};
    }
    std::string journalBytes(JournalOwner owner) { return *files().readFile(JournalPath(*this, journal(owner))); }
};

// The user's profile on D:, its Local AppData and Startup folder with it, and startbug on C:.
void ProfileOnD(World& world) {
    world.machine.account.profile = u"D:\\Users\\pat";
    world.machine.shell.setKnownFolder(KnownFolder::LocalAppData, u"D:\\Users\\pat\\AppData\\Local",
                                       KnownFolderPath::Default);
    world.load(ShellFolderValue("Startup", "D:\\Users\\pat\\Startup"));
}

// A key an installer opened to users: its own access list, which undo gives back (the editor's
// import cannot).
const std::string kOpenedSub = std::string(kDead) + "\\Sub";
// Users (S-1-5-32-545) may do anything with it.
const std::vector<std::uint8_t> kOpenedToUsers = {1, 0, 4, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 0, 0,
                                                  2, 0, 32, 0, 1, 0, 0, 0, 0, 2, 24, 0, 0x3F, 0, 0x0F, 0,
                                                  1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0, 0x21, 2, 0, 0};

TEST(UndoJournal, ARepairComesBackExactlyByUndoAndByTheEditorsImport) {
    Cluttered world;
    // A link in a deleted subtree comes back as the link (the editor's import cannot make one), and
    // a plain key holding a value like a link's target as the ordinary key it is, with its subkeys.
    world.machine.registry.addLink(HKLM, Utf8ToUtf16(kDead) + u"\\Sub\\ToKept", HKLM, u"SOFTWARE\\KeltoraUndo");
    world.machine.registry.setRawExact(HKLM, Utf8ToUtf16(kDead) + u"\\LookAlike", kSymbolicLinkValue, kRegLink,
                                       {'\\', 0, 'R', 0});
    world.machine.registry.addKey(HKLM, std::string(kDead) + "\\LookAlike\\Child");
    world.machine.registry.setSecurity(HKLM, kOpenedSub, kOpenedToUsers);
    const auto before = Snapshot(world);
    const Result repair = Cli(world, kRepair);
    ASSERT_EQ(repair.code, 0) << repair.err;
    ASSERT_NE(Snapshot(world), before);
    ASSERT_FALSE(world.files().exists(kNotes));

    // The machine's changes in the administrator's journal, the user's own in the user's.
    ASSERT_EQ(Journals(world).size(), 2u);
    for (const JournalOwner owner : {JournalOwner::Administrator, JournalOwner::User}) {
        const std::string bytes = world.journalBytes(owner);
        EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFEW\0i\0", 6));
        EXPECT_NE(bytes.find(std::string("\r\0\n\0", 4)), std::string::npos);
        const JournalContents read = ReadJournal(bytes);
        for (const auto& entry : read.entries)
            EXPECT_EQ(owner == JournalOwner::User, entry.kind != JournalEntry::Kind::FileMove && entry.root == HKCU);
    }
    const Result listing = Cli(world, {"undo"});
    EXPECT_NE(listing.out.find("\tkeltora-cli repair\t"), std::string::npos) << listing.out;

    const Result undo = UndoAll(world);
    EXPECT_EQ(undo.code, 0) << undo.err;
    EXPECT_EQ(Snapshot(world), before);
    EXPECT_EQ(world.files().readFile(kNotes), std::optional<std::string>("shortcut"));
    EXPECT_NE(Cli(world, {"undo"}).out.find("\tUndone\n"), std::string::npos);
    for (const auto& name : Journals(world)) EXPECT_NE(Cli(world, {"undo"}).out.find(name + "\t"), std::string::npos);

    EXPECT_EQ(world.machine.registry.security(HKLM, kOpenedSub), kOpenedToUsers);

    // The registry editor imports the same file: the registry part comes back alike, but for the
    // access list, which the key takes from its parent.
    Cluttered other;
    other.machine.registry.setSecurity(HKLM, kOpenedSub, kOpenedToUsers);
    const auto otherBefore = Snapshot(other);
    ASSERT_EQ(Cli(other, kRepair).code, 0);
    for (const JournalOwner owner : {JournalOwner::Administrator, JournalOwner::User})
        ApplyRegFile(other.registry(), other.journalBytes(owner));
    EXPECT_NE(other.machine.registry.security(HKLM, kOpenedSub), kOpenedToUsers);
    other.machine.registry.setSecurity(HKLM, kOpenedSub, kOpenedToUsers);
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
    // The user's own journal holds the Run value "Updater".
    auto journalPath = [](Cluttered& w) { return JournalPath(w, w.journal(JournalOwner::User)); };
    auto blockUserJournals = [](Cluttered& w) { w.touch(kUserUndoFolder, "a file in the way"); };
    auto updaterKept = [](const char* data) {
        return [data](Cluttered& w) { EXPECT_EQ(w.read(HKCU, kRunKey, "Updater"), data); };
    };
    const Row rows[] = {
        {"the folders cannot be made",
         [=](Cluttered& w) {
             w.touch(kUndoFolder, "a file in the way");
             blockUserJournals(w);
         },
         nullptr, "could not keep", nullptr},
        // A process with more rights than the user writes nothing where a link the user made leads.
        {"a folder of the user's journals is a link",
         [](Cluttered& w) {
             w.touch(kUndoFolder, "a file in the way");
             w.machine.files.addDirectory("C:\\Elsewhere");
             w.machine.files.addLink("C:\\Users\\pat\\AppData\\Local\\Keltora Professional", "C:\\Elsewhere");
         },
         nullptr, "below the profile folder is a link",
         [](Cluttered& w) {
             for (const auto& path : w.machine.files.paths())
                 EXPECT_NE(path.rfind("C:\\Elsewhere\\", 0), 0u) << path;
         }},
        {"the program-files folder is a drive root",
         [=](Cluttered& w) {
             w.load(RegText("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\n"
                            "\"ProgramFilesDir\"=\"C:\\\\\"\n"));
             blockUserJournals(w);
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
            // Each reason told once, not once per finding.
            std::istringstream said(repair.err);
            std::vector<std::string> lines;
            for (std::string line; std::getline(said, line);) lines.push_back(line);
            std::sort(lines.begin(), lines.end());
            EXPECT_EQ(std::adjacent_find(lines.begin(), lines.end()), lines.end()) << repair.err;
            if (row.after) row.after(world);
            continue;
        }
        ASSERT_EQ(Cli(world, kRepair).code, 0);
        row.beforeUndo(world);
        const Result undo = UndoAll(world);
        EXPECT_EQ(undo.code, 1);
        EXPECT_NE(undo.err.find(row.said), std::string::npos) << undo.err;
        row.after(world);
        const std::string listing = Cli(world, {"undo"}).out;
        EXPECT_EQ(listing.find("\tUndone\n", listing.find("\tUndone\n") + 1), std::string::npos) << listing;
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
    const Result undo = UndoAll(world);
    EXPECT_EQ(undo.code, 0) << undo.err;
    EXPECT_EQ(Snapshot(world), before);
}

// A standard user removes their own typed URLs, Run history and Run values, and undoes them,
// through their own journal, which stays below the profile wherever the user's own settings put
// Local AppData; what needs the token stays listed. That journal may name only
// HKEY_CURRENT_USER: one that names the machine's keys or a file is refused entry by entry,
// whatever process undoes it.
TEST(UndoJournal, AStandardUserUndoesTheirOwnDataThroughTheirOwnJournal) {
    Cluttered world;
    world.machine.account.isElevated = false;
    world.machine.shell.setKnownFolder(KnownFolder::LocalAppData, u"C:\\Elsewhere");
    const auto before = Snapshot(world);
    const Result repair = Cli(world, {"repair", "--rows", "1,8,9"});
    EXPECT_EQ(repair.code, 3) << repair.err;
    EXPECT_NE(repair.err.find("runs without administrator rights"), std::string::npos) << repair.err;
    EXPECT_TRUE(world.files().exists(kNotes));
    EXPECT_EQ(world.read(HKCU, kRunKey, "Updater"), "");
    EXPECT_FALSE(world.valueExists(HKCU, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url1"));
    const auto journals = Journals(world);
    ASSERT_EQ(journals.size(), 1u);
    EXPECT_EQ(JournalOwnerOf(journals.front()), JournalOwner::User);
    EXPECT_TRUE(world.files().exists(JournalPath(world, journals.front())));
    EXPECT_FALSE(world.files().exists(kUndoFolder));
    const Result undo = Cli(world, {"undo", journals.front()});
    EXPECT_EQ(undo.code, 0) << undo.err;
    EXPECT_EQ(Snapshot(world), before);

    // The administrator's journal of a repair, put among the user's own.
    Cluttered other;
    ASSERT_EQ(Cli(other, kRepair).code, 0);
    const std::string planted = JournalFileName(JournalOwner::User, LocalTime{2001, 1, 1, 0, 0, 0});
    other.touch(JournalPath(other, planted), other.journalBytes(JournalOwner::Administrator));
    const auto machineAfter = Snapshot(other);
    for (const bool elevated : {false, true}) {
        SCOPED_TRACE(elevated ? "elevated" : "standard user");
        other.machine.account.isElevated = elevated;
        const Result refused = Cli(other, {"undo", planted});
        EXPECT_EQ(refused.code, 1);
        EXPECT_NE(refused.err.find("may name nothing but HKEY_CURRENT_USER"), std::string::npos) << refused.err;
        EXPECT_NE(refused.out.find(": 0 changes restored"), std::string::npos) << refused.out;
        EXPECT_EQ(Snapshot(other), machineAfter);
        EXPECT_FALSE(other.files().exists(kNotes));
    }
}

// A removal of many findings writes its journal once per group of findings, not once per change
// (each flush is several milliseconds on a real disk), and all of it comes back.
TEST(UndoJournal, AThousandFindingsTakeAFlushPerGroup) {
    constexpr int kFindings = 1000;
    World world;
    for (int i = 0; i < kFindings; ++i)
        world.machine.registry.setDword(HKLM, std::string(kDead) + std::to_string(i), "Value", i);
    TForm1& form = world.start(0);
    Category& ue = form.category("ue");
    ue.scan();
    ASSERT_EQ(ue.list().size(), static_cast<std::size_t>(kFindings));
    {
        JournalCommand command(form.undoJournal(), "test");
        ue.remove();
    }
    const auto& outcome = form.undoJournal().outcome();
    EXPECT_EQ(ue.list().size(), 0u);
    EXPECT_EQ(outcome.changes, static_cast<std::uint64_t>(kFindings));
    EXPECT_LE(outcome.flushes, 20u);
    EXPECT_EQ(outcome.flushes, 1 + (kFindings + ChangeGroup::kLargest - 1) / ChangeGroup::kLargest);
    EXPECT_EQ(Cli(world, {"undo", outcome.name}).code, 0);
    EXPECT_EQ(world.machine.registry.subKeyNames(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall").size(),
              static_cast<std::size_t>(kFindings));
}

// The journal reads what a removal takes away and nothing the removal read already: each key's
// access list and each value once, the key's counts asked once for the removal and the journal.
TEST(UndoJournal, ItReadsWhatGoesOnceBesideTheRemoval) {
    constexpr int kFindings = 10, kValues = 5;
    World world;
    auto seed = [&] {
        for (int i = 0; i < kFindings; ++i)
            for (int v = 0; v < kValues; ++v)
                world.machine.registry.setDword(HKLM, std::string(kDead) + std::to_string(i), "Value" + std::to_string(v), v);
    };
    CountedForm counted(world, 0);
    Category& ue = counted.form.category("ue");
    auto callsOfRemoval = [&](RegistryJournal* journal) {
        seed();
        ue.scan();
        EXPECT_EQ(ue.list().size(), static_cast<std::size_t>(kFindings));
        counted.form.context().journal = journal;
        const std::size_t before = counted.registry.calls;
        JournalCommand command(counted.form.undoJournal(), "test");
        ue.remove();
        EXPECT_EQ(ue.list().size(), 0u);
        return counted.registry.calls - before;
    };
    const std::size_t bare = callsOfRemoval(nullptr);
    const std::size_t journaled = callsOfRemoval(&counted.form.undoJournal());
    EXPECT_EQ(counted.form.undoJournal().outcome().changes, static_cast<std::uint64_t>(kFindings));
    EXPECT_LE(journaled - bare, static_cast<std::size_t>(kFindings * (1 + kValues)));
}

// A journal whose changes meet a fault once their entries are on the disk: the fault strikes
// after the first group is written, or the first that holds a file move.
struct Meanwhile : RegistryJournal {
    UndoJournal& inner;
    std::function<void()> fault;
    bool awaitMove;
    Meanwhile(UndoJournal& j, std::function<void()> f, bool onMove) : inner(j), fault(std::move(f)), awaitMove(onMove) {}
    JournalEntryNumber record(const RegistryChange& change, std::string& reason) override {
        return inner.record(change, reason);
    }
    JournalEntryNumber recordMove(const std::string& from, const std::string& to, const FileIdentity& moved,
                                  std::string& reason) override {
        awaitMove = false;
        return inner.recordMove(from, to, moved, reason);
    }
    bool write(std::string& reason) override {
        const bool kept = inner.write(reason);
        if (kept && fault && !awaitMove) std::exchange(fault, nullptr)();
        return kept;
    }
    void notMade(const std::vector<JournalEntryNumber>& entries) override { inner.notMade(entries); }
};

// A journal whose file stops taking writes midway: the changes of the group it could not keep are
// not made, their findings stay, and what was kept before still undoes.
TEST(UndoJournal, AFileThatStopsTakingWritesRefusesTheRestOfTheCommand) {
    const char* typed = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
    const std::size_t urls = ChangeGroup::kLargest + 6;
    World world;
    for (std::size_t i = 0; i < urls; ++i)
        world.machine.registry.setString(HKCU, typed, "url" + std::to_string(i), "http://example/" + std::to_string(i));
    TForm1& form = world.start();
    Invoke(form, "URLTyped1Click");
    UndoJournal& journal = form.undoJournal();
    Meanwhile locking(journal, [&] { world.machine.files.lock(JournalPath(world, journal.outcome().userName)); }, false);
    form.context().journal = &locking;
    {
        JournalCommand command(journal, "test");
        form.category("url").remove();
    }
    EXPECT_EQ(form.category("url").list().size(), urls - ChangeGroup::kLargest);
    EXPECT_EQ(world.host.messages.size(), 1u);
    const std::string name = journal.outcome().userName;
    world.machine.files.unlock(JournalPath(world, name));
    EXPECT_EQ(Cli(world, {"undo", name}).code, 0);
    EXPECT_EQ(world.machine.registry.valueNames(HKCU, typed).size(), urls);
}

// A change that failed after its entry was written is marked as not made, and undo never reverses
// it, even when what it names has gone meanwhile by other hands; a tree of which a part went keeps
// its entry, so that undo can bring that part back.
TEST(UndoJournal, AChangeThatFailedIsMarkedNotMadeAndNeverUndone) {
    using Step = std::function<void(Cluttered&)>;
    const std::string startbugNotes = std::string(kStartbug) + "\\notes.lnk";
    constexpr const char* kTyped = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
    struct Row {
        const char* what;
        const char* code;
        Step fault;        // once the first group of entries is on the disk
        std::size_t removed;  // findings that leave the list: the others stay
        std::size_t notMade;
        Step byOtherHands;  // after the removal, before the undo
        Step after;         // what must hold after the undo
        Step setup = nullptr;  // before the scan
    };
    const std::string onD = "D:\\Users\\pat\\Startup\\moved.lnk";
    const std::string startbugMoved = std::string(kStartbug) + "\\moved.lnk";
    const Row rows[] = {
        {"values the registry cannot delete", "url", [=](Cluttered& w) { w.machine.registry.failChanges(HKCU, kTyped); }, 0, 2,
         [=](Cluttered& w) { w.machine.registry.removeKey(HKCU, kTyped); },
         [=](Cluttered& w) { EXPECT_FALSE(w.machine.registry.exists(HKCU, kTyped)); }},
        {"a tree of which nothing went", "ue",
         [](Cluttered& w) { w.machine.registry.failChanges(HKLM, std::string(kDead) + "\\Sub\\Deeper"); }, 0, 1,
         [](Cluttered& w) { w.machine.registry.removeKey(HKLM, kDead); },
         [](Cluttered& w) { EXPECT_FALSE(w.machine.registry.exists(HKLM, kDead)); }},
        {"a tree of which a part went", "ue", [](Cluttered& w) { w.machine.registry.failChanges(HKLM, kDead); }, 0, 0,
         nullptr, nullptr},
        {"an unnamed value that cannot be emptied", "da",
         [](Cluttered& w) { w.machine.registry.failChanges(HKCU, "SOFTWARE\\KeltoraUndo"); }, 2, 1,
         [](Cluttered& w) { w.machine.registry.setString(HKCU, "SOFTWARE\\KeltoraUndo", "", ""); },
         [](Cluttered& w) { EXPECT_EQ(w.read(HKCU, "SOFTWARE\\KeltoraUndo", ""), ""); }},
        {"a Startup file whose name another program took in startbug", "sp",
         [=](Cluttered& w) { w.touch(startbugNotes, "another program's"); }, 1, 1,
         [](Cluttered& w) { w.files().deleteFile(kNotes); },
         [=](Cluttered& w) {
             EXPECT_FALSE(w.files().exists(kNotes));
             EXPECT_EQ(w.files().readFile(startbugNotes), std::optional<std::string>("another program's"));
         }},
        // The copy was made and read back, then the original could not be deleted (read-only,
        // and no POSIX deletes): the copy goes again.
        {"a Startup file on another volume whose original cannot be deleted", "sp",
         [=](Cluttered& w) {
             w.machine.files.posixDeletes = false;
             w.machine.files.setAttributes(onD, kAttrReadOnly);
         },
         1, 1,
         [=](Cluttered& w) {
             w.machine.files.setAttributes(onD, kAttrArchive);
             w.files().deleteFile(onD);
         },
         [=](Cluttered& w) {
             EXPECT_FALSE(w.files().exists(onD));
             EXPECT_FALSE(w.files().exists(startbugMoved));
         },
         [=](Cluttered& w) {
             ProfileOnD(w);
             w.machine.files.addTextFile(onD, "shortcut on D");
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Cluttered world;
        if (row.setup) row.setup(world);
        TForm1& form = world.start(0);
        Category& c = form.category(row.code);
        c.scan();
        Meanwhile meanwhile(form.undoJournal(), [&] { row.fault(world); }, std::string(row.code) == "sp");
        form.context().journal = &meanwhile;
        const std::size_t listed = c.list().size();
        ASSERT_GT(listed, row.removed);
        try {
            JournalCommand command(form.undoJournal(), "test");
            c.remove();
        } catch (const ERegistryException&) {
            // The failed write of an unnamed value ends the removal, as the settings write does.
        }
        EXPECT_EQ(c.list().size(), listed - row.removed);
        std::size_t notMade = 0;
        for (const auto& name : Journals(world)) notMade += ReadJournal(*world.files().readFile(JournalPath(world, name))).notMade;
        EXPECT_EQ(notMade, row.notMade);
        if (!row.byOtherHands) continue;
        row.byOtherHands(world);
        const Result undo = UndoAll(world);
        EXPECT_EQ(undo.code, 0) << undo.out << undo.err;
        EXPECT_NE(undo.err.find("could not be made at the time"), std::string::npos) << undo.err;
        row.after(world);
    }
}

// While its command runs a journal keeps blank space ahead of its records, cut off at the end, and
// its header names only records that were on the disk before the last write. A journal whose
// program stopped reads whole and the editor imports it; one cut short mid-write (a power loss)
// keeps every whole record before the cut, and undo brings those back.
TEST(UndoJournal, AJournalLeftBeforeItsCommandEndedKeepsEveryWholeRecord) {
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
        left = *world.files().readFile(JournalPath(world, journal.outcome().userName));
    }
    const std::string path = JournalPath(world, journal.outcome().userName);
    const std::string ended = *world.files().readFile(path);
    const std::string entry = EncodeRegFile(u"; Entry").substr(2);
    const std::size_t records = ended.find(entry);
    EXPECT_GT(left.size(), ended.size());
    EXPECT_EQ(left.substr(records, ended.size() - records), ended.substr(records));
    const JournalContents read = ReadJournal(left);
    EXPECT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.unfinished, 0u);
    ApplyRegFile(world.registry(), left);
    EXPECT_EQ(world.read(HKCU, typed, "url2"), "http://two.example/");

    // Cut in the second record, or its checksum broken there: the first still undoes.
    world.machine.registry.removeKey(HKCU, typed);
    world.machine.registry.addKey(HKCU, typed);
    const std::size_t second = ended.rfind(entry);
    for (const std::string& torn : {left.substr(0, second + 40), std::string(left).replace(second + 60, 2, "x\0", 2)}) {
        const JournalContents kept = ReadJournal(torn);
        ASSERT_EQ(kept.entries.size(), 1u);
        EXPECT_GT(kept.unfinished, 0u);
        world.files().writeFile(path, torn);
        const Result undo = Cli(world, {"undo", journal.outcome().userName});
        EXPECT_EQ(undo.code, 0) << undo.out << undo.err;
        EXPECT_NE(undo.err.find("never made"), std::string::npos) << undo.err;
        EXPECT_EQ(world.read(HKCU, typed, "url1"), "http://one.example/");
        EXPECT_FALSE(world.machine.registry.valueExists(HKCU, typed, "url2"));
    }
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
    const JournalContents journal = ReadJournal(world.journalBytes(JournalOwner::Administrator));
    for (const auto& entry : journal.entries) EXPECT_NE(entry.kind, JournalEntry::Kind::FileMove);
    EXPECT_EQ(Cli(world, {"undo", world.journal(JournalOwner::Administrator)}).code, 0);
    EXPECT_EQ(world.files().readFile(kMovedNotes), std::optional<std::string>("earlier"));
    EXPECT_EQ(world.files().readFile(kNotes), std::optional<std::string>("shortcut"));
}

// A Startup folder on another volume than startbug (a profile on D:): a file is copied, the copy
// checked, the original deleted, and the journal names the copy, which undo brings back; a
// folder, which cannot be moved there, is refused before the journal.
TEST(UndoJournal, AStartupFileOnAnotherVolumeIsCopiedAndComesBack) {
    Cluttered world;
    ProfileOnD(world);
    world.machine.files.addTextFile("D:\\Users\\pat\\Startup\\moved.lnk", "shortcut on D");
    world.machine.files.addDirectory("D:\\Users\\pat\\Startup\\Tools");
    const Result repair = Cli(world, kRepair);
    EXPECT_EQ(repair.code, 3) << repair.err;
    EXPECT_NE(repair.err.find("never deleted as a file nor moved to another volume"), std::string::npos) << repair.err;
    EXPECT_FALSE(world.files().exists("D:\\Users\\pat\\Startup\\moved.lnk"));
    EXPECT_EQ(world.files().readFile(std::string(kStartbug) + "\\moved.lnk"), std::optional<std::string>("shortcut on D"));
    EXPECT_TRUE(world.files().isDirectory("D:\\Users\\pat\\Startup\\Tools"));
    std::vector<std::u16string> moved;
    for (const auto& entry : ReadJournal(world.journalBytes(JournalOwner::Administrator)).entries)
        if (entry.kind == JournalEntry::Kind::FileMove) moved.push_back(entry.from);
    EXPECT_EQ(moved, std::vector<std::u16string>{u"D:\\Users\\pat\\Startup\\moved.lnk"});

    const Result undo = Cli(world, {"undo", world.journal(JournalOwner::Administrator)});
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
    const std::string name = world.journal(JournalOwner::Administrator);
    const std::string path = JournalPath(world, name);
    world.touch("C:\\Elsewhere\\keep.reg", *world.files().readFile(path));
    world.files().deleteFile(path);
    world.machine.files.addLink(path, "C:\\Elsewhere\\keep.reg", false);
    TForm1& form = world.start();
    Invoke(form, "CB1Categories1Items5Click");
    ASSERT_EQ(form.LVundo.size(), 2u);
    for (std::size_t row = 0; row < form.LVundo.size(); ++row)
        if (form.LVundo.at(row).caption == name) form.LVundo.select(static_cast<int>(row));
    Invoke(form, "OBdeleteundoClick");
    EXPECT_TRUE(world.files().exists("C:\\Elsewhere\\keep.reg"));
    EXPECT_EQ(form.LVundo.size(), 2u);
    ASSERT_EQ(world.host.messages.size(), 1u);
    EXPECT_NE(world.host.messages[0].find("is left as it is: it is a link"), std::string::npos) << world.host.messages[0];
}

}  // namespace
}  // namespace testing
}  // namespace keltora
