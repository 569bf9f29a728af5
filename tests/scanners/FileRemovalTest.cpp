// The mends every file category shares through its listing and its removal: no listing outside
// a named folder, and no deletion of anything but the file a finding names.
#include <gtest/gtest.h>

#include "scanners/PrivacyMachine.h"

namespace keltora::testing {
namespace {

TEST(FileListing, AFolderValueThatNamesNoDriveListsNothing) {
    // Missing, empty, relative, drive-relative and relative to the current folder of drive C:.
    const std::vector<std::string> loads = {WithoutShellFolder("Cookies"), ShellFolderValue("Cookies", ""),
                                            ShellFolderValue("Cookies", "Cookies"),
                                            ShellFolderValue("Cookies", "\\Cookies"),
                                            ShellFolderValue("Cookies", "C:Cookies")};
    for (const auto& load : loads) {
        World world(kUserFolders);
        world.load(load);
        world.machine.files.addFile("C:\\Cookies\\google.txt", 1);
        world.machine.files.addFile("C:\\google.txt", 1);
        Invoke(world.start(), "CookiesExecute");
        EXPECT_TRUE(world.form->category("co").list().empty()) << load;
    }
}

// A file system whose listing of one folder also returns names that Windows would read as
// another file, or that try to leave the folder.
class OddListing : public MemoryFileSystem {
public:
    std::vector<FoundFile> find(const std::string& pattern) override {
        auto found = MemoryFileSystem::find(pattern);
        if (pattern == kCookies + "*.txt")
            for (const char* odd : {"pat@google.txt.", "pat@google.txt ", "..\\pat@google.txt", "a*google.txt"})
                found.push_back(FoundFile{odd, kAttrArchive, 1});
        return found;
    }
};

TEST(FileRemoval, ANameTheSystemWouldReadAsAnotherFileIsNeverDeleted) {
    World world(kUserFolders);
    OddListing files;
    files.addFile(kCookies + "pat@google.txt", 1, "keep");
    files.addFile("C:\\Users\\pat\\pat@google.txt", 1, "keep too");
    Platform platform{world.machine.registry, files, world.machine.shell, world.machine.clipboard, world.machine.clock, world.machine.codePage,
                      world.machine.account};
    TForm1 form(platform, world.host);
    form.FormCreate();
    Invoke(form, "CookiesExecute");
    auto& list = form.category("co").list();
    // The real file and the two names that only look different; what leaves the folder is not listed.
    ASSERT_EQ(Captions(list), (std::vector<std::string>{"pat@google.txt", "pat@google.txt.", "pat@google.txt ",
                                                        "a*google.txt"}));
    list.setChecked(0, false);
    Invoke(form, "removecoExecute");
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(files.readFile(kCookies + "pat@google.txt"), std::optional<std::string>("keep"));
    EXPECT_EQ(files.readFile("C:\\Users\\pat\\pat@google.txt"), std::optional<std::string>("keep too"));
}

TEST(FileRemoval, APathTooLongForTheSystemStaysListed) {
    World world(kUserFolders);
    const std::string deep = kHistoryStore + std::string(200, 'd') + "\\";
    world.machine.files.addFile(deep + "short.url", 1);
    world.machine.files.addFile(deep + std::string(60, 'n') + ".url", 1);
    TForm1& form = world.start();
    Invoke(form, "historyExecute");
    ASSERT_EQ(form.category("his").list().size(), 2u);
    Invoke(form, "removehisExecute");
    EXPECT_EQ(Captions(form.category("his").list()), (std::vector<std::string>{std::string(60, 'n') + ".url"}));
    EXPECT_FALSE(world.files().exists(deep + "short.url"));
    EXPECT_TRUE(world.files().exists(deep + std::string(60, 'n') + ".url"));
}

}  // namespace
}  // namespace keltora::testing
