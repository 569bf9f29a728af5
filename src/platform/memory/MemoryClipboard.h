#pragma once
// A clipboard a test fills with text, an image or copied files, and that "another program" can
// hold open so that the program cannot open it.
#include <string>
#include <vector>

#include "platform/Clipboard.h"

namespace keltora {

class MemoryClipboard : public Clipboard {
public:
    std::optional<ClipboardContents> read() override;
    bool empty() override;
    ClipboardHistory history() override { return history_; }
    bool clearHistory() override;

    // Setup: each adds its format to what the clipboard holds.
    void putText(const std::string& text);
    void putBitmap() { contents_.hasBitmap = true; }
    void putFiles(const std::vector<std::string>& paths) { contents_.files = paths; }
    void holdOpen(bool held) { held_ = held; }
    // Windows' clipboard history as the system would report it; refuseClear makes a clearable
    // history fail to clear, as the system's interface may.
    void setHistory(ClipboardHistory history, bool refuseClear = false) {
        history_ = history;
        refuseClear_ = refuseClear;
    }

    // Inspection: what it holds now, whether or not it is held open.
    const ClipboardContents& contents() const { return contents_; }
    int emptyings() const { return emptyings_; }
    int historyClears() const { return historyClears_; }

private:
    ClipboardContents contents_;
    bool held_ = false;
    int emptyings_ = 0;
    ClipboardHistory history_ = ClipboardHistory::None;
    bool refuseClear_ = false;
    int historyClears_ = 0;
};

}  // namespace keltora
