// The extension and deep-analysis scans on real user hives (fixtures/REAL-HIVES.md): no
// extension that names its handlers is reported, and once every path the values mean exists,
// the deep analysis reports nothing.
#include <gtest/gtest.h>

#include <fstream>

#include "RegistryTestSupport.h"

namespace keltora::testing {
namespace {

// The paths fixtures/ntuser-win7-software.paths lists, made in the world's file system.
void MakeMeantPaths(World& world) {
    std::ifstream in(KELTORA_FIXTURES "/ntuser-win7-software.paths");
    ASSERT_TRUE(in.good());
    for (std::string line; std::getline(in, line);) {
        // The memory machine defines no variables of a user profile: values naming them are not
        // judged, and their lines are left out.
        if (line.empty() || line[0] == '#' || line[0] == '%') continue;
        if (line.back() == '\\') {
            world.files().createDirectories(line.substr(0, line.size() - 1));
        } else {
            world.touch(line);
        }
    }
}

TEST(RealHives, AUserClassesHiveShowsOnlyTheExtensionThatNamesNoHandler) {
    World world;
    ApplyRegFileAt(world.machine.registry, KELTORA_FIXTURES "/usrclass-extensions.reg");
    TForm1& form = world.start();
    form.invoke("FileExtExecute");
    EXPECT_EQ(Captions(form.category("fe").list()), std::vector<std::string>{".pano"});
}

TEST(RealHives, AUserHiveWhosePathsAllExistHasNoMissingPath) {
    World world;
    AddBaseFolders(world);
    ApplyRegFileAt(world.machine.registry, KELTORA_FIXTURES "/ntuser-win7-software.reg");
    TForm1& form = world.start();
    form.invoke("DeepExecute");
    EXPECT_GT(form.category("da").list().size(), 100u);  // the hive is read
    MakeMeantPaths(world);
    form.invoke("DeepExecute");
    EXPECT_EQ(Captions(form.category("da").list()), std::vector<std::string>{});
}

}  // namespace
}  // namespace keltora::testing
