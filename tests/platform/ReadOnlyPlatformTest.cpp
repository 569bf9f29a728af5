#include <gtest/gtest.h>

#include "platform/ReadOnlyPlatform.h"
#include "platform/memory/MemoryPlatform.h"
#include "platform/memory/RegFile.h"

namespace keltora {
namespace {

// Every change is refused as access denied and leaves the machine as it was; every read, and
// opening an existing key through RegCreateKeyEx, goes through.
TEST(ReadOnlyPlatform, RefusesEveryChangeAndLetsReadsThrough) {
    MemoryPlatform machine;
    machine.registry.setString(kHKeyCurrentUser, "Software\\A", "v", "1");
    machine.files.addTextFile("C:\\dir\\f.txt", "text");
    machine.shell.recycle("old.txt", 5);
    const std::string registryBefore = ExportRegFile(machine.registry);
    ReadOnlyPlatform guard(machine.platform());
    Platform& p = guard.platform();

    HKey key = 0;
    ASSERT_EQ(p.registry.createKey(kHKeyCurrentUser, "Software\\A", kKeyAllAccess, key), kErrorSuccess);
    EXPECT_EQ(p.registry.setValue(key, "v", kRegSz, reinterpret_cast<const std::uint8_t*>("2"), 2), kErrorAccessDenied);
    EXPECT_EQ(p.registry.deleteValue(key, "v"), kErrorAccessDenied);
    p.registry.closeKey(key);
    EXPECT_EQ(p.registry.deleteKey(kHKeyCurrentUser, "Software\\A"), kErrorAccessDenied);
    EXPECT_EQ(p.registry.createKey(kHKeyCurrentUser, "Software\\New", kKeyAllAccess, key), kErrorAccessDenied);
    EXPECT_EQ(ExportRegFile(machine.registry), registryBefore);

    EXPECT_EQ(p.files.readFile("C:\\dir\\f.txt"), std::optional<std::string>("text"));
    for (bool changed : {p.files.deleteFile("C:\\dir\\f.txt"), p.files.moveFile("C:\\dir\\f.txt", "C:\\g.txt"),
                         p.files.writeFile("C:\\dir\\f.txt", ""), p.files.appendFile("C:\\dir\\f.txt", "x"),
                         p.files.createNewFile("C:\\n.txt"), p.files.createDirectory("C:\\new"),
                         p.shell.emptyRecycleBin(7), p.clipboard.empty(), p.shell.open("x.exe", "")})
        EXPECT_FALSE(changed);
    long started = 0;
    EXPECT_FALSE(p.shell.runAndWait("C:\\Windows\\regedit.exe", "/s x.reg", 100, {}, &started).has_value());
    EXPECT_EQ(started, kErrorAccessDenied);
    EXPECT_EQ(machine.files.paths(), (std::vector<std::string>{"C:\\dir", "C:\\dir\\f.txt"}));
    EXPECT_EQ(machine.shell.recycledItems(), 1u);
    EXPECT_TRUE(machine.shell.runs().empty());
}

}  // namespace
}  // namespace keltora
