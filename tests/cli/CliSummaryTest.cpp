#include <gtest/gtest.h>

#include <sstream>

#include "cli/Cli.h"
#include "support/FakeRegistryEditor.h"

namespace keltora::testing {
namespace {

struct Outcome {
    int code;
    std::string out, err;
};

struct CliWorld : World {
    CliWorld()
        : World("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                "CurrentVersion\\Run]\n\"One\"=\"1\"\n\"Two\"=\"2\"\n") {
        InstallRegistryEditor(*this, behaviour);
        machine.clock.setNow({2026, 3, 4, 10, 20, 30});
        machine.clock.setAdvancing(true);
    }
    Outcome run(std::vector<std::string> args) {
        std::ostringstream out, err;
        ConsoleHost console(err, "C:\\Program Files\\Keltora Professional\\");
        const int code = RunCli(args, platform(), console, out, err);
        return {code, out.str(), err.str()};
    }
    EditorBehaviour behaviour = EditorBehaviour::Works;
};

TEST(CliSummary, FullscanPrintsTheSummaryListAndBothBoxes) {
    CliWorld world;
    auto r = world.run({"fullscan", "--rows", "1,5"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "== all lvall 28");
    EXPECT_NE(r.out.find("x\tRunning While Startup\t2\tRegistry\n"), std::string::npos);
    EXPECT_NE(r.out.find("-\tCookies\t0\tPrivacy Threats\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n2 Errors found\nNo Privacy Threats found\n"), std::string::npos);
    EXPECT_TRUE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"));
}

TEST(CliSummary, RepairWithBackupLeavesABackupAndRemovesTheFindings) {
    CliWorld world;
    auto r = world.run({"repair", "--rows", "1", "--backup"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\nNo Errors Found\n"), std::string::npos);
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"));
    auto list = world.run({"backups"});
    EXPECT_EQ(list.out, "== backups LVbackup 1\nBackup File\tDate Create\tTime Create\n"
                        "-\tBackup_10-20-30_4-3-2026.reg\t3/4/2026\t10:20:30 AM\n");
}

TEST(CliSummary, AFailedBackupIsExitFourAndRepairsNothing) {
    CliWorld world;
    world.behaviour = EditorBehaviour::Fails;
    auto backup = world.run({"backup"});
    EXPECT_EQ(backup.code, 4);
    EXPECT_NE(backup.err.find("The registry backup was not made"), std::string::npos);
    auto repair = world.run({"repair", "--rows", "1", "--backup"});
    EXPECT_EQ(repair.code, 4);
    EXPECT_TRUE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"));
}

TEST(CliSummary, RestoreAndDeleteByName) {
    CliWorld world;
    ASSERT_EQ(world.run({"backup"}).code, 0);
    world.load("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
               "CurrentVersion\\Run]\n\"One\"=-\n");
    auto restore = world.run({"restore", "Backup_10-20-30_4-3-2026.reg"});
    EXPECT_EQ(restore.code, 0) << restore.err;
    EXPECT_TRUE(world.valueExists(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "One"));
    // A name that is not there: the command line was right, the backup is missing (1).
    auto missing = world.run({"restore", "Backup_1-1-1_1-1-2000.reg"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("no backup named 'Backup_1-1-1_1-1-2000.reg' in C:\\Program Files\\Keltora "
                               "Professional\\Backups"), std::string::npos) << missing.err;
    EXPECT_EQ(world.run({"delete", "Backup_1-1-1_1-1-2000"}).code, 1);
    // The name with or without its .reg.
    EXPECT_EQ(world.run({"restore", "Backup_10-20-30_4-3-2026"}).out, "restored Backup_10-20-30_4-3-2026.reg\n");
    auto del = world.run({"delete", "Backup_10-20-30_4-3-2026"});
    EXPECT_EQ(del.out, "== backups LVbackup 0\nBackup File\tDate Create\tTime Create\n");
}

TEST(CliSummary, OptimizePrintsTheFinalTextsAndBadRowsAreUsageErrors) {
    CliWorld world;
    auto r = world.run({"optimize"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Optimize Complete: Two Hives Completed\n\nScan Complete...\n");
    EXPECT_EQ(world.run({"fullscan", "--rows", "0"}).code, 2);
    EXPECT_EQ(world.run({"fullscan", "--backup"}).code, 2);
    EXPECT_EQ(world.run({"repair", "--rows", "28"}).code, 2);
}

}  // namespace
}  // namespace keltora::testing
