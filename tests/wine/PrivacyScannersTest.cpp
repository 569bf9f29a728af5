// The privacy scanners and the typed-history lists on a real (Wine) system: files in the folders
// that the prefix's own Shell Folders values name, the Recycle Bin of the Wine desktop and the
// clipboard. Every test makes its own files, leaves unchecked whatever it did not make, and takes
// away what it made.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/Unit1.h"
#include "platform/Helpers.h"
#include "platform/win32/Win32Platform.h"
#include "platform/Registry2.h"
#include "scanners/privacy/ClipboardCategory.h"
#include "scanners/privacy/History.h"

namespace keltora::wine {
namespace {

// Deletes a file to the Recycle Bin as Explorer does; true when the shell took it.
bool recycle(const std::string& path) {
    std::string from = path;
    from.push_back('\0');  // the list of names ends in a second NUL
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationA(&operation) == 0;
}

// Keeps a file open without letting others delete it, as a running program keeps its temporary
// file, until MARKER (made once the file is open) is gone; 60 s at most.
[[noreturn]] void holdFile(const std::string& markerAndPath) {
    const auto bar = markerAndPath.find('|');
    const std::string marker = markerAndPath.substr(0, bar), path = markerAndPath.substr(bar + 1);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) ExitProcess(1);
    CloseHandle(CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    for (int i = 0; i < 600 && GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    CloseHandle(file);
    ExitProcess(0);
}

// Started by tests/wine/cli_privacy.sh and cli_places.sh as "another program", this binary does
// one thing and ends before any test runs: "recycle PATH" deletes PATH to the Recycle Bin; "hold
// MARKER" opens the clipboard, makes the file MARKER and keeps the clipboard open until MARKER is
// gone (60 s at most); "lock MARKER|PATH" does the same with the file PATH held open.
[[maybe_unused]] const bool kHelperChild = [] {
    char task[1024];
    const DWORD length = GetEnvironmentVariableA("KELTORA_PRIVACY_HELPER", task, sizeof task);
    if (length == 0 || length >= sizeof task) return false;
    const std::string command(task, length);
    const auto blank = command.find(' ');
    const std::string verb = command.substr(0, blank), path = command.substr(blank + 1);
    if (verb == "recycle") ExitProcess(recycle(path) ? 0 : 1);
    if (verb == "lock") holdFile(path);
    HWND window = CreateWindowA("STATIC", "holder", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!OpenClipboard(window)) ExitProcess(1);
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    for (int i = 0; i < 600 && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    CloseClipboard();
    ExitProcess(0);
}();

class QuietHost : public AppHost {
public:
    void processMessages() override {}
    void setCursor(Cursor) override {}
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setTopmost(bool) override {}
    void setTrayIcon(bool) override {}
    std::string executableFolder() override { return "C:\\"; }
    void quit() override {}
    std::vector<std::string> messages;
};

const std::string kTag = "keltora-wine";

void makeFile(const std::string& path, std::size_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    const std::string content(size, 'k');
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Makes the folder and its parents.
void makeFolder(const std::string& path) {
    for (auto cut = path.find('\\', 3); cut != std::string::npos; cut = path.find('\\', cut + 1))
        CreateDirectoryA(path.substr(0, cut).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

// Names a "Local Settings" folder while the prefix has none, and takes the value away again.
class LocalSettings {
public:
    LocalSettings(RegistryApi& registry, const std::string& folder) : registry_(registry) {
        made_ = ShellFolder(registry, "Local Settings").empty();
        if (made_) SettingsWrite(registry, kHKeyCurrentUser, kShellFoldersKey, "Local Settings", folder, 1);
    }
    ~LocalSettings() {
        TRegistry reg(registry_);
        if (made_ && reg.OpenKey("\\" + std::string(kShellFoldersKey), false)) reg.DeleteValue("Local Settings");
    }

private:
    RegistryApi& registry_;
    bool made_ = false;
};

class PrivacyScanners : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm1>(win32Platform(), host_, 0.0);
        form_->FormCreate();
    }
    void TearDown() override {
        form_.reset();
        for (const auto& path : madeWide_) DeleteFileW(path.c_str());
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            if (!DeleteFileA(it->c_str())) RemoveDirectoryA(it->c_str());
    }

    TForm1& form() { return *form_; }
    RegistryApi& registry() { return win32Platform().registry; }
    std::string shellFolder(const char* name) { return ShellFolder(registry(), name); }

    // A file of this test, and the folders on its way that were not there before.
    std::string file(const std::string& folder, const std::string& name, std::size_t size = 1536) {
        std::string missing = folder;
        std::vector<std::string> folders;
        while (missing.size() > 3 && !exists(missing)) {
            folders.push_back(missing);
            missing = missing.substr(0, missing.find_last_of('\\'));
        }
        for (auto it = folders.rbegin(); it != folders.rend(); ++it) made_.push_back(*it);
        makeFolder(folder);
        const std::string path = folder + "\\" + name;
        makeFile(path, size);
        made_.push_back(path);
        return path;
    }

    // Scans, unchecks every finding this test did not make, removes, and gives the paths the
    // scan found among those it made.
    std::vector<std::string> scanAndRemoveOwn(const std::string& code) {
        Category& c = form().category(code);
        EXPECT_TRUE(form().invoke(std::string(c.info().scanAction)));
        std::vector<std::string> own;
        for (std::size_t row = 0; row < c.list().size(); ++row) {
            const Finding& f = c.list().at(row);
            const bool mine = f.caption.find(kTag) != std::string::npos;
            if (mine) own.push_back(f.subItem(3) + f.caption);
            c.list().setChecked(row, mine);
        }
        EXPECT_TRUE(form().invoke(std::string(c.info().removeAction)));
        for (const auto& f : c.list().findings()) EXPECT_EQ(f.caption.find(kTag), std::string::npos) << f.caption;
        return own;
    }

    // A file by its exact UTF-16 path (a name the ANSI calls cannot carry, or that they would strip).
    std::u16string wideFile(const std::u16string& path) {
        const std::wstring exact = L"\\\\?\\" + std::wstring(reinterpret_cast<const wchar_t*>(path.c_str()));
        CloseHandle(CreateFileW(exact.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        madeWide_.push_back(exact);
        return path;
    }
    static bool existsWide(const std::u16string& path) {
        const std::wstring exact = L"\\\\?\\" + std::wstring(reinterpret_cast<const wchar_t*>(path.c_str()));
        return GetFileAttributesW(exact.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    QuietHost host_;
    std::unique_ptr<TForm1> form_;
    std::vector<std::string> made_;
    std::vector<std::wstring> madeWide_;
};

TEST_F(PrivacyScanners, CookiesWithTrackingNamesAreFoundAndDeleted) {
    const std::string folder = shellFolder("Cookies");
    ASSERT_FALSE(folder.empty());
    const std::string tracked = file(folder, "root@doubleclick-" + kTag + "[1].txt");
    const std::string odd = file(folder, "root@ads; odd & [2] " + kTag + ".txt", 10);
    const std::string plain = file(folder, "root@plain-" + kTag + "[1].txt");
    const auto found = scanAndRemoveOwn("co");
    EXPECT_EQ(found.size(), 2u);
    EXPECT_FALSE(exists(tracked));
    EXPECT_FALSE(exists(odd));
    EXPECT_TRUE(exists(plain));
}

TEST_F(PrivacyScanners, HistoryStoreIsWalkedWithoutIndexFilesOrToday) {
    const std::string store = shellFolder("History") + "\\History.IE5";
    ASSERT_FALSE(shellFolder("History").empty());
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string today = DailyFolderName({now.wYear, now.wMonth, now.wDay});
    const std::string older = file(store + "\\MSHist012000010120000102", kTag + "-old.url");
    const std::string current = file(store + "\\" + today, kTag + "-today.url");
    file(store + "\\MSHist012000010120000102", "index.dat");
    // A path of 255 characters, just below what the system's calls take: found and removed.
    ASSERT_LT(store.size(), 190u);
    const std::string deep = store + "\\" + std::string(190 - store.size(), 'd');
    const std::string nearLimit = file(deep, kTag + std::string(255 - deep.size() - 1 - kTag.size() - 4, 'n') + ".url");
    ASSERT_EQ(nearLimit.size(), 255u);
    auto found = scanAndRemoveOwn("his");
    std::vector<std::string> expected{nearLimit, older};
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
    EXPECT_FALSE(exists(older));
    EXPECT_FALSE(exists(nearLimit));
    EXPECT_TRUE(exists(current));
}

TEST_F(PrivacyScanners, CacheStoreAndTempFolders) {
    const std::string cache = shellFolder("Cache") + "\\Content.IE5\\AB12CD34";
    const std::string cached = file(cache, kTag + "-logo[1].gif");
    EXPECT_EQ(scanAndRemoveOwn("tempie"), (std::vector<std::string>{cached}));
    EXPECT_FALSE(exists(cached));

    // The prefix names no "Local Settings" folder; the user's local folder holds its Temp.
    LocalSettings named(registry(), shellFolder("Local AppData"));
    const std::string system = file(form().paths.systemRoot + "\\Temp", kTag + ".tmp");
    const std::string user = file(shellFolder("Local Settings") + "\\Temp", kTag + "-user.TMP");
    const std::string kept = file(form().paths.systemRoot + "\\Temp", kTag + ".tmp.bak");
    EXPECT_EQ(scanAndRemoveOwn("temp"), (std::vector<std::string>{system, user}));
    EXPECT_FALSE(exists(system));
    EXPECT_FALSE(exists(user));
    EXPECT_TRUE(exists(kept));
}

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The prefix names no "Local Settings": the temporary folder Wine reports is scanned. The system's
// listing also matches 8.3 names ("*.tmp" lists "x.tmpx"); only the long name counts. A name the
// code page maps onto another file's is removed by its exact name alone, and a trailing dot, which
// Wine's final path drops, is left untouched rather than cost its twin.
TEST_F(PrivacyScanners, TheSystemTemporaryFolderMasksAndExactNames) {
    if (!shellFolder("Local Settings").empty()) GTEST_SKIP() << "the prefix names a Local Settings folder";
    std::u16string wideTemp = win32Platform().files.temporaryFolder();
    ASSERT_FALSE(wideTemp.empty());
    if (wideTemp.back() == u'\\') wideTemp.pop_back();
    const std::string temp = win32Platform().codePage.toAnsi(wideTemp);
    const std::string plain = file(temp, "report-" + kTag + ".tmp");
    const std::string longer = file(temp, kTag + ".tmpx");
    const std::u16string fullWidth = wideFile(wideTemp + u"\\\uff52\uff45\uff50\uff4f\uff52\uff54-" + Wide(kTag) + u".tmp");
    Category& temps = form().category("temp");
    ASSERT_TRUE(form().invoke("temp_filesExecute"));
    std::size_t own = 0;
    for (std::size_t row = 0; row < temps.list().size(); ++row) {
        const Finding& f = temps.list().at(row);
        if (f.caption.find(kTag) != std::string::npos) ++own;
        EXPECT_EQ(f.caption.find(".tmpx"), std::string::npos);
        temps.list().setChecked(row, !f.exactName.empty() && f.caption == "report-" + kTag + ".tmp");
    }
    EXPECT_EQ(own, 2u);
    ASSERT_TRUE(form().invoke("removetempExecute"));
    EXPECT_FALSE(existsWide(fullWidth));
    EXPECT_TRUE(exists(plain));
    EXPECT_TRUE(exists(longer));

    const std::string store = shellFolder("History") + "\\History.IE5\\" + kTag;
    const std::string twin = file(store, "notes-" + kTag + ".url");
    const std::u16string dotted = wideFile(Wide(twin) + u".");
    Category& history = form().category("his");
    ASSERT_TRUE(form().invoke("historyExecute"));
    for (std::size_t row = 0; row < history.list().size(); ++row)
        history.list().setChecked(row, history.list().at(row).caption == "notes-" + kTag + ".url.");
    ASSERT_TRUE(form().invoke("removehisExecute"));
    EXPECT_TRUE(exists(twin));
    EXPECT_TRUE(!existsWide(dotted) || host_.messages.size() == 1u);  // gone exactly, or left and said
}

TEST_F(PrivacyScanners, DumpsChkdskFilesAndLogsFromTheirPlaces) {
    const std::string windows = form().paths.systemRoot;
    const std::string dump = file(windows + "\\MiniDump", kTag + ".dmp");
    // The Windows folder of a Wine prefix is "C:\windows": the chkdsk place is still the drive root.
    const std::string chk = file("C:", "FILE" + kTag + ".CHK");
    const std::string log = file(windows + "\\Debug\\UserMode", kTag + ".log");
    const std::string deeper = file(windows + "\\Debug\\UserMode\\" + kTag, kTag + ".log");
    EXPECT_EQ(scanAndRemoveOwn("dump"), (std::vector<std::string>{dump}));
    EXPECT_EQ(scanAndRemoveOwn("chk"), (std::vector<std::string>{chk}));
    EXPECT_EQ(scanAndRemoveOwn("log"), (std::vector<std::string>{log}));
    EXPECT_FALSE(exists(dump));
    EXPECT_FALSE(exists(chk));
    EXPECT_FALSE(exists(log));
    EXPECT_TRUE(exists(deeper));
}

TEST_F(PrivacyScanners, TypedAddressesAndRunCommandsAreDeleted) {
    for (const char* code : {"url", "run"}) {
        const std::string location = code == std::string("url")
                                         ? "Software\\Microsoft\\Internet Explorer\\TypedURLs"
                                         : "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
        SettingsWrite(registry(), kHKeyCurrentUser, location, kTag, "http://example.com/" + kTag, 1);
        Category& c = form().category(code);
        ASSERT_TRUE(form().invoke(std::string(c.info().scanAction)));
        bool seen = false;
        for (std::size_t row = 0; row < c.list().size(); ++row) {
            const bool mine = c.list().at(row).caption == kTag;
            seen = seen || (mine && c.list().at(row).subItem(2) == "http://example.com/" + kTag);
            c.list().setChecked(row, mine);
        }
        EXPECT_TRUE(seen) << code;
        ASSERT_TRUE(form().invoke(std::string(c.info().removeAction)));
        EXPECT_EQ(RegReadString(registry(), kHKeyCurrentUser, location, kTag), "") << code;
    }
}

TEST_F(PrivacyScanners, RecycleBinIsCountedAndEmptied) {
    const std::string folder = "C:\\" + kTag;
    win32Platform().shell.emptyRecycleBin(7);
    ASSERT_TRUE(recycle(file(folder, "one.txt", 1000)));
    ASSERT_TRUE(recycle(file(folder, "two.txt", 536)));
    ASSERT_TRUE(form().invoke("RecycleBin2Click"));
    const auto& list = form().category("bin").list();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0).caption, "2 files in Recycle Bin");
    const auto bin = win32Platform().shell.queryRecycleBin();
    ASSERT_TRUE(bin.has_value());
    EXPECT_EQ(list.at(0).subItem(2), SizeText(bin->size));
    EXPECT_EQ(form().Oberror.caption(), "2 Errors Found");
    EXPECT_EQ(form().lvall.at(11).subItem(1), "2");

    // Unchecked, the finding keeps the bin as it is; checked, the bin is emptied.
    form().category("bin").list().setChecked(0, false);
    ASSERT_TRUE(form().invoke("OBhis3Click"));
    EXPECT_EQ(win32Platform().shell.queryRecycleBin()->items, 2);
    EXPECT_EQ(form().lvall.at(11).subItem(1), "2");
    form().category("bin").list().setChecked(0, true);
    ASSERT_TRUE(form().invoke("OBhis3Click"));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(form().lvall.at(11).subItem(1), "0");
    EXPECT_EQ(win32Platform().shell.queryRecycleBin()->items, 0);
    EXPECT_TRUE(host_.messages.empty());
}

class ClipboardOwner {
public:
    ClipboardOwner() : window_(CreateWindowA("STATIC", "owner", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) {}
    ~ClipboardOwner() { DestroyWindow(window_); }
    void putText(const std::string& text) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        ASSERT_TRUE(OpenClipboard(window_));
        EmptyClipboard();
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
    }

private:
    HWND window_;
};

TEST_F(PrivacyScanners, ClipboardTextIsReportedAndEmptied) {
    ClipboardOwner owner;
    owner.putText("copied " + kTag);
    ASSERT_TRUE(form().invoke("Clipboard1Click"));
    const auto& list = form().category("clip").list();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0).caption, "copied " + kTag);
    EXPECT_EQ(list.at(0).subItem(2), "Text File in Clipboard");
    ASSERT_TRUE(form().invoke("OBhis3Click"));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(PrivacyScanners, AClipboardHeldOpenElsewhereStopsTheScan) {
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        // Opened for a window of its own: an open without a window counts as the same owner.
        HWND window = CreateWindowA("STATIC", "holder", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        EXPECT_TRUE(OpenClipboard(window));
        SetEvent(opened);
        WaitForSingleObject(release, 30000);
        CloseClipboard();
        DestroyWindow(window);
    });
    WaitForSingleObject(opened, 30000);
    EXPECT_THROW(form().invoke("Clipboard1Click"), EClipboardException);
    EXPECT_FALSE(form().category("clip").scannedOnce);
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_TRUE(form().invoke("Clipboard1Click"));
    EXPECT_TRUE(form().category("clip").scannedOnce);
}

}  // namespace
}  // namespace keltora::wine
