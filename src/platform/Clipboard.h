#pragma once
// The clipboard formats the program reports and empties.
#include <optional>
#include <string>
#include <vector>

namespace keltora {

struct ClipboardContents {
    bool hasText = false;
    std::string text;  // CF_TEXT up to its terminating NUL, when hasText
    bool hasBitmap = false;  // CF_BITMAP, CF_METAFILEPICT or CF_ENHMETAFILE
    std::vector<std::string> files;  // CF_HDROP
};

// Windows' clipboard history (Win+V, Windows 10 1809 and later), which keeps its own copies of
// what was copied, whatever becomes of the clipboard.
enum class ClipboardHistory {
    None,       // off, or a system without it
    Clearable,  // on, and the system's interface for it is there to clear it
    Kept,       // on, and this program cannot reach the interface that clears it
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // nullopt when the clipboard cannot be opened (another program holds it).
    virtual std::optional<ClipboardContents> read() = 0;
    // false when it cannot be opened.
    virtual bool empty() = 0;
    virtual ClipboardHistory history() = 0;
    // Clears the history through the system's interface (what the user pinned stays); false when
    // it was not cleared.
    virtual bool clearHistory() = 0;
};

}  // namespace keltora
