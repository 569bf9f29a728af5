#include "platform/memory/MemoryClipboard.h"

namespace keltora {

std::optional<ClipboardContents> MemoryClipboard::read() {
    if (held_) return std::nullopt;
    return contents_;
}

bool MemoryClipboard::empty() {
    if (held_) return false;
    contents_ = ClipboardContents{};
    ++emptyings_;
    return true;
}

// Only the system's interface clears the history, and only where it is there.
bool MemoryClipboard::clearHistory() {
    if (history_ != ClipboardHistory::Clearable || refuseClear_) return false;
    ++historyClears_;
    return true;
}

void MemoryClipboard::putText(const std::string& text) {
    contents_.hasText = true;
    // CF_TEXT ends at its first NUL.
    contents_.text = text.substr(0, text.find('\0'));
}

}  // namespace keltora
