#pragma once
// What the clipboard holds: its text, an image, the paths of copied files. Removal empties the
// clipboard when all of its findings are checked, and then shows what it still holds.
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
    // What the page says below its list: emptying the clipboard does not reach the copies that
    // Windows' clipboard history keeps.
    static constexpr const char* kHistoryNote =
        "Windows' clipboard history (Win+V) keeps its own copies of what was copied; clear them there.";

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

private:
    template <typename Attempt>
    auto withRetry(Attempt&& attempt);
};

}  // namespace keltora
