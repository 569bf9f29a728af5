#include "scanners/browsers/BrowserCategory.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/Helpers.h"
#include "scan/OnExit.h"
#include "scanners/browsers/ProfileFiles.h"
#include "scanners/browsers/RunningTest.h"
#include "scanners/places/PlaceFiles.h"
#include "scanners/privacy/FileFindings.h"

namespace keltora {

namespace {

constexpr FileColumnCaptions kColumns{"Error Items", "Repair Report", "Detail Info", "Path Location", "Size"};
// The caption of an ignore entry that sets a whole profile aside (its location is the profile's).
constexpr std::string_view kWholeProfile = "Whole profile";
// A cookie site's caption: "Cookies: example.com".
const std::string kSitePrefix = ItemName(ItemKind::Cookies) + ": ";

// Which listed item a finding is: its texts and exact names as the scan made them, each with its
// length before it (a site's name may hold any character).
std::string keyOf(const Finding& finding) {
    std::string key;
    for (const std::string& part : {finding.caption, finding.subItem(3), Utf16ToUtf8(finding.exactName),
                                    Utf16ToUtf8(finding.exactLocation)})
        key += std::to_string(part.size()) + ':' + part;
    return key;
}

std::string plural(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + (count == 1 ? one : many);
}

std::string joined(const std::vector<std::string>& texts) {
    std::string text;
    for (const auto& part : texts) text += (text.empty() ? "Not looked at: " : "; ") + part;
    return text.empty() ? text : text + ".";
}

}  // namespace

BrowserCategory::BrowserCategory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore)
    : Category(info, context, ignore), browser_(*FindBrowser(info.code)) {
    // Says what could not be looked at (a known folder, a profile its list names), and why.
    note = std::make_unique<Label>("label" + code(), "");
}

KeepList BrowserCategory::keepListOf(const std::string& location) {
    std::vector<std::string> sites;
    if (IgnoreList* ignore = ignoreList())
        for (const auto& entry : ignore->view().findings())
            if (entry.subItem(1) == location && entry.caption.starts_with(kSitePrefix))
                sites.push_back(entry.caption.substr(kSitePrefix.size()));
    return KeepList(sites);
}

IgnoreEntry BrowserCategory::ignoreEntryOf(const Finding& finding) const {
    if (finding.caption.starts_with(kSitePrefix)) return Category::ignoreEntryOf(finding);
    return {std::string(kWholeProfile), finding.subItem(3)};
}

BrowserCategory::ProfileTexts BrowserCategory::textsOf(const BrowserProfile& profile, bool closed) const {
    CodePage& codePage = context_.platform.codePage;
    const std::u16string& folder = profile.folder.path;
    const std::u16string folderName = folder.substr(folder.find_last_of(u'\\') + 1);
    return {std::string(browser_.name) + ": " + codePage.toAnsi(Utf8ToUtf16(profile.displayName)) + " (" +
                codePage.toAnsi(folderName) + ")",
            profile.folder.column(), closed ? std::string(kPrivacyThreatRemove) : CloseToCleanText(browser_)};
}

Finding BrowserCategory::findingOf(const ProfileTexts& texts, const BrowserProfile& profile,
                                   const BrowserItem& item) const {
    Finding finding{ItemName(item.kind), {}, true};
    if (!item.site.empty()) {
        // Sites are ASCII as the browsers store them; anything else is made ANSI with its exact form kept.
        bool exact = std::all_of(item.site.begin(), item.site.end(), [](char c) { return c > 0 && c < 0x7f; });
        if (exact) {
            finding.caption = kSitePrefix + item.site;
        } else {
            finding.caption = kSitePrefix + context_.platform.codePage.toAnsi(Utf8ToUtf16(item.site), &exact);
            if (!exact) finding.exactName = Utf8ToUtf16(item.site);
        }
    }
    std::string detail = texts.detail;
    if (item.state == ItemState::Ready)
        detail += ", " + (item.files.empty() ? plural(item.rows, " row", " rows")
                                             : plural(static_cast<std::int64_t>(item.files.size()), " file", " files"));
    const bool offered = item.state == ItemState::Ready || texts.report != kPrivacyThreatRemove;
    finding.subItems = {offered ? texts.report : StateText(item.state), std::move(detail), texts.location,
                        SizeText(static_cast<std::int64_t>(item.size))};
    if (!profile.folder.exact) finding.exactLocation = profile.folder.path;
    return finding;
}

void BrowserCategory::scan() {
    std::vector<Column> columns = FileColumns(kColumns);
    columns[1].width = 160;
    ScanRun run(context_, list(), std::move(columns));
    Platform& platform = context_.platform;
    profiles_.clear();
    listed_.clear();
    std::vector<std::string> problems;
    const UserFolders user = UserFoldersOf(context_, browser_, PlaceLook::Scan, problems);
    BrowserProfiles found = DiscoverProfiles(platform, browser_, user);
    problems.insert(problems.end(), found.skipped.begin(), found.skipped.end());
    note->setCaption(joined(problems));
    const auto programs = platform.shell.sessionPrograms();
    for (const auto& profile : found.profiles) {
        const std::string location = profile.folder.column();
        if (ignored(std::string(kWholeProfile), location)) continue;
        const bool closed = BrowserRunning(platform, browser_, found, profile, programs) == BrowserState::Closed;
        const ProfileTexts texts = textsOf(profile, closed);
        const std::size_t index = profiles_.size();
        profiles_.push_back(profile);
        for (auto& item : ListProfileItems(platform, browser_, profile, keepListOf(location))) {
            Finding finding = findingOf(texts, profile, item);
            if (ignored(finding.caption, location)) continue;
            // What cannot be removed now is shown, never offered, with why in its removal column.
            const bool ready = closed && item.state == ItemState::Ready;
            if (!ready) finding.staysBecause = finding.subItem(1);
            const std::size_t row = run.add(std::move(finding), false);
            if (!ready) list().setChecked(row, false);
            listed_.emplace(keyOf(list().at(row)), Listed{index, std::move(item)});
        }
    }
    context_.ramp(0, 100);
}

