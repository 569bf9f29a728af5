#include "scanners/privacy/ClipboardCategory.h"

#include <algorithm>

namespace keltora {

namespace {

constexpr std::size_t kMaxDroppedPath = 260;  // DragQueryFileA fills a buffer of 261 characters

// What the page's note (one line below the list) and the history's finding say for each state of
// the history.
struct HistoryTexts {
    ClipboardHistory history;
    const char* note;
    const char* repairReport;  // none: no finding
};
constexpr HistoryTexts kHistoryTexts[] = {
    {ClipboardHistory::None, "Windows keeps no clipboard history (Win+V) here: an emptied clipboard leaves no copies.",
     nullptr},
    {ClipboardHistory::Clearable, "Windows' clipboard history (Win+V) is on: removing its finding clears it too.",
     "Remove"},
    {ClipboardHistory::Kept,
     "Windows' clipboard history (Win+V) keeps copies this program cannot clear; clear them there.",
     "Clear it in Win+V"},
};
const HistoryTexts& textsOf(ClipboardHistory history) {
    for (const auto& texts : kHistoryTexts)
        if (texts.history == history) return texts;
    return kHistoryTexts[0];
}

constexpr const char* kHistoryKept =
    "Windows' clipboard history (Win+V) still keeps copies of what was copied: this program cannot clear it on "
    "this system. Clear it with Win+V, \"Clear all\".";
constexpr const char* kHistoryNotCleared =
    "Windows' clipboard history (Win+V) still keeps copies of what was copied: Windows did not clear it. Clear it "
    "with Win+V, \"Clear all\".";

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

bool isHistory(const Finding& finding) { return finding.subItem(2) == ClipboardCategory::kHistoryDetail; }

void addHistory(ScanRun& run, ClipboardHistory history, bool checked) {
    const std::size_t row = run.add(
        Finding{ClipboardCategory::kHistoryCaption, {textsOf(history).repairReport, ClipboardCategory::kHistoryDetail}},
        false);
    if (!checked) run.list().setChecked(row, false);
}

// What the clipboard holds, and after it the history, which keeps its own copy of it.
void addContents(ScanRun& run, const ClipboardContents& contents, ClipboardHistory history) {
    auto findings = findingsOf(contents);
    const bool withHistory = textsOf(history).repairReport != nullptr && !findings.empty();
    for (auto& finding : findings) run.add(std::move(finding), false);
    if (withHistory) addHistory(run, history, true);
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
    note = std::make_unique<Label>("labelclip", textsOf(ClipboardHistory::None).note);
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

void ClipboardCategory::showHistory(ClipboardHistory history) {
    history_ = history;
    note->setCaption(textsOf(history).note);
}

void ClipboardCategory::scan() {
    ScanRun run(context_, list(), clipboardColumns());
    const auto contents = withRetry([this] { return context_.platform.clipboard.read(); });
    if (!contents) throw EClipboardException();
    showHistory(context_.platform.clipboard.history());
    addContents(run, *contents, history_);
    context_.ramp(0, 100);
}

// The checked history is cleared through the system's interface where it is there; otherwise it
// stays, and the user is told that its copies are still there.
bool ClipboardCategory::removeHistory(const Finding& finding) {
    if (!finding.checked) return false;
    const bool cleared = history_ == ClipboardHistory::Clearable &&
                         (context_.dryRun || context_.platform.clipboard.clearHistory());
    if (cleared) {
        ++context_.lastRemoval.removed;
        return true;
    }
    ++context_.lastRemoval.left;
    context_.host.showNotice(history_ == ClipboardHistory::Kept ? kHistoryKept : kHistoryNotCleared);
    return false;
}

// The clipboard can only be emptied as a whole: only when every content finding is checked, and
// only while it still holds what was listed. Its history goes with it when checked.
void ClipboardCategory::remove() {
    Clipboard& clipboard = context_.platform.clipboard;
    std::vector<Finding> findings = list().findings();
    context_.lastRemoval = {};
    context_.lastCount = static_cast<int>(findings.size());
    if (findings.empty()) return;
    const auto history = std::find_if(findings.begin(), findings.end(), isHistory);
    const std::optional<Finding> historyFinding =
        history == findings.end() ? std::nullopt : std::optional<Finding>(*history);
    if (history != findings.end()) findings.erase(history);
    if (!std::all_of(findings.begin(), findings.end(), [](const Finding& f) { return f.checked; })) {
        const auto& listed = list().findings();
        context_.lastRemoval.left =
            static_cast<int>(std::count_if(listed.begin(), listed.end(), [](const Finding& f) { return f.checked; }));
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
    // Held open elsewhere: nothing was emptied, so the list stays as it was.
    if (!findings.empty() && !context_.dryRun && !withRetry([&clipboard] { return clipboard.empty(); }))
        throw EClipboardException();
    context_.lastRemoval.removed = static_cast<int>(findings.size());
    const bool historyStays = historyFinding && !removeHistory(*historyFinding);
    ScanRun run(context_, list(), clipboardColumns());
    // What the clipboard holds now (a program that puts its data back at once stays listed; a dry
    // run leaves nothing of it), and the history where it stays.
    if (const auto now = context_.dryRun ? std::nullopt : clipboard.read())
        addContents(run, *now, ClipboardHistory::None);
    if (historyStays) addHistory(run, history_, historyFinding->checked);
}

}  // namespace keltora
