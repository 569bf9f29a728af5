#include "platform/win32/Win32Clipboard.h"

#include <windows.h>
#include <shellapi.h>

namespace keltora {
namespace {

// Closes the clipboard on every path once it was opened.
class OpenedClipboard {
public:
    OpenedClipboard() : open_(OpenClipboard(nullptr) != 0) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool isOpen() const { return open_; }

private:
    bool open_;
};

// CF_TEXT up to its terminating NUL, and never past the end of its memory block.
std::string clipboardText() {
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr) return {};
    const auto* text = static_cast<const char*>(GlobalLock(data));
    if (text == nullptr) return {};
    const SIZE_T capacity = GlobalSize(data);
    SIZE_T length = 0;
    while (length < capacity && text[length] != '\0') ++length;
    std::string result(text, length);
    GlobalUnlock(data);
    return result;
}

std::vector<std::string> droppedFiles() {
    std::vector<std::string> files;
    auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    if (drop == nullptr) return files;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string name(length + 1, '\0');
        const UINT copied = DragQueryFileA(drop, i, name.data(), length + 1);
        name.resize(copied);
        files.push_back(name);
    }
    return files;
}

}  // namespace

std::optional<ClipboardContents> Win32Clipboard::read() {
    OpenedClipboard clipboard;
    if (!clipboard.isOpen()) return std::nullopt;
    ClipboardContents contents;
    contents.hasText = IsClipboardFormatAvailable(CF_TEXT) != 0;
    if (contents.hasText) contents.text = clipboardText();
    // A device-independent bitmap on the clipboard is offered as CF_BITMAP too.
    contents.hasBitmap = IsClipboardFormatAvailable(CF_BITMAP) != 0 || IsClipboardFormatAvailable(CF_METAFILEPICT) != 0 ||
                         IsClipboardFormatAvailable(CF_ENHMETAFILE) != 0;
    if (IsClipboardFormatAvailable(CF_HDROP)) contents.files = droppedFiles();
    return contents;
}

bool Win32Clipboard::empty() {
    OpenedClipboard clipboard;
    return clipboard.isOpen() && EmptyClipboard() != 0;
}

}  // namespace keltora
