#include "scanners/places/PlaceRemoval.h"

#include <algorithm>
#include <map>

#include "platform/AsciiNoCase.h"
#include "platform/Helpers.h"

namespace keltora {

namespace {

// The part of folder below root ("" for root itself); nullopt when folder is not root or below it.
std::optional<std::u16string> below(const std::u16string& folder, const std::u16string& root) {
    if (!StartsNoCase(folder, root)) return std::nullopt;
    if (folder.size() == root.size()) return std::u16string();
    if (folder[root.size()] != u'\\') return std::nullopt;
    return folder.substr(root.size() + 1);
}

// A folder column without its trailing '\'.
std::u16string withoutSeparator(std::u16string folder) {
    while (folder.size() > 3 && folder.ends_with(u'\\')) folder.pop_back();
    return folder;
}

}  // namespace

PlaceRemoval::PlaceRemoval(ScanContext& context, std::string_view code)
    : context_(context), folders_(PlaceFoldersOf(context, code, PlaceLook::Removal)), files_(context) {
    rules_.reserve(folders_.size());
    for (const auto& folder : folders_) rules_.emplace_back(context.platform, *folder.place);
    keptFolder_.emplace(context.platform.files);
}

std::optional<PlaceRemoval::Target> PlaceRemoval::locate(const Finding& finding) const {
    CodePage& codePage = context_.platform.codePage;
    Target target{0, withoutSeparator(finding.exactLocation.empty() ? codePage.toWide(finding.subItem(3))
                                                                    : finding.exactLocation),
                  finding.exactName.empty() ? codePage.toWide(finding.caption) : finding.exactName};
    for (target.place = 0; target.place < folders_.size(); ++target.place) {
        const auto& folder = folders_[target.place].folder;
        if (!folder) continue;
        const auto relative = below(target.folder, folder->path);
        const PlaceRules& rules = rules_[target.place];
        if (relative && rules.reaches(*relative) && rules.lists(target.name)) return target;
    }
    return std::nullopt;
}

std::optional<bool> PlaceRemoval::stillOldEnough(const Target& target, const Finding& finding) {
    auto listed = listings_.find(target.folder);
    if (listed == listings_.end()) {
        // One listing per folder, however many of its files are removed.
        Platform& platform = context_.platform;
        const auto folder =
            std::make_shared<const ListedFolder>(ListedFolder{target.folder, {}, true, finding.listedFolder});
        std::unordered_map<std::u16string, std::uint64_t> times;
        for (auto& entry : ListEntries(platform, *folder, u"*")) {
            if (entry.isDirectory()) continue;
            const std::uint64_t written = entry.lastWritten;
            times.emplace(Found(platform, folder, std::move(entry)).name(), written);
        }
        listed = listings_.emplace(target.folder, std::move(times)).first;
    }
    const auto file = listed->second.find(target.name);
    if (file == listed->second.end()) return std::nullopt;
    return rules_[target.place].oldEnough(file->second);
}

RemovalOutcome PlaceRemoval::remove(const Finding& finding) {
    const auto target = locate(finding);
    // Not a file of this category's places as they are now: nothing is touched.
    if (!target) return RemovalOutcome::NoLongerAFinding;
    if (rules_[target->place].checksAge() && stillOldEnough(*target, finding) == false) return RemovalOutcome::NoLongerAFinding;
    const RemovalOutcome outcome = files_.remove(finding, finding.subItem(3));
    if (outcome == RemovalOutcome::Removed && folders_[target->place].place->removeEmptied) {
        // Files of one folder come together: the folder is noted once.
        std::pair<std::size_t, std::u16string> emptied{target->place, target->folder};
        if (emptied_.find(emptied) == emptied_.end()) emptied_.insert(std::move(emptied));
    }
    if (files_.lastInUse() && inUseHint_.empty()) inUseHint_ = folders_[target->place].place->inUse;
    return outcome;
}

// Every emptied folder and the folders above it up to (never including) its place's folder, each
// tried once, deepest first, so that a folder is tried after everything below it.
void PlaceRemoval::removeEmptiedFolders() {
    std::set<std::u16string> candidates;
    for (const auto& [place, folder] : emptied_) {
        const std::u16string& root = folders_[place].folder->path;
        for (std::u16string at = folder; !below(at, root).value_or(std::u16string()).empty();
             at = at.substr(0, at.find_last_of(u'\\')))
            if (!candidates.insert(at).second) break;
    }
    std::vector<std::u16string> ordered(candidates.begin(), candidates.end());
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    // Each as the listing of the folder above it shows it: an empty folder, no link, acted on by
    // its identity. One that is not empty (a file left, or new) stays, and nothing is said. The
    // folder above is listed once for all its emptied folders (what another of them went through
    // leaves an entry's identity as it was) and opened once for them, as the files' folders were.
    Platform& platform = context_.platform;
    const KeptActFolder keptFolder(platform.files);
    std::map<std::u16string, std::optional<FolderListing>> above;
    for (const auto& folder : ordered) {
        const auto cut = folder.find_last_of(u'\\');
        const std::u16string parent = folder.substr(0, cut);
        auto listed = above.find(parent);
        if (listed == above.end()) listed = above.emplace(parent, platform.files.listFolder(parent)).first;
        if (listed->second)
            DeleteEntryOfListing(platform.files, &platform.codePage, parent, *listed->second, folder.substr(cut + 1), true);
    }
}

void PlaceRemoval::finish() {
    keptFolder_.reset();
    if (!context_.dryRun) removeEmptiedFolders();
    files_.report(inUseHint_);
    inUseHint_ = {};
}

}  // namespace keltora
