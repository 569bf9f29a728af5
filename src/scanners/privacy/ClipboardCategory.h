#pragma once
// What the clipboard holds: its text, an image, the paths of copied files. Removal empties the
// clipboard, whatever is checked, and then shows what it still holds.
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
};

}  // namespace keltora
