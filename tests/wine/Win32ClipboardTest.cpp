// The clipboard backend under Wine: the formats it reports, emptying, and a clipboard that
// another window holds open. (Wine lets a second OpenClipboard(NULL) through while the first,
// also without a window, is still open; a holder with a window blocks it as Windows does.)
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "wine/WineScratch.h"

namespace keltora::wine {
namespace {

class Win32ClipboardTest : public WineScratch {
protected:
    void SetUp() override {
        WineScratch::SetUp();
        // SetClipboardData needs an owner window; a clipboard emptied with no owner refuses data.
        owner_ = CreateWindowA("STATIC", "clipboard owner", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner_);
        WineScratch::TearDown();
    }

    Clipboard& clipboard() { return platform().clipboard; }

    // Replaces the clipboard with one item of the given format.
    void put(UINT format, HANDLE data) {
        ASSERT_TRUE(OpenClipboard(owner_));
        EmptyClipboard();
        EXPECT_NE(SetClipboardData(format, data), nullptr);
        CloseClipboard();
    }

    static HGLOBAL global(const void* bytes, std::size_t size) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
        return memory;
    }

    static HGLOBAL dropFiles(const std::vector<std::string>& files) {
        std::string names;
        for (const auto& file : files) names += file + '\0';
        names += '\0';
        std::vector<char> block(sizeof(DROPFILES) + names.size());
        DROPFILES header{};
        header.pFiles = sizeof(DROPFILES);
        header.fWide = FALSE;
        std::memcpy(block.data(), &header, sizeof header);
        std::memcpy(block.data() + sizeof header, names.data(), names.size());
        return global(block.data(), block.size());
    }

    HWND owner_ = nullptr;
};

TEST_F(Win32ClipboardTest, TextIsReportedAndEmptied) {
    put(CF_TEXT, global("hello", 6));
    auto contents = clipboard().read();
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(contents->hasText);
    EXPECT_EQ(contents->text, "hello");
    EXPECT_FALSE(contents->hasBitmap);
    EXPECT_TRUE(contents->files.empty());

    EXPECT_TRUE(clipboard().empty());
    auto emptied = clipboard().read();
    ASSERT_TRUE(emptied.has_value());
    EXPECT_FALSE(emptied->hasText);
    EXPECT_EQ(emptied->text, "");
}

// Other programs put text as Unicode; the system offers it as CF_TEXT as well.
TEST_F(Win32ClipboardTest, UnicodeTextIsReadAsAnsiText) {
    put(CF_UNICODETEXT, global(L"wide", sizeof L"wide"));
    auto contents = clipboard().read();
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(contents->hasText);
    EXPECT_EQ(contents->text, "wide");
}

TEST_F(Win32ClipboardTest, ADeviceIndependentBitmapCountsAsABitmap) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = 1;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<char> block(sizeof header + 4);
    std::memcpy(block.data(), &header, sizeof header);
    put(CF_DIB, global(block.data(), block.size()));
    auto contents = clipboard().read();
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(contents->hasBitmap);
}

TEST_F(Win32ClipboardTest, ABitmapIsReported) {
    put(CF_BITMAP, CreateBitmap(2, 2, 1, 32, nullptr));
    auto contents = clipboard().read();
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(contents->hasBitmap);
    EXPECT_FALSE(contents->hasText);
}

TEST_F(Win32ClipboardTest, AFileListIsReadNameByName) {
    const std::vector<std::string> files{"C:\\one.txt", "C:\\with blank\\two.doc"};
    put(CF_HDROP, dropFiles(files));
    auto contents = clipboard().read();
    ASSERT_TRUE(contents.has_value());
    EXPECT_EQ(contents->files, files);
}

TEST_F(Win32ClipboardTest, AClipboardHeldOpenElsewhereCannotBeReadOrEmptied) {
    put(CF_TEXT, global("kept", 5));
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND window = CreateWindowA("STATIC", "holder", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        OpenClipboard(window);
        SetEvent(opened);
        WaitForSingleObject(release, 30000);
        CloseClipboard();
        DestroyWindow(window);
    });
    WaitForSingleObject(opened, 30000);
    EXPECT_FALSE(clipboard().read().has_value());
    EXPECT_FALSE(clipboard().empty());
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);

    auto contents = clipboard().read();
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(contents->hasText);
}

// Wine has no Windows Runtime clipboard class, as Windows before 1809 has none: the user's own
// setting alone says whether a history keeps copies, and nothing here can clear it. (On Windows
// 10 1809 and later the class answers, and the history is clearable.)
TEST_F(Win32ClipboardTest, WithoutTheSystemsInterfaceTheHistorySettingSaysItIsKept) {
    const wchar_t* key = L"Software\\Microsoft\\Clipboard";
    for (const DWORD on : {1u, 0u}) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"EnableClipboardHistory", REG_DWORD, &on, sizeof on),
                  ERROR_SUCCESS);
        EXPECT_EQ(clipboard().history(), on ? ClipboardHistory::Kept : ClipboardHistory::None);
        EXPECT_FALSE(clipboard().clearHistory());
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"EnableClipboardHistory");
    EXPECT_EQ(clipboard().history(), ClipboardHistory::None);
}

}  // namespace
}  // namespace keltora::wine
