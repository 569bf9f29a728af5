// The shell and clipboard doubles: what a scanner test sets up is what the program sees, and
// what the program asks for is recorded.
#include <gtest/gtest.h>

#include "platform/memory/MemoryClipboard.h"
#include "platform/memory/MemoryShell.h"

namespace keltora {
namespace {

TEST(MemoryShellTest, RecycleBinCountsAndEmpties) {
    MemoryShell shell;
    EXPECT_EQ(0, shell.queryRecycleBin()->items);
    shell.recycle("C:\\old.doc", 1000);
    shell.recycle("D:\\big.iso", 4LL << 30);
    auto info = shell.queryRecycleBin();
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(2, info->items);
    EXPECT_EQ(1000 + (4LL << 30), info->size);

    EXPECT_TRUE(shell.emptyRecycleBin(7));
    EXPECT_EQ(0, shell.queryRecycleBin()->items);
    EXPECT_EQ((std::vector<std::uint32_t>{7}), shell.emptyings());
}

TEST(MemoryShellTest, UnavailableRecycleBinFailsBothWays) {
    MemoryShell shell;
    shell.recycle("C:\\x", 1);
    shell.setRecycleBinAvailable(false);
    EXPECT_EQ(std::nullopt, shell.queryRecycleBin());
    EXPECT_FALSE(shell.emptyRecycleBin(7));
    EXPECT_EQ(1u, shell.recycledItems());
}

TEST(MemoryShellTest, OpensAndRunsAreRecordedAndRunsScripted) {
    MemoryShell shell;
    EXPECT_TRUE(shell.open("regedit.exe", "/e Backup.reg"));
    EXPECT_EQ(0u, shell.runAndWait("a.exe", "", 100));  // no script: a clean exit
    shell.onRun([](const ShellCall& call) -> std::optional<std::uint32_t> {
        if (call.target == "missing.exe") return std::nullopt;
        return 3;
    });
    EXPECT_EQ(std::nullopt, shell.runAndWait("missing.exe", "-x", 5000));
    EXPECT_EQ(3u, shell.runAndWait("b.exe", "", 0));
    ASSERT_EQ(1u, shell.opened().size());
    EXPECT_EQ("/e Backup.reg", shell.opened()[0].parameters);
    ASSERT_EQ(3u, shell.runs().size());
    EXPECT_EQ("missing.exe", shell.runs()[1].target);
    EXPECT_EQ(5000u, shell.runs()[1].timeoutMs);
    shell.setOpenResult(false);
    EXPECT_FALSE(shell.open("http://example.invalid/", ""));
}

TEST(MemoryClipboardTest, HoldsEachFormatUntilEmptied) {
    MemoryClipboard clipboard;
    clipboard.putText(std::string("copied\0rest", 11));
    clipboard.putBitmap();
    clipboard.putFiles({"C:\\a.txt", "C:\\b.txt"});
    auto contents = clipboard.read();
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(contents->hasText);
    EXPECT_EQ("copied", contents->text);  // text ends at its NUL
    EXPECT_TRUE(contents->hasBitmap);
    EXPECT_EQ(2u, contents->files.size());

    EXPECT_TRUE(clipboard.empty());
    contents = clipboard.read();
    EXPECT_FALSE(contents->hasText || contents->hasBitmap || !contents->files.empty());
}

TEST(MemoryClipboardTest, HeldByAnotherProgramCannotBeOpened) {
    MemoryClipboard clipboard;
    clipboard.putText("keep");
    clipboard.holdOpen(true);
    EXPECT_EQ(std::nullopt, clipboard.read());
    EXPECT_FALSE(clipboard.empty());
    EXPECT_TRUE(clipboard.contents().hasText);
    EXPECT_EQ(0, clipboard.emptyings());
}

}  // namespace
}  // namespace keltora
