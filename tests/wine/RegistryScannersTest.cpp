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
const std::wstring kClsid = L"Software\\Classes\\CLSID";
const std::wstring kTypedUrls = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::wstring kKeltClass = L"{4B454C54-0000-0000-0000-00000000AA01}";

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

// The real clock's pauses and date, with a system time that stands still: how many findings a
// journal group takes then depends on the count alone, never on how fast this machine is.
class StillClock : public Clock {
public:
    explicit StillClock(Clock& real) : real_(real) {}
    void sleep(std::uint32_t ms) override { real_.sleep(ms); }
    LocalTime now() override { return real_.now(); }
    std::uint64_t systemTime() override { return still_; }

private:
    Clock& real_;
    const std::uint64_t still_ = real_.systemTime();
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
        deleteLink(HKEY_CURRENT_USER, L"Software\\KeltLinkDeep");
        deleteLink(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltLinkApp");
        deleteLink(HKEY_CURRENT_USER, kClsid + L"\\" + kKeltClass);
        for (const auto& key : {L"Software\\KeltLinkDeep", L"Software\\KeltText"})
            RegDeleteTreeW(HKEY_CURRENT_USER, key);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kUninstall + L"\\KeltLinkApp").c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (kClsid + L"\\" + kKeltClass).c_str());
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
    // An Uninstall subkey that is itself a link is never listed, so it stays as it is.
    EXPECT_TRUE(keyThere(HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltIsLink", REG_OPTION_OPEN_LINK));
    EXPECT_TRUE(valueThere(HKEY_LOCAL_MACHINE, kTarget, L"Keep"));
    EXPECT_TRUE(keyThere(HKEY_LOCAL_MACHINE, kTarget + L"\\Child"));
}

// A link made with the native calls at some level of a finding's path after the scan leads to a
// key of the machine that holds the same item: the removal changes nothing there, and the finding
// stays listed. A scan lists nothing reached through a link.
TEST_F(RegistryScanners, ALinkAtAnyLevelOfAFindingsPathLeadsTheRemovalNowhere) {
    struct Row {
        const char* code;
        HKEY root;
        std::wstring item;    // the key that holds the item
        std::wstring linked;  // the key of its path a link takes the place of
        std::wstring decoy;   // below kTarget: the same item where the link leads
        const char* marker;   // in the finding of item, of no other
        bool remake;          // linked is a key of the system's, made again (empty) at the end
    };
    const Row rows[] = {
        {"da", HKEY_CURRENT_USER, L"Software\\KeltLinkDeep\\Sub", L"Software\\KeltLinkDeep", L"\\Sub", "KeltLinkDeep", false},
        {"ue", HKEY_LOCAL_MACHINE, kUninstall + L"\\KeltLinkApp", kUninstall + L"\\KeltLinkApp", L"", "KeltLinkApp",
         false},
        {"ax", HKEY_CURRENT_USER, kClsid + L"\\" + kKeltClass, kClsid + L"\\" + kKeltClass, L"", "AA01", false},
        {"sp", HKEY_CURRENT_USER, kRun, kRun, L"", "KeltRunItem", true},
        {"url", HKEY_CURRENT_USER, kTypedUrls, kTypedUrls, L"", "KeltUrlItem", true},
    };
    auto isItem = [](const Finding& finding, const char* marker) {
        return (finding.caption + finding.subItem(2) + finding.subItem(3)).find(marker) != std::string::npos;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        for (const std::wstring& at : {row.item, kTarget + row.decoy}) {
            HKEY root = at == row.item ? row.root : HKEY_LOCAL_MACHINE;
            if (std::string(row.code) == "da") setString(root, at, L"Path", L"C:\\KeltGone\\a.exe");
            if (std::string(row.code) == "ue") RegCloseKey(create(root, at));
            if (std::string(row.code) == "ax") setString(root, at + L"\\InprocServer32", L"", L"C:\\KeltGone\\a.dll");
            if (std::string(row.code) == "sp") setString(root, at, L"KeltRunItem", L"C:\\KeltGone\\run.exe");
            if (std::string(row.code) == "url") setString(root, at, L"KeltUrlItem", L"http://kelt.example/");
        }
        scanAndRemove(row.code, [](const Finding&) { return false; });
        Category& category = form_->category(row.code);
        std::size_t ours = 0;
        for (std::size_t i = 0; i < category.list().size(); ++i) {
            const bool item = isItem(category.list().at(i), row.marker);
            category.list().setChecked(i, item);
            ours += item;
        }
        ASSERT_EQ(1u, ours);
        RegDeleteTreeW(row.root, row.linked.c_str());
        makeLink(row.root, row.linked, kTarget);
        ASSERT_TRUE(form_->invoke(std::string(category.info().removeAction)));
        EXPECT_EQ((RemovalTally{0, 0, 0, 1}), form_->lastRemoval);
        EXPECT_TRUE(keyThere(HKEY_LOCAL_MACHINE, kTarget + row.decoy));
        const std::string marker = row.marker;
        if (row.remake) {
            EXPECT_TRUE(valueThere(HKEY_LOCAL_MACHINE, kTarget, std::wstring(marker.begin(), marker.end())));
        }
        // Scanned again, nothing is listed through the link.
        ASSERT_TRUE(form_->invoke(std::string(category.info().scanAction)));
        for (const auto& finding : category.list().findings()) EXPECT_FALSE(isItem(finding, row.marker));
        deleteLink(row.root, row.linked);
        if (row.remake) RegCloseKey(create(row.root, row.linked));
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTarget.c_str());
    }
}

// String data written without its terminating NUL is read whole: the path it names is the path
// the list shows and the path looked for.
TEST_F(RegistryScanners, AStringWithoutItsNulIsReadWhole) {
    HKEY key = create(HKEY_CURRENT_USER, L"Software\\KeltText");
    const std::wstring gone = L"C:\\KeltGone\\x.dll", there = L"C:\\windows\\system32\\kernel32.dll";
    for (const auto& [name, text] : {std::pair{L"Gone", gone}, std::pair{L"There", there}})
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    ASSERT_TRUE(form_->invoke("DeepExecute"));
    std::vector<std::string> ours;
    for (const auto& finding : form_->category("da").list().findings())
        if (finding.subItem(3).find("KeltText") != std::string::npos) ours.push_back(finding.caption);
    EXPECT_EQ(std::vector<std::string>{"C:\\KeltGone\\x.dll"}, ours);
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
