#include "scanners/privacy/ClipboardCategory.h"

namespace keltora {

namespace {

constexpr std::size_t kMaxDroppedPath = 260;  // DragQueryFileA fills a buffer of 261 characters

std::vector<Column> clipboardColumns() { return {{"Filename", 250}, {"Repair Report", 100}, {"Detail Info", 150}}; }

// One finding per kind of content, in this order: the text, an image, each copied file.
void addContents(ScanRun& run, const ClipboardContents& contents) {
    if (contents.hasText)
        run.add(contents.text.substr(0, contents.text.find('\0')), {"Remove", "Text File in Clipboard"}, false);
    if (contents.hasBitmap) run.add("Image File", {"Remove", "Image File in Clipboard"}, false);
    for (const auto& path : contents.files)
        run.add(path.substr(0, kMaxDroppedPath), {"Remove", "Path File in Clipboard"}, false);
}

}  // namespace

ClipboardCategory::ClipboardCategory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore)
    : Category(info, context, ignore) {
    note = std::make_unique<Label>("labelclip", kHistoryNote);
}

void ClipboardCategory::scan() {
    ScanRun run(context_, list(), clipboardColumns());
    const auto contents = context_.platform.clipboard.read();
    if (!contents) throw EClipboardException();
    addContents(run, *contents);
    context_.ramp(0, 100);
}

void ClipboardCategory::remove() {
    Clipboard& clipboard = context_.platform.clipboard;
    // Held open elsewhere: nothing was emptied, so the list stays as it was. A dry run only
    // tries whether it opens, and lists what an emptying would leave: nothing.
    if (context_.dryRun ? !clipboard.read() : !clipboard.empty()) throw EClipboardException();
    ScanRun run(context_, list(), clipboardColumns());
    if (context_.dryRun) return;
    // What the clipboard holds now: a program that puts its data back at once stays listed.
    if (const auto contents = clipboard.read()) addContents(run, *contents);
}

}  // namespace keltora
