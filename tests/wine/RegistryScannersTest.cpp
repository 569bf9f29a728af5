// The registry categories' removals on a real (Wine) registry where it differs from a plain tree:
// registry links inside a finding's subtree, names the ANSI code page cannot carry, and findings
// whose reason changed after the scan. Every test makes its own keys (their names hold "Kelt"),
// leaves unchecked whatever it did not make, and takes away what it made.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Unit1.h"
#include "maintenance/UndoJournal.h"
#include "platform/win32/Win32Platform.h"

namespace keltora::wine {
namespace {

const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kTarget = L"SOFTWARE\\KeltLinkTarget";

class QuietHost : public AppHost {
public:
    void processMessages() override {}
    void setCursor(Cursor) override {}
    void showMessage(const std::string&) override {}
    void setTopmost(bool) override {}
    void setTrayIcon(bool) override {}
    std::string executableFolder() override { return "C:\\"; }
    void quit() override {}
};

HKEY create(HKEY root, const std::wstring& path, DWORD options = 0) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

void setString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text) {
    HKEY key = create(root, path);
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// root\path as a link to the machine's key target.
void makeLink(HKEY root, const std::wstring& path, const std::wstring& target) {
    HKEY key = create(root, path, REG_OPTION_CREATE_LINK);
    const std::wstring nt = L"\\Registry\\Machine\\" + target;
    EXPECT_EQ(RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(nt.c_str()),
                             static_cast<DWORD>(nt.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// Deletes a link itself, never its target; nothing when there is none.
void deleteLink(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, DELETE, &key) != ERROR_SUCCESS) return;
    using NtDeleteKey = LONG(NTAPI*)(HANDLE);
    reinterpret_cast<NtDeleteKey>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")))(key);
    RegCloseKey(key);
}

bool keyThere(HKEY root, const std::wstring& path, DWORD options = 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), options, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool valueThere(HKEY root, const std::wstring& path, const std::wstring& name) {
    return RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

constexpr int kMany = 1000;
std::wstring manyKey(int i) { return kUninstall + L"\\KeltMany" + std::to_wstring(i); }

// The real clock's pauses and date, with a count of milliseconds that stands still: how many
// findings a journal group takes then depends on the count alone, never on how fast this machine is.
class StillClock : public Clock {
public:
    explicit StillClock(Clock& real) : real_(real) {}
    void sleep(std::uint32_t ms) override { real_.sleep(ms); }
    LocalTime now() override { return real_.now(); }
    std::uint64_t milliseconds() override { return 0; }

private:
    Clock& real_;
};

class RegistryScanners : public ::testing::Test {
protected:
    void SetUp() override {
        cleanUp();
        form_ = std::make_unique<TForm1>(win32Platform(), host_, 0.0);
        form_->FormCreate();
    }
    void TearDown() override {
        form_.reset();
        cleanUp();
    }
    static void cleanUp() {
        deleteLink(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltLinked\\Sub\\ToTarget");
        deleteLink(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltIsLink");
        for (const wchar_t* name : {L"KeltLinked", L"KeltChanged"})
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kUninstall + L"\\" + name).c_str());
        for (int i = 0; i < kMany; ++i) RegDeleteTreeW(HKEY_LOCAL_MACHINE, manyKey(i).c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTarget.c_str());
        HKEY run = create(HKEY_CURRENT_USER, kRun);
        for (const wchar_t* name : {L"\u4E2D\u6587Kelt", L"??Kelt"}) RegDeleteValueW(run, name);
        RegCloseKey(run);
    }

    // Scans, checks exactly the rows pick() chooses among those holding "Kelt", removes.
    template <typename Pick>
    void scanAndRemove(const std::string& code, Pick pick) {
        Category& category = form_->category(code);
        ASSERT_TRUE(form_->invoke(std::string(category.info().scanAction)));
        for (std::size_t row = 0; row < category.list().size(); ++row) {
            const Finding& finding = category.list().at(row);
            category.list().setChecked(row, finding.caption.find("Kelt") != std::string::npos && pick(finding));
        }
        ASSERT_TRUE(form_->invoke(std::string(category.info().removeAction)));
    }
    std::size_t listed(const std::string& code, const std::string& caption) {
        std::size_t count = 0;
        for (const auto& finding : form_->category(code).list().findings()) count += finding.caption == caption;
        return count;
    }

    QuietHost host_;
    std::unique_ptr<TForm1> form_;
};

TEST_F(RegistryScanners, ALinkInAnUninstallFindingIsRemovedAsTheLinkAndItsTargetStays) {
    setString(HKEY_LOCAL_MACHINE, kTarget, L"Keep", L"1");
    RegCloseKey(create(HKEY_LOCAL_MACHINE, kTarget + L"\\Child"));
    setString(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltLinked\\Sub", L"Size", L"1");
    makeLink(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltLinked\\Sub\\ToTarget", kTarget);
    makeLink(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltIsLink", kTarget);
    scanAndRemove("ue", [](const Finding&) { return true; });
    EXPECT_EQ(0u, listed("ue", "KeltLinked"));
    EXPECT_EQ(0u, listed("ue", "KeltIsLink"));
    EXPECT_FALSE(keyThere(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltLinked"));
    EXPECT_FALSE(keyThere(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltIsLink", REG_OPTION_OPEN_LINK));
    EXPECT_TRUE(valueThere(HKEY_LOCAL_MACHINE, kTarget, L"Keep"));
    EXPECT_TRUE(keyThere(HKEY_LOCAL_MACHINE, kTarget + L"\\Child"));
}

// The Chinese name reads as "??Kelt" through the ANSI calls, as does the other value's own name.
TEST_F(RegistryScanners, ARunValueWithAChineseNameNeverCostsTheValueItsAnsiFormNames) {
    const std::wstring chinese = L"\u4E2D\u6587Kelt";
    setString(HKEY_CURRENT_USER, kRun, chinese, L"C:\\chinese.exe");
    setString(HKEY_CURRENT_USER, kRun, L"??Kelt", L"C:\\literal.exe");
    scanAndRemove("sp", [](const Finding& finding) { return !finding.exactName.empty(); });
    EXPECT_FALSE(valueThere(HKEY_CURRENT_USER, kRun, chinese));
    EXPECT_TRUE(valueThere(HKEY_CURRENT_USER, kRun, L"??Kelt"));
    EXPECT_EQ(1u, listed("sp", "??Kelt"));
    EXPECT_EQ(1, form_->lastRemoval.removed);

    // And the other way round: the literal one goes, the Chinese one stays listed and there.
    setString(HKEY_CURRENT_USER, kRun, chinese, L"C:\\chinese.exe");
    scanAndRemove("sp", [](const Finding& finding) { return finding.exactName.empty(); });
    EXPECT_TRUE(valueThere(HKEY_CURRENT_USER, kRun, chinese));
    EXPECT_FALSE(valueThere(HKEY_CURRENT_USER, kRun, L"??Kelt"));
    ASSERT_EQ(1u, listed("sp", "??Kelt"));
}

TEST_F(RegistryScanners, AFindingWhoseReasonChangedAfterTheScanIsNotRemoved) {
    RegCloseKey(create(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltChanged"));
    Category& category = form_->category("ue");
    ASSERT_TRUE(form_->invoke("UninstallExecute"));
    ASSERT_EQ(1u, listed("ue", "KeltChanged"));
    setString(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltChanged", L"DisplayName", L"Kelt App");
    for (std::size_t row = 0; row < category.list().size(); ++row)
        category.list().setChecked(row, category.list().at(row).caption == "KeltChanged");
    ASSERT_TRUE(form_->invoke("removeueExecute"));
    EXPECT_TRUE(keyThere(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltChanged"));
    EXPECT_EQ(0u, listed("ue", "KeltChanged"));
    EXPECT_EQ((RemovalTally{0, 0, 1, 0}), form_->lastRemoval);
}

// A removal of 1,000 findings flushes its journal (an fsync under Wine) once per group of
// findings, not once per change.
TEST_F(RegistryScanners, AThousandFindingsTakeAJournalFlushPerGroup) {
    for (int i = 0; i < kMany; ++i) setString(HKEY_LOCAL_MACHINE, manyKey(i), L"Value", L"x");
    Platform& real = win32Platform();
    StillClock clock(real.clock);
    Platform platform{real.registry, real.files,    real.shell,   real.clipboard,
                      clock,         real.codePage, real.account, real.commandLock};
    TForm1 form(platform, host_, 0.0);
    form.FormCreate();
    Category& ue = form.category("ue");
    ASSERT_TRUE(form.invoke("UninstallExecute"));
    int checked = 0;
    for (std::size_t row = 0; row < ue.list().size(); ++row) {
        const bool many = ue.list().at(row).caption.rfind("KeltMany", 0) == 0;
        ue.list().setChecked(row, many);
        checked += many;
    }
    ASSERT_EQ(checked, kMany);
    ASSERT_TRUE(form.invoke("removeueExecute"));
    const auto& journal = form.undoJournal().outcome();
    EXPECT_EQ(form.lastRemoval.removed, kMany);
    EXPECT_LE(journal.flushes, 20u);
    EXPECT_FALSE(keyThere(HKEY_LOCAL_MACHINE, manyKey(0)));
    DeleteFileA((form.paths.undo() + "\\" + journal.name).c_str());
}

}  // namespace
}  // namespace keltora::wine
