#pragma once
// What the clipboard holds: its text, an image, the paths of copied files, and, while Windows
// keeps a clipboard history (Win+V), that history, which holds its own copies of all of it.
// Removal empties the clipboard when all of its content findings are checked, and then shows
// what it still holds; it clears the history too when that finding is checked and Windows offers
// the interface that clears it. A history this program cannot clear stays listed and is said.
#include <cstdint>
#include <stdexcept>

#include "scan/Category.h"

namespace keltora {

// Raised when another program holds the clipboard open. Like every raised error it ends the
// running command (the page visit stays unfinished, so the next visit scans again) and its text
// is shown to the user by whoever runs the command.
class EClipboardException : public std::runtime_error {
public:
    EClipboardException() : std::runtime_error("Cannot open clipboard") {}
};

class ClipboardCategory : public Category {
public:
    ClipboardCategory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore = nullptr);
    void scan() override;  // clipExecute
    void remove() override;  // removeclipExecute

    // Other programs (the clipboard history among them) hold the clipboard open for moments: it is
    // tried this often, with this pause between tries, before it counts as held.
    static constexpr int kOpenAttempts = 10;
    static constexpr std::uint32_t kOpenRetryMs = 20;
    static constexpr const char* kPartly =
        "The clipboard was left as it is: it can only be emptied as a whole, and not all of its items are checked.";
    static constexpr const char* kChanged =
        "The clipboard was left as it is: it has changed since it was scanned. The list now shows what it holds.";
    // The finding of the history: its caption, and its detail, which no other finding has.
    static constexpr const char* kHistoryCaption = "Clipboard History (Win+V)";
    static constexpr const char* kHistoryDetail = "Copies Kept by Windows";

private:
    template <typename Attempt>
    auto withRetry(Attempt&& attempt);
    void showHistory(ClipboardHistory history);
    bool removeHistory(const Finding& finding);

    ClipboardHistory history_ = ClipboardHistory::None;
};

}  // namespace keltora
