// The Wine environment of the conformance suite: what every conformance case takes for granted.
#include <windows.h>

#include <algorithm>

#include "platform/Registry2.h"
#include "wine/WineScratch.h"

namespace keltora::wine {
namespace {

using EnvTest = WineScratch;

TEST_F(EnvTest, TheCurrentUserRootReadsThroughTheBackend) {
    TRegistry reg(platform().registry, kKeyRead);
    ASSERT_TRUE(reg.OpenKey("Software", false));
    std::vector<std::string> names;
    reg.GetKeyNames(names);
    EXPECT_FALSE(names.empty());
}

TEST_F(EnvTest, StartsWithAnEmptyScratchKey) {
    HKey opened = 0;
    ASSERT_EQ(platform().registry.openKey(kHKeyCurrentUser, key(), kKeyRead, opened), kErrorSuccess);
    KeyInfo info;
    EXPECT_EQ(platform().registry.queryInfoKey(opened, info), kErrorSuccess);
    EXPECT_EQ(info.subKeys, 0u);
    EXPECT_EQ(info.values, 0u);
    platform().registry.closeKey(opened);
}

TEST_F(EnvTest, StartsWithAnEmptyScratchFolderWithADrive) {
    ASSERT_GE(folder().size(), 3u);
    EXPECT_EQ(folder()[1], ':');
    EXPECT_NE(folder().back(), '\\');
    std::vector<std::string> names;
    for (const auto& found : platform().files.find(folder() + "\\*")) names.push_back(found.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", ".."}));
}

TEST_F(EnvTest, TearDownRemovesAWholeTreeOfKeysAndFiles) {
    TRegistry reg(platform().registry);
    ASSERT_TRUE(reg.OpenKey(key() + "\\a\\b\\c", true));
    reg.WriteString("v", "x");
    reg.CloseKey();
    ASSERT_TRUE(platform().files.createDirectories(inFolder("d1\\d2")));
    ASSERT_TRUE(platform().files.writeFile(inFolder("d1\\d2\\f.txt"), "text"));
    ASSERT_TRUE(SetFileAttributesA(inFolder("d1\\d2\\f.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    env().tearDown();
    EXPECT_FALSE(reg.KeyExists("\\" + key()));
    EXPECT_FALSE(platform().files.exists(folder()));

    env().setUp();
    EXPECT_TRUE(reg.KeyExists("\\" + key()));
    EXPECT_TRUE(platform().files.isDirectory(folder()));
}

TEST_F(EnvTest, MakesAFileAboveFourGibibytesWithoutWritingIt) {
    const std::uint64_t size = 5ull << 30;
    env().makeFile(inFolder("big.bin"), size);
    auto found = platform().files.find(inFolder("big.bin"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].size, size);
    EXPECT_FALSE(found[0].isDirectory());
}

TEST_F(EnvTest, MakesAnEmptyFile) {
    env().makeFile(inFolder("empty.bin"), 0);
    auto found = platform().files.find(inFolder("empty.bin"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].size, 0u);
}

// The build hands the Wine tests the fixtures folder as Wine sees it (drive Z: is the root).
TEST(WineBuildTest, TheFixturesFolderIsAWindowsPath) {
    const std::string fixtures = KELTORA_FIXTURES;
    EXPECT_EQ(fixtures.rfind("Z:\\", 0), 0u) << fixtures;
    EXPECT_EQ(fixtures.find('/'), std::string::npos) << fixtures;
    const DWORD attributes = GetFileAttributesA(fixtures.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << fixtures;
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u) << fixtures;
}

}  // namespace
}  // namespace keltora::wine