BrowserCategory::Outcomes BrowserCategory::removeChosen(FileRemoval& files, const std::vector<Chosen>& chosen) {
    Outcomes outcomes;
    // The chosen items of each profile the scan listed, in list order.
    std::map<std::size_t, std::pair<std::vector<BrowserItem>, std::vector<std::string>>> byProfile;
    for (const auto& [key, caption] : chosen) {
        const auto listed = listed_.find(key);
        if (listed == listed_.end()) {
            outcomes[key] = ItemOutcome{RemovalOutcome::Left, 0, "not listed by the latest scan"};
            continue;
        }
        auto& [items, keys] = byProfile[listed->second.profile];
        items.push_back(listed->second.item);
        keys.push_back(key);
    }
    if (byProfile.empty()) return outcomes;
    // The profiles as the browser lists them now, below the user's folders as they are now: a
    // profile no longer listed there is no longer one to clean.
    std::vector<std::string> problems;
    const UserFolders user = UserFoldersOf(context_, browser_, PlaceLook::Removal, problems);
    const BrowserProfiles now = DiscoverProfiles(context_.platform, browser_, user);
    for (const auto& [index, chosenItems] : byProfile) {
        const auto& [items, keys] = chosenItems;
        const BrowserProfile& scanned = profiles_[index];
        const BrowserProfile* profile = nullptr;
        for (const auto& candidate : now.profiles)
            if (candidate.folder.path.size() == scanned.folder.path.size() &&
                IsInsideFolder(candidate.folder.path, scanned.folder.path))
                profile = &candidate;
        if (!profile) {
            for (const auto& key : keys) outcomes[key] = ItemOutcome{RemovalOutcome::NoLongerAFinding, 0, {}};
            continue;
        }
        auto done = RemoveProfileItems(context_, files, browser_, now, *profile, items,
                                       keepListOf(profile->folder.column()));
        for (std::size_t i = 0; i < keys.size(); ++i) outcomes[keys[i]] = std::move(done[i]);
    }
    return outcomes;
}

void BrowserCategory::tell(const std::vector<Chosen>& chosen, const Outcomes& outcomes, int running) const {
    const std::string closeText = CloseToCleanText(browser_);
    int other = 0;
    std::string first;
    for (const auto& [key, caption] : chosen) {
        const ItemOutcome& outcome = outcomes.at(key);
        if (outcome.outcome != RemovalOutcome::Left) continue;
        // Files that stay are told of by the one removal of files.
        if (outcome.why != closeText && outcome.why != kSomeFilesStay && other++ == 0)
            first = caption + " (" + outcome.why + ")";
    }
    const std::string name(browser_.name);
    if (running > 0)
        context_.host.showNotice(name + " runs, so " +
                                 plural(running, " of its findings was", " of its findings were") + " left as " +
                                 (running == 1 ? "it is" : "they are") + ". " + closeText +
                                 ": the program never ends a browser.");
    if (other > 0)
        context_.host.showNotice(plural(other, " checked finding", " checked findings") + " of " + name +
                                 " stayed listed. The first: " + first + ".");
}

std::vector<BrowserCategory::Chosen> BrowserCategory::chooseChecked(
    std::unordered_map<std::string, std::string>& held) {
    std::vector<Chosen> chosen;
    for (const auto& finding : list().findings()) {
        if (!finding.checked) continue;
        context_.leftBecause.clear();
        if (context_.holdBack && context_.holdBack(finding))
            held.emplace(keyOf(finding), std::exchange(context_.leftBecause, {}));
        else
            chosen.push_back({keyOf(finding), finding.caption});
    }
    return chosen;
}

void BrowserCategory::remove() {
    const std::string closeText = CloseToCleanText(browser_);
    // The findings the scan could not offer because the browser ran stay whether checked or not,
    // and count as left: the removal of the category did not take them.
    const auto& findings = list().findings();
    const int unchecked = static_cast<int>(std::count_if(findings.begin(), findings.end(), [&](const Finding& finding) {
        return !finding.checked && finding.staysBecause == closeText;
    }));
    FileRemoval files(context_);
    int running = 0;
    Outcomes outcomes;
    std::vector<Chosen> chosen;
    {
        RemovalRun removal(context_, list());
        // Each checked finding is asked once whether it must be held back (and why); the items of
        // one profile then go together, each database in one transaction.
        std::unordered_map<std::string, std::string> held;
        chosen = chooseChecked(held);
        outcomes = removeChosen(files, chosen);
        auto holdBack = std::move(context_.holdBack);
        context_.holdBack = [this, &held](const Finding& finding) {
            const auto found = held.find(keyOf(finding));
            if (found == held.end()) return false;
            context_.leftBecause = found->second;
            return true;
        };
        const OnExit restore([&] { context_.holdBack = std::move(holdBack); });
        removal.run([&](const Finding& finding) {
            const auto found = outcomes.find(keyOf(finding));
            if (found == outcomes.end()) return RemovalOutcome::Left;
            context_.leftBecause = found->second.why;
            context_.findingTakes = found->second.takes;
            running += found->second.why == closeText ? 1 : 0;
            return found->second.outcome;
        });
    }
    context_.lastRemoval.left += unchecked;
    files.report();
    tell(chosen, outcomes, running + unchecked);
}

}  // namespace keltora
