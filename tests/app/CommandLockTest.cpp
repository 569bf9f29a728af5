// One lock for every command that changes anything, shared by every Keltora program of a
// session: two windows (or a window and a console) on one machine never change things at once.
#include <gtest/gtest.h>

#include "scanners/PrivacyMachine.h"

namespace keltora::testing {
namespace {

TEST(CommandLock, AWindowRefusesWhileAnotherProgramChangesThings) {
    World world(kUserFolders);
    world.touch(kUserTemp + "x.tmp");
    TForm1& form = world.start();
    Invoke(form, "emporaryFiles1Click");
    world.machine.commandLock.hold(true);
    for (const char* command : {"OBhis3Click", "removetempExecute", "OBbackupClick"}) {
        world.host.messages.clear();
        Invoke(form, command);
        EXPECT_EQ(world.host.messages, std::vector<std::string>{TForm1::kLockBusy}) << command;
    }
    EXPECT_TRUE(world.files().exists(kUserTemp + "x.tmp"));
    EXPECT_EQ(form.category("temp").list().size(), 1u);
    EXPECT_EQ(world.machine.clock.pauses(), 101u);  // the page's scan; the refusals did not wait
}

TEST(CommandLock, NestedCommandsShareOneHoldAndReleaseIt) {
    World world(kUserFolders);
    world.touch(kUserTemp + "x.tmp");
    TForm1& form = world.start(0.0);
    form.fullScan(false);
    form.lvall.setChecked(0, false);
    Invoke(form, "OBall4Click");
    EXPECT_FALSE(world.files().exists(kUserTemp + "x.tmp"));
    EXPECT_EQ(world.machine.commandLock.acquisitions(), 1);
    EXPECT_FALSE(world.machine.commandLock.held());
}

// Another program removed the file after this window listed it: it leaves the list as gone.
TEST(CommandLock, AFileAnotherProgramRemovedLeavesAsGone) {
    World world(kUserFolders);
    world.touch(kUserTemp + "a.tmp");
    world.touch(kUserTemp + "b.tmp");
    TForm1& window = world.start();
    Invoke(window, "temp_filesExecute");
    TForm1 other(world.platform(), world.host);
    other.FormCreate();
    Invoke(other, "temp_filesExecute");
    other.category("temp").list().setChecked(1, false);
    Invoke(other, "removetempExecute");
    Invoke(window, "removetempExecute");
    EXPECT_EQ(window.lastRemoval, (RemovalTally{1, 1, 0, 0}));
    EXPECT_TRUE(window.category("temp").list().empty());
}

}  // namespace
}  // namespace keltora::testing
