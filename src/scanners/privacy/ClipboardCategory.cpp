#include "scanners/privacy/ClipboardCategory.h"

#include <algorithm>

namespace keltora {

namespace {

constexpr std::size_t kMaxDroppedPath = 260;  // DragQueryFileA fills a buffer of 261 characters

std::vector<Column> clipboardColumns() { return {{"Filename", 250}, {"Repair Report", 100}, {"Detail Info", 150}}; }

// One finding per kind of content, in this order: the text, an image, each copied file.
std::vector<Finding> findingsOf(const ClipboardContents& contents) {
    std::vector<Finding> findings;
    if (contents.hasText)
        findings.push_back({contents.text.substr(0, contents.text.find('\0')), {"Remove", "Text File in Clipboard"}});
    if (contents.hasBitmap) findings.push_back({"Image File", {"Remove", "Image File in Clipboard"}});
    for (const auto& path : contents.files)
        findings.push_back({path.substr(0, kMaxDroppedPath), {"Remove", "Path File in Clipboard"}});
    return findings;
}

void addContents(ScanRun& run, const ClipboardContents& contents) {
    for (auto& finding : findingsOf(contents)) run.add(std::move(finding), false);
}

bool sameRows(const std::vector<Finding>& listed, const std::vector<Finding>& now) {
    if (listed.size() != now.size()) return false;
    for (std::size_t i = 0; i < now.size(); ++i)
        if (listed[i].caption != now[i].caption || listed[i].subItems != now[i].subItems) return false;
    return true;
}

}  // namespace

ClipboardCategory::ClipboardCategory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore)
    : Category(info, context, ignore) {
    note = std::make_unique<Label>("labelclip", kHistoryNote);
}

template <typename Attempt>
auto ClipboardCategory::withRetry(Attempt&& attempt) {
    auto result = attempt();
    for (int tried = 1; tried < kOpenAttempts && !result; ++tried) {
        context_.platform.clock.sleep(kOpenRetryMs);
        result = attempt();
    }
    return result;
}

void ClipboardCategory::scan() {
    ScanRun run(context_, list(), clipboardColumns());
    const auto contents = withRetry([this] { return context_.platform.clipboard.read(); });
    if (!contents) throw EClipboardException();
    addContents(run, *contents);
    context_.ramp(0, 100);
}

// The clipboard can only be emptied as a whole: only when every finding is checked, and only
// while it still holds what was listed.
void ClipboardCategory::remove() {
    Clipboard& clipboard = context_.platform.clipboard;
    const auto& findings = list().findings();
    context_.lastRemoval = {};
    context_.lastCount = static_cast<int>(findings.size());
    if (findings.empty()) return;
    if (!std::all_of(findings.begin(), findings.end(), [](const Finding& f) { return f.checked; })) {
        context_.lastRemoval.left = static_cast<int>(
            std::count_if(findings.begin(), findings.end(), [](const Finding& f) { return f.checked; }));
        context_.host.showNotice(kPartly);
        return;
    }
    const auto contents = withRetry([&clipboard] { return clipboard.read(); });
    if (!contents) throw EClipboardException();
    if (!sameRows(findings, findingsOf(*contents))) {
        scan();
        context_.host.showNotice(kChanged);
        return;
    }
    context_.lastRemoval.removed = static_cast<int>(findings.size());
    if (context_.dryRun) {
        // What an emptying would leave: nothing.
        ScanRun nothing(context_, list(), clipboardColumns());
        return;
    }
    // Held open elsewhere: nothing was emptied, so the list stays as it was.
    if (!withRetry([&clipboard] { return clipboard.empty(); })) throw EClipboardException();
    ScanRun run(context_, list(), clipboardColumns());
    // What the clipboard holds now: a program that puts its data back at once stays listed.
    if (const auto now = clipboard.read()) addContents(run, *now);
}

}  // namespace keltora
