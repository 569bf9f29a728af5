// The shell backend under Wine: shell32's version, the Recycle Bin (Wine's is the freedesktop
// trash below the runner's HOME), ShellExecute and waiting for a started program.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "platform/FolderRule.h"
#include "platform/Helpers.h"
#include "platform/win32/Win32Platform.h"
#include "wine/WineScratch.h"

namespace keltora::wine {
namespace {

constexpr const char* kChildVariable = "KELTORA_TEST_CHILD";
constexpr const char* kChildDoneEvent = "KeltoraTestChildDone";

// Started as a child by the tests below (with KELTORA_TEST_CHILD="<sleep ms> <exit code>"), this
// binary sleeps, says so and ends with that code before any test runs.
[[maybe_unused]] const bool kChild = [] {
    char request[32];
    if (GetEnvironmentVariableA(kChildVariable, request, sizeof request) == 0) return false;
    char* rest = nullptr;
    const auto sleepMs = static_cast<DWORD>(std::strtoul(request, &rest, 10));
    const auto exitCode = static_cast<UINT>(std::strtoul(rest, nullptr, 10));
    Sleep(sleepMs);
    if (HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, kChildDoneEvent)) SetEvent(done);
    ExitProcess(exitCode);
}();

std::string selfPath() {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    return std::string(self, length);
}

constexpr std::uint32_t kQuietEmpty = SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND;

class Win32ShellTest : public WineScratch {
protected:
    Shell& shell() { return platform().shell; }

    // Deletes a file to the Recycle Bin as Explorer does.
    static void recycle(const std::string& path) {
        std::string from = path;
        from.push_back('\0');  // the list of names ends in a second NUL
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        ASSERT_EQ(SHFileOperationA(&operation), 0);
    }
};

TEST_F(Win32ShellTest, Shell32HasAVersion) {
    auto version = shell().shell32Version();
    ASSERT_TRUE(version.has_value());
    const std::uint32_t major = *version >> 16;
    EXPECT_GE(major, 4u);
    RecordProperty("shell32", std::to_string(major) + "." + std::to_string(*version & 0xFFFF));
}

TEST_F(Win32ShellTest, ADeletedFileStaysInTheRecycleBinUntilItIsEmptied) {
    shell().emptyRecycleBin(kQuietEmpty);
    auto before = shell().queryRecycleBin();
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(before->items, 0);

    ASSERT_TRUE(platform().files.writeFile(inFolder("trash.txt"), std::string(3000, 't')));
    recycle(inFolder("trash.txt"));
    EXPECT_FALSE(platform().files.exists(inFolder("trash.txt")));
    auto full = shell().queryRecycleBin();
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->items, 1);
    EXPECT_GE(full->size, 3000);

    EXPECT_TRUE(shell().emptyRecycleBin(kQuietEmpty));
    auto emptied = shell().queryRecycleBin();
    ASSERT_TRUE(emptied.has_value());
    EXPECT_EQ(emptied->items, 0);
    EXPECT_EQ(emptied->size, 0);
}

TEST_F(Win32ShellTest, RunAndWaitGivesTheExitCode) {
    EXPECT_EQ(shell().runAndWait("cmd.exe", "/c exit 7", 30000), std::optional<std::uint32_t>(7));
    EXPECT_EQ(shell().runAndWait("cmd.exe", "/c exit 0", 30000), std::optional<std::uint32_t>(0));
}

TEST_F(Win32ShellTest, RunAndWaitOfAMissingProgramGivesNothing) {
    EXPECT_FALSE(shell().runAndWait("C:\\keltora-no-such-program.exe", "", 5000).has_value());
}

// Unquoted, "C:\...\with blank\child.exe" would start "C:\...\with.exe" with the rest as its
// arguments: CreateProcess tries the command line up to each blank in turn.
TEST_F(Win32ShellTest, RunAndWaitKeepsAProgramPathWithBlanksWhole) {
    ASSERT_TRUE(platform().files.createDirectory(inFolder("with blank")));
    ASSERT_TRUE(CopyFileA(selfPath().c_str(), inFolder("with blank\\child.exe").c_str(), TRUE));
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\reg.exe", inFolder("with.exe").c_str(), TRUE));
    SetEnvironmentVariableA(kChildVariable, "0 3");
    auto result = shell().runAndWait(inFolder("with blank\\child.exe"), "", 30000);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    EXPECT_EQ(result, std::optional<std::uint32_t>(3));
}

TEST_F(Win32ShellTest, AProgramThatOutlivesTheWaitIsLeftRunning) {
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, kChildDoneEvent);
    ASSERT_NE(done, nullptr);
    SetEnvironmentVariableA(kChildVariable, "1500 0");
    auto result = shell().runAndWait(selfPath(), "", 200);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    EXPECT_FALSE(result.has_value());
    // The child was not ended: it finishes its sleep and reports.
    EXPECT_EQ(WaitForSingleObject(done, 30000), WAIT_OBJECT_0);
    CloseHandle(done);
}

TEST_F(Win32ShellTest, OpenStartsAProgramAndRefusesAMissingDocument) {
    EXPECT_TRUE(shell().open("cmd.exe", "/c exit 0"));
    EXPECT_FALSE(shell().open("C:\\keltora-no-such-document.txt", ""));
}

}  // namespace
}  // namespace keltora::wine

namespace keltora::wine {
namespace {

// The process's account is known, and a program started normally runs as the signed-in user,
// the owner of the shell (Wine runs every program as one user; only Windows can show an
// administrator's process in another user's session).
TEST(Win32AccountTest, TheProcessRunsAsTheSignedInUser) {
    Account& account = win32Platform().account;
    const auto process = account.processUser();
    ASSERT_TRUE(process.has_value());
    EXPECT_EQ(process->sid.rfind("S-1-5-", 0), 0u) << process->sid;
    EXPECT_FALSE(process->display.empty());
    const auto session = account.sessionUser();
    if (session) {
        EXPECT_EQ(*session, *process) << session->display;
    }
}

// The profile folder is Windows' own record for the account, and it holds the user's shell
// folders (the folders the per-user categories list must lie inside it).
TEST(Win32AccountTest, TheProfileFolderIsTheAccountsOwnAndHoldsItsShellFolders) {
    const auto profile = win32Platform().account.profileFolder();
    ASSERT_TRUE(profile.has_value());
    wchar_t expected[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"USERPROFILE", expected, MAX_PATH), 0u);
    EXPECT_EQ(CompareStringOrdinal(reinterpret_cast<const wchar_t*>(profile->c_str()), -1, expected, -1, TRUE),
              CSTR_EQUAL);
    const std::string recent = ShellFolder(win32Platform().registry, "Recent");
    EXPECT_TRUE(IsWithinFolder(*UsableFolder(win32Platform().codePage.toWide(recent)), *profile)) << recent;
}

// The programs of the session include this very test program.
TEST(Win32SessionPrograms, ListThisProgram) {
    const auto programs = win32Platform().shell.sessionPrograms();
    ASSERT_TRUE(programs);
    const std::string self = selfPath().substr(selfPath().find_last_of('\\') + 1);
    bool found = false;
    for (const auto& program : *programs) found = found || Utf16ToUtf8(program) == self;
    EXPECT_TRUE(found) << self << " among " << programs->size();
}

}  // namespace
}  // namespace keltora::wine
