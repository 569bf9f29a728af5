// A browser counts as running when one of its programs runs in the session, when the system
// will not tell which programs run, or when its lock file is held; a lock file left behind is not.
#include <gtest/gtest.h>

#include <optional>

#include "scanners/browsers/BrowserMachine.h"

namespace keltora::testing {
namespace {

enum class Lock { None, LeftBehind, Held, Folder };

struct Row {
    const char* code;
    std::optional<std::vector<std::u16string>> programs;
    Lock lock;
    BrowserState expected;
};

TEST(BrowserRunning, ProgramsAndLockRows) {
    const std::vector<std::u16string> idle{u"explorer.exe", u"firefox.exe.bak", u"notmsedge.exe"};
    const Row rows[] = {
        {"edge", idle, Lock::None, BrowserState::Closed},
        {"edge", std::vector<std::u16string>{u"MSEDGE.EXE"}, Lock::None, BrowserState::ProgramRuns},
        {"edge", std::nullopt, Lock::None, BrowserState::ProgramRuns},
        {"edge", idle, Lock::LeftBehind, BrowserState::Closed},
        {"edge", idle, Lock::Held, BrowserState::LockHeld},
        {"edge", idle, Lock::Folder, BrowserState::LockHeld},
        {"chrome", std::vector<std::u16string>{u"msedge.exe"}, Lock::None, BrowserState::Closed},
        {"firefox", std::vector<std::u16string>{u"firefox.exe"}, Lock::None, BrowserState::ProgramRuns},
        {"firefox", idle, Lock::LeftBehind, BrowserState::Closed},
        {"firefox", idle, Lock::Held, BrowserState::LockHeld},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.code) + " lock " + std::to_string(static_cast<int>(row.lock)));
        BrowserMachine m;
        const Browser& browser = *FindBrowser(row.code);
        const bool firefox = browser.family == BrowserFamily::Firefox;
        const std::string folder = firefox ? kFirefoxData + "\\Profiles\\p"
                                           : kLocal + "\\" + Utf16ToUtf8(std::u16string(browser.data)) + "\\Default";
        m.files().addDirectory(folder);
        if (firefox) m.files().addTextFile(kFirefoxData + "\\profiles.ini", "[Profile0]\nName=p\nPath=Profiles/p\n");
        const std::string lock = (firefox ? folder : folder.substr(0, folder.find_last_of('\\'))) + "\\" +
                                 Utf16ToUtf8(std::u16string(browser.lockFile));
        if (row.lock == Lock::Folder) m.files().addDirectory(lock);
        if (row.lock == Lock::LeftBehind || row.lock == Lock::Held) m.files().addFile(lock, 0);
        if (row.lock == Lock::Held) m.files().lock(lock);
        m.machine.shell.programs = row.programs;
        const auto profiles = m.discover(row.code);
        ASSERT_EQ(1u, profiles.profiles.size());
        EXPECT_EQ(row.expected, BrowserRunning(m.platform(), browser, profiles, profiles.profiles.front()));
    }
}

}  // namespace
}  // namespace keltora::testing
