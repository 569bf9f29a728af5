// The rules every file category shares through its listing and the one place that acts on
// listed files: the folder rule, no links, exact names, gone means gone. The memory file system
// reproduces what the guards are for (Wine follows links in DeleteFileA, the ANSI calls strip a
// trailing dot and map look-alikes onto plain letters), so each row fails without its guard.
#include <gtest/gtest.h>

#include <functional>

#include "scanners/PrivacyMachine.h"

namespace keltora::testing {
namespace {

const std::string kRecent = "C:\\Users\\pat\\Recent\\";
const std::string kCrashDumps = "C:\\Users\\pat\\AppData\\Local\\CrashDumps\\";
const std::string kINetCache = "C:\\Users\\pat\\AppData\\Local\\Microsoft\\Windows\\INetCache\\";
const std::string kStartup = std::string(kStartupFolder) + "\\";
std::u16string U(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// A category: the value naming its folder, where below it a file is listed, and a name it lists.
struct CategoryRow {
    const char* code;
    HKey root;
    const char* value;
    const char* below;  // ends in '\' or is empty
    const char* bait;
};

const CategoryRow kCategories[] = {
    {"sp", kHKeyCurrentUser, "Startup", "", "evil.lnk"},
    {"pc", kHKeyCurrentUser, "Recent", "", "evil.lnk"},
    {"co", kHKeyCurrentUser, "Cookies", "", "x@google.txt"},
    {"his", kHKeyCurrentUser, "History", "History.IE5\\day\\", "x.url"},
    {"temp", kHKeyCurrentUser, "Local Settings", "Temp\\", "x.tmp"},
    {"tempie", kHKeyCurrentUser, "Cache", "Content.IE5\\AB\\", "x.gif"},
    {"dump", kHKeyLocalMachine, "SystemRoot", "MiniDump\\", "x.dmp"},
    {"log", kHKeyLocalMachine, "SystemRoot", "Debug\\UserMode\\", "x.log"},
    {"chk", kHKeyLocalMachine, "SystemRoot", "", "FILE0001.CHK"},
};

std::string valueText(const CategoryRow& row, const std::string& value) {
    std::string escaped;
    for (char c : value) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    const char* key = row.root == kHKeyCurrentUser
                          ? "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
                          : "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    return std::string("Windows Registry Editor Version 5.00\n\n[") + key + "]\n\"" + row.value + "\"=\"" + escaped +
           "\"\n";
}

// A value lists nothing unless it is an absolute folder below a drive root or a share, judged as
// the system resolves it; bait lies wherever a value that slipped through would lead.
TEST(FileListing, EveryFolderValueFollowsTheOneFolderRule) {
    struct Row {
        const char* value;
        const char* leadsTo;  // the folder a careless listing would read (current folder C:\)
    };
    const Row rows[] = {
        {"", "C:\\"},          {"rel", "C:\\rel\\"},           {"\\X", "C:\\X\\"},
        {"C:", "C:\\"},        {"C:X", "C:\\X\\"},             {"C:\\", "C:\\"},
        {"C:/", "C:\\"},       {"C:\\Windows\\..", "C:\\"},    {"\\\\?\\C:\\", "C:\\"},
        {"C:\\a.", "C:\\a\\"}, {"%USERPROFILE%\\x", "C:\\%USERPROFILE%\\x\\"},
    };
    for (const auto& category : kCategories) {
        for (const auto& row : rows) {
            World world(kUserFolders);
            world.load(valueText(category, row.value));
            const std::string folder = std::string(row.leadsTo) + (category.code == std::string("chk") ? "" : category.below);
            world.machine.files.addFile((category.code == std::string("chk") ? "C:\\" : folder) + category.bait, 1);
            world.start().category(category.code).scan();
            EXPECT_TRUE(world.form->category(category.code).list().empty()) << category.code << " " << row.value;
        }
        // Resolved as the system does: forward and doubled separators, ".", and the "\\?\" prefix.
        World world(kUserFolders);
        world.load(valueText(category, std::string("\\\\?\\C:/Users//pat/./Data/Here/")));
        world.machine.files.addFile("C:\\Users\\pat\\Data\\Here\\" + std::string(category.below) + category.bait, 1);
        if (category.code == std::string("chk")) world.machine.files.addFile(std::string("C:\\") + category.bait, 1);
        world.start().category(category.code).scan();
        const auto& list = world.form->category(category.code).list();
        ASSERT_EQ(list.size(), 1u) << category.code;
        std::string folder =
            category.code == std::string("chk") ? "C:\\" : "C:\\Users\\pat\\Data\\Here\\" + std::string(category.below);
        if (category.code == std::string("sp")) folder.pop_back();  // its location has no trailing '\'
        EXPECT_EQ(list.at(0).subItem(3), folder) << category.code;
    }
}

// A per-user value (any program of the user can change it) lists nothing outside the user's own
// profile folder, nothing in or around the machine's folders, nothing through a link below the
// profile, and nothing when the system tells no profile; the user is told which value and why.
// The bait lies where the value leads and survives the removal.
TEST(FileListing, EveryPerUserFolderStaysInsideTheProfile) {
    struct Row {
        const char* value;
        const char* leadsTo;  // where the bait lies; none where the memory file system has no such place
        const char* why;      // a part of what the user is told
    };
    const Row rows[] = {
        {"C:\\Users\\other\\Data", "C:\\Users\\other\\Data", "not inside the profile folder C:\\Users\\pat"},
        {"D:\\Data", "D:\\Data", "not inside the profile folder"},
        {"\\\\server\\share\\pat\\Data", nullptr, "not inside the profile folder"},
        {"C:\\Users\\pat", "C:\\Users\\pat", "not inside the profile folder"},
        {"C:\\Users\\pat\\..\\patrick\\Data", "C:\\Users\\patrick\\Data", "not inside the profile folder"},
        {"C:\\Users\\pat\\Programs\\Data", "C:\\Users\\pat\\Programs\\Data", "a folder of Windows or of the programs"},
        {"C:\\Users\\pat\\Link\\Data", "C:\\Secret\\Data", "is a link"},
        {"C:\\Users\\pat\\Data", "C:\\Users\\pat\\Data", "does not tell the profile folder"},
    };
    for (const auto& category : kCategories) {
        if (category.root != kHKeyCurrentUser) continue;
        for (const auto& row : rows) {
            World world(kUserFolders);
            world.load(valueText(category, row.value));
            // A program folder inside the profile, a junction below it to a folder outside.
            world.load("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                       "CurrentVersion]\n\"CommonFilesDir\"=\"C:\\\\Users\\\\pat\\\\Programs\"\n");
            world.machine.files.addDirectory("C:\\Secret");
            world.machine.files.addLink("C:\\Users\\pat\\Link", "C:\\Secret");
            if (std::string(row.why).starts_with("does not tell")) world.machine.account.profile = std::nullopt;
            const std::string bait = row.leadsTo ? std::string(row.leadsTo) + "\\" + category.below + category.bait : "";
            if (!bait.empty()) world.machine.files.addFile(bait, 1);
            TForm1& form = world.start();
            form.category(category.code).scan();
            const std::string label = std::string(category.code) + " " + row.value;
            EXPECT_TRUE(form.category(category.code).list().empty()) << label;
            ASSERT_EQ(world.host.messages.size(), 1u) << label;
            EXPECT_NE(world.host.messages[0].find("\"" + std::string(category.value) + "\""), std::string::npos) << label;
            EXPECT_NE(world.host.messages[0].find(row.why), std::string::npos) << world.host.messages[0];
            form.category(category.code).remove();
            EXPECT_TRUE(bait.empty() || world.files().exists(bait)) << label;
        }
    }
}

// Whatever a mask matches only through a file's 8.3 short name is neither listed nor deleted.
TEST(FileListing, EveryMaskIsTestedAgainstTheLongName) {
    const std::pair<const char*, std::string> rows[] = {
        {"temp", kUserTemp + "report.tmpx"},        {"co", kCookies + "x@google.txtx"},
        {"pc", kRecent + "doc.lnkx"},               {"dump", kWindows + "MiniDump\\m.dmpx"},
        {"log", kWindows + "Debug\\UserMode\\a.logx"}, {"log", kWindows + "security\\logs\\b.oldx"},
        {"chk", "C:\\FILE0001.CHKX"},
    };
    for (const auto& [code, path] : rows) {
        World world(kUserFolders);
        world.machine.files.addFile(path, 1);
        world.start().category(code).scan();
        EXPECT_TRUE(world.form->category(code).list().empty()) << path;
        world.form->category(code).remove();
        EXPECT_TRUE(world.files().exists(path)) << path;
    }
}

using Setup = std::function<void(MemoryFileSystem&)>;

struct FaultRow {
    const char* fault;
    const char* code;
    Setup before;                                  // the files the scan finds
    Setup between;                                 // what changes between scan and removal
    std::function<bool(const Finding&)> checked;  // nullptr: every finding
    std::size_t listed;                            // findings of the scan
    RemovalTally tally;                            // what the removal did
    std::vector<std::u16string> kept;              // exact paths still there
    std::vector<std::u16string> gone;              // exact paths no longer there
    const char* said;                              // nullptr, or what the one notice says why
    std::string folders{};                         // Shell Folders values of the row's own
    std::u16string profile{};                      // the profile folder, where not the usual one
};

const std::u16string kSecret = u"C:\\Secret\\keep.txt";
const Setup kNothing = [](MemoryFileSystem&) {};
bool exactOnly(const Finding& finding) { return !finding.exactName.empty(); }

TEST(FileRemoval, ActsOnlyOnTheVeryFileListed) {
    const FaultRow rows[] = {
        {"a link to a file outside, listed as Wine lists it", "co",
         [](MemoryFileSystem& fs) {
             fs.addFile("C:\\Secret\\keep.txt", 1);
             fs.addLink(kCookies + "x@google.txt", "C:\\Secret\\keep.txt", false);
         },
         kNothing, nullptr, 1, {0, 0, 0, 1}, {kSecret}, {}, "it is a link"},
        {"a link to a file is not listed", "co",
         [](MemoryFileSystem& fs) {
             fs.addFile("C:\\Secret\\keep.txt", 1);
             fs.addLink(kCookies + "x@google.txt", "C:\\Secret\\keep.txt");
         },
         kNothing, nullptr, 0, {}, {kSecret}, {}, nullptr},
        {"a junction in a store is not entered", "his",
         [](MemoryFileSystem& fs) {
             fs.addFile("C:\\Secret\\keep.url", 1);
             fs.addLink(kHistoryStore + "day", "C:\\Secret");
         },
         kNothing, nullptr, 0, {}, {u"C:\\Secret\\keep.url"}, {}, nullptr},
        {"a store that is a junction is not walked", "his",
         [](MemoryFileSystem& fs) {
             fs.addFile("C:\\Secret\\day\\keep.url", 1);
             fs.addLink(kHistoryStore.substr(0, kHistoryStore.size() - 1), "C:\\Secret");
         },
         kNothing, nullptr, 0, {}, {u"C:\\Secret\\day\\keep.url"}, {}, nullptr},
        {"a file swapped for a link after the scan", "temp",
         [](MemoryFileSystem& fs) {
             fs.addFile(kUserTemp + "x.tmp", 1);
             fs.addFile("C:\\Secret\\keep.txt", 1);
         },
         [](MemoryFileSystem& fs) {
             fs.deleteFile(kUserTemp + "x.tmp");
             fs.addLink(kUserTemp + "x.tmp", "C:\\Secret\\keep.txt");
         },
         nullptr, 1, {0, 0, 0, 1}, {kSecret}, {}, "it is a link"},
        {"a folder on the way swapped for a junction after the scan", "tempie",
         [](MemoryFileSystem& fs) {
             fs.addFile(kCacheStore + "AB\\x.gif", 1);
             fs.addFile("C:\\Secret\\x.gif", 1);
         },
         [](MemoryFileSystem& fs) {
             fs.moveFile(kCacheStore + "AB", "C:\\Moved");
             fs.addLink(kCacheStore + "AB", "C:\\Secret");
         },
         nullptr, 1, {0, 0, 0, 1}, {u"C:\\Secret\\x.gif"}, {}, "it is a link"},
        // The places of today's Windows act through the same place, on what their walk listed.
        {"a place's file swapped for a link after the scan", "cdump",
         [](MemoryFileSystem& fs) {
             fs.addFile(kCrashDumps + "x.dmp", 1);
             fs.addFile("C:\\Secret\\keep.txt", 1);
         },
         [](MemoryFileSystem& fs) {
             fs.deleteFile(kCrashDumps + "x.dmp");
             fs.addLink(kCrashDumps + "x.dmp", "C:\\Secret\\keep.txt");
         },
         nullptr, 1, {0, 0, 0, 1}, {kSecret}, {}, "it is a link"},
        {"another file made under a place's listed name after the scan", "cdump",
         [](MemoryFileSystem& fs) { fs.addFile(kCrashDumps + "x.dmp", 1); },
         [](MemoryFileSystem& fs) {
             fs.deleteFile(kCrashDumps + "x.dmp");
             fs.addFile(kCrashDumps + "x.dmp", 2);
         },
         nullptr, 1, {0, 0, 0, 1}, {U(kCrashDumps) + u"x.dmp"}, {}, "not the file that was listed"},
        {"a folder below a place swapped for a junction after the scan", "inet",
         [](MemoryFileSystem& fs) {
             fs.addFile(kINetCache + "IE\\AB\\x.gif", 1);
             fs.addFile("C:\\Secret\\x.gif", 1);
         },
         [](MemoryFileSystem& fs) {
             fs.moveFile(kINetCache + "IE\\AB", "C:\\Moved");
             fs.addLink(kINetCache + "IE\\AB", "C:\\Secret");
         },
         nullptr, 1, {0, 0, 0, 1}, {u"C:\\Secret\\x.gif"}, {}, "it is a link"},
        {"a trailing dot beside its plain twin", "his",
         [](MemoryFileSystem& fs) {
             fs.addFile(kHistoryStore + "day\\notes.url", 1);
             fs.addFile(U(kHistoryStore) + u"day\\notes.url.", 1);
         },
         kNothing, [](const Finding& f) { return f.caption == "notes.url."; }, 2, {1, 0, 0, 0},
         {U(kHistoryStore) + u"day\\notes.url"}, {U(kHistoryStore) + u"day\\notes.url."}, nullptr},
        {"a trailing blank moved aside, its twin stays", "sp",
         [](MemoryFileSystem& fs) {
             fs.addFile(kStartup + "run.lnk", 1);
             fs.addFile(U(kStartup) + u"run.lnk ", 1);
         },
         kNothing, [](const Finding& f) { return f.caption == "run.lnk "; }, 2, {1, 0, 0, 0},
         {U(kStartup) + u"run.lnk", U(kStartbug) + u"\\run.lnk "}, {U(kStartup) + u"run.lnk "}, nullptr},
        {"a name the code page maps onto another file's", "temp",
         [](MemoryFileSystem& fs) {
             fs.addFile(kUserTemp + "report.tmp", 1);
             fs.addFile(U(kUserTemp) + u"\uff52\uff45\uff50\uff4f\uff52\uff54.tmp", 1);
         },
         kNothing, exactOnly, 2, {1, 0, 0, 0}, {U(kUserTemp) + u"report.tmp"},
         {U(kUserTemp) + u"\uff52\uff45\uff50\uff4f\uff52\uff54.tmp"}, nullptr},
        {"a folder the code page maps onto another folder", "his",
         [](MemoryFileSystem& fs) {
             fs.addFile(kHistoryStore + "day\\x.url", 1);
             fs.addFile(U(kHistoryStore) + u"d\u0101y\\x.url", 1);
         },
         kNothing, exactOnly, 2, {1, 0, 0, 0}, {U(kHistoryStore) + u"day\\x.url"},
         {U(kHistoryStore) + u"d\u0101y\\x.url"}, nullptr},
        {"a character a Windows name cannot hold", "co",
         [](MemoryFileSystem& fs) { fs.addFile(U(kCookies) + u"a*google.txt", 1); }, kNothing, nullptr, 1,
         {0, 0, 0, 1}, {U(kCookies) + u"a*google.txt"}, {}, "reads as another file"},
        {"access denied is not gone", "temp", [](MemoryFileSystem& fs) {
             fs.addFile(kUserTemp + "held.tmp", 1);
             fs.deny(kUserTemp + "held.tmp");
         },
         kNothing, nullptr, 1, {0, 0, 0, 1}, {U(kUserTemp) + u"held.tmp"}, {},
         "could not be removed: C:\\Users\\pat\\Local Settings\\Temp\\held.tmp: Access is denied"},
        {"removed meanwhile by another program", "temp",
         [](MemoryFileSystem& fs) { fs.addFile(kUserTemp + "x.tmp", 1); },
         [](MemoryFileSystem& fs) { fs.deleteFile(kUserTemp + "x.tmp"); }, nullptr, 1, {0, 1, 0, 0}, {}, {}, nullptr},
        {"a path longer than the ANSI calls take", "his",
         [](MemoryFileSystem& fs) { fs.addFile(kHistoryStore + std::string(200, 'd') + "\\" + std::string(60, 'n') + ".url", 1); },
         kNothing, nullptr, 1, {1, 0, 0, 0}, {}, {U(kHistoryStore + std::string(200, 'd') + "\\" + std::string(60, 'n') + ".url")},
         nullptr},
        // Files are known by what they are, not by the text of their path.
        {"a drive letter for a folder of another drive (subst, a mapped share)", "co",
         [](MemoryFileSystem& fs) {
             fs.addDriveLetter('S', "D:\\Share");
             fs.addFile("S:\\pat\\Cookies\\x@google.txt", 1);
         },
         kNothing, nullptr, 1, {1, 0, 0, 0}, {}, {u"D:\\Share\\pat\\Cookies\\x@google.txt"}, nullptr,
         ShellFolderValue("Cookies", "S:\\pat\\Cookies"), u"S:\\pat"},
        {"a folder on the way redirected by a junction (a relocated profile)", "co",
         [](MemoryFileSystem& fs) {
             fs.addFile("D:\\Profiles\\pat\\Cookies\\x@google.txt", 1);
             fs.addLink("C:\\Profiles", "D:\\Profiles");
         },
         kNothing, nullptr, 1, {1, 0, 0, 0}, {}, {u"D:\\Profiles\\pat\\Cookies\\x@google.txt"}, nullptr,
         ShellFolderValue("Cookies", "C:\\Profiles\\pat\\Cookies"), u"C:\\Profiles\\pat"},
        {"another file made under the listed name after the scan", "temp",
         [](MemoryFileSystem& fs) { fs.addFile(kUserTemp + "x.tmp", 1); },
         [](MemoryFileSystem& fs) {
             fs.deleteFile(kUserTemp + "x.tmp");
             fs.addFile(kUserTemp + "x.tmp", 2);
         },
         nullptr, 1, {0, 0, 0, 1}, {U(kUserTemp) + u"x.tmp"}, {}, "not the file that was listed"},
        {"held open with delete sharing, POSIX semantics", "temp",
         [](MemoryFileSystem& fs) {
             fs.addFile(kUserTemp + "x.tmp", 1);
             fs.holdWithDeleteSharing(kUserTemp + "x.tmp");
         },
         kNothing, nullptr, 1, {1, 0, 0, 0}, {}, {U(kUserTemp) + u"x.tmp"}, nullptr},
        {"held open with delete sharing, the classic disposition", "temp",
         [](MemoryFileSystem& fs) {
             fs.posixDeletes = false;
             fs.addFile(kUserTemp + "x.tmp", 1);
             fs.holdWithDeleteSharing(kUserTemp + "x.tmp");
         },
         kNothing, nullptr, 1, {0, 0, 0, 1}, {U(kUserTemp) + u"x.tmp"}, {}, "when that program closes it"},
        {"read-only, POSIX semantics", "temp",
         [](MemoryFileSystem& fs) {
             fs.addFile(kUserTemp + "x.tmp", 1);
             fs.setAttributes(kUserTemp + "x.tmp", kAttrReadOnly);
         },
         kNothing, nullptr, 1, {1, 0, 0, 0}, {}, {U(kUserTemp) + u"x.tmp"}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fault);
        World world(kUserFolders);
        if (!row.folders.empty()) world.load(row.folders);
        if (!row.profile.empty()) world.machine.account.profile = row.profile;
        row.before(world.machine.files);
        TForm1& form = world.start();
        Category& c = form.category(row.code);
        c.scan();
        ASSERT_EQ(c.list().size(), row.listed);
        for (std::size_t i = 0; i < c.list().size(); ++i)
            c.list().setChecked(i, !row.checked || row.checked(c.list().at(i)));
        row.between(world.machine.files);
        const std::size_t unchecked = c.list().size() - static_cast<std::size_t>(row.tally.removed + row.tally.gone +
                                                                                  row.tally.left);
        Invoke(form, c.info().removeAction);
        EXPECT_EQ(form.lastRemoval, row.tally);
        EXPECT_EQ(c.list().size(), unchecked + static_cast<std::size_t>(row.tally.left));
        for (const auto& path : row.kept) EXPECT_TRUE(world.machine.files.hasExact(path));
        for (const auto& path : row.gone) EXPECT_FALSE(world.machine.files.hasExact(path));
        ASSERT_EQ(world.host.messages.size(), row.said ? 1u : 0u);
        if (row.said) {
            EXPECT_NE(world.host.messages[0].find(row.said), std::string::npos) << world.host.messages[0];
        }
    }
}

TEST(FileRemoval, ADryRunChecksEverythingAndChangesNothing) {
    World world(kUserFolders);
    world.machine.files.addFile(kUserTemp + "x.tmp", 1);
    world.machine.files.addFile("C:\\Secret\\keep.txt", 1);
    world.machine.files.addLink(kUserTemp + "y.tmp", "C:\\Secret\\keep.txt", false);
    TForm1& form = world.start();
    form.context().dryRun = true;
    Invoke(form, "temp_filesExecute");
    Invoke(form, "removetempExecute");
    EXPECT_EQ(form.lastRemoval, (RemovalTally{1, 0, 0, 1}));
    EXPECT_TRUE(world.files().exists(kUserTemp + "x.tmp"));
    EXPECT_TRUE(world.files().exists("C:\\Secret\\keep.txt"));
}

}  // namespace
}  // namespace keltora::testing
