#include <gtest/gtest.h>

#include "scanners/PrivacyMachine.h"
#include "scanners/privacy/SystemFiles.h"

namespace keltora::testing {
namespace {

std::string systemRoot(const std::string& root) {
    std::string escaped;
    for (char c : root) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\"
           "CurrentVersion]\n\"SystemRoot\"=\"" + escaped + "\"\n";
}

struct PlaceRow {
    const char* code;
    const char* file;  // below the Windows folder C:\Windows, or from the drive root
    bool reported;
};

// clang-format off
const PlaceRow kPlaceRows[] = {
    {"dump", "C:\\Windows\\MEMORY.DMP",                         true},
    {"dump", "C:\\Windows\\other.dmp",                          false},
    {"dump", "C:\\Windows\\MiniDump\\Mini030526-01.dmp",        true},
    {"dump", "C:\\Windows\\MiniDump\\Old\\Mini-02.dmp",         false},
    {"chk",  "C:\\FILE0000.CHK",                                true},
    {"chk",  "C:\\found.000\\FILE0001.CHK",                     false},
    {"chk",  "C:\\Windows\\FILE0002.CHK",                       false},
    {"log",  "C:\\Windows\\system32\\wbem\\Logs\\wmiprov.log",  true},
    {"log",  "C:\\Windows\\system32\\wbem\\Logs\\wbemess.lo_",  true},
    {"log",  "C:\\Windows\\setupapi.log",                       true},
    {"log",  "C:\\Windows\\WindowsUpdate.log",                  false},
    {"log",  "C:\\Windows\\windowsupdate.log",                  true},
    {"log",  "C:\\Windows\\setuplog.txt",                       true},
    {"log",  "C:\\Windows\\SETUPLOG.TXT",                       false},
    {"log",  "C:\\Windows\\Debug\\PASSWD.LOG",                  false},
    {"log",  "C:\\Windows\\Debug\\passwd.log",                  true},
    {"log",  "C:\\Windows\\Debug\\UserMode\\userenv.log",       true},
    {"log",  "C:\\Windows\\Debug\\UserMode\\userenv.bak",       true},
    {"log",  "C:\\Windows\\Debug\\UserMode\\Deeper\\x.log",     false},
    {"log",  "C:\\Windows\\security\\logs\\scepol.log",         true},
    {"log",  "C:\\Windows\\security\\logs\\winlogon.old",       true},
    {"log",  "C:\\Windows\\system32\\other.log",                false},
};
// clang-format on

TEST(SystemFiles, EachPlaceWithItsLeftOutRule) {
    for (const auto& row : kPlaceRows) {
        World world;
        world.machine.files.addFile(row.file, 5);
        Invoke(world.start(), std::string(row.code) + "Execute");
        const auto found = Paths(world.form->category(row.code).list());
        EXPECT_EQ(found, row.reported ? std::vector<std::string>{row.file} : std::vector<std::string>{})
            << row.code << " " << row.file;
    }
}

TEST(SystemFiles, PlacesKeepTheirTableOrder) {
    World world;
    world.machine.files.addFile("C:\\Windows\\security\\logs\\a.log", 1);
    world.machine.files.addFile("C:\\Windows\\system32\\wbem\\Logs\\z.log", 1);
    world.machine.files.addFile("C:\\Windows\\z.log", 1);
    Invoke(world.start(), "logExecute");
    EXPECT_EQ(Paths(world.form->category("log").list()),
              (std::vector<std::string>{"C:\\Windows\\system32\\wbem\\Logs\\z.log", "C:\\Windows\\z.log",
                                        "C:\\Windows\\security\\logs\\a.log"}));
    const auto& finding = world.form->category("log").list().at(0);
    EXPECT_EQ(finding.subItem(2), "All items listed in Temporary Folder");
    EXPECT_EQ(finding.subItem(4), "1 bytes");
}

TEST(SystemFiles, ChkdskFilesComeFromTheDriveRootWhateverTheFolderCase) {
    for (const char* root : {"C:\\WINDOWS", "C:\\Windows", "c:\\winnt"}) {
        World world(systemRoot(root));
        world.machine.files.addFile("C:\\FILE0000.CHK", 1);
        world.machine.files.addFile("C:\\WindowsFILE0001.CHK", 1);
        Invoke(world.start(), "chkExecute");
        EXPECT_EQ(Captions(world.form->category("chk").list()), (std::vector<std::string>{"FILE0000.CHK"})) << root;
    }
}

TEST(SystemFiles, UnreadableSystemRootListsNothingOnTheDrive) {
    World world("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\"
                "CurrentVersion]\n\"SystemRoot\"=-\n");
    world.machine.files.addFile("C:\\MiniDump\\stray.dmp", 1);
    world.machine.files.addFile("C:\\FILE0000.CHK", 1);
    world.machine.files.addFile("C:\\stray.log", 1);
    TForm1& form = world.start();
    for (const char* code : {"dump", "chk", "log"}) {
        Invoke(form, std::string(code) + "Execute");
        EXPECT_TRUE(form.category(code).list().empty()) << code;
    }
}

TEST(SystemFiles, AThreeGigabyteDumpShowsItsSize) {
    World world;
    world.machine.files.addFile("C:\\Windows\\MEMORY.DMP", 3ull << 30);
    Invoke(world.start(), "dumpExecute");
    EXPECT_EQ(world.form->category("dump").list().at(0).subItem(4), "3.00 GB");
}

TEST(SystemFiles, RemovalKeepsALogThatAServiceHoldsOpen) {
    World world;
    world.machine.files.addFile("C:\\Windows\\held.log", 1);
    world.machine.files.addFile("C:\\Windows\\old.log", 1);
    world.machine.files.lock("C:\\Windows\\held.log");
    TForm1& form = world.start();
    Invoke(form, "LogFiles2Click");
    Invoke(form, "OBhis3Click");
    EXPECT_EQ(Captions(form.category("log").list()), (std::vector<std::string>{"held.log"}));
    EXPECT_FALSE(world.files().exists("C:\\Windows\\old.log"));
    EXPECT_EQ(form.statustext.caption(), "  Status : Repaired Log Files");
    EXPECT_EQ(form.lvall.at(16).subItem(1), "1");
}

}  // namespace
}  // namespace keltora::testing
