#include "scanners/browsers/BrowserItems.h"

#include <array>

#include "scanners/browsers/ProfileFiles.h"
#include "scanners/browsers/RowItems.h"
#include "scanners/browsers/RunningTest.h"

namespace keltora {
namespace {

// The items that are files: a folder walked or one file, below the profile or its cache folder.
struct FilePlace {
    BrowserFamily family;
    ItemKind kind;
    bool inCacheFolder;
    std::u16string_view path;
    bool folder;
};
constexpr std::array kFilePlaces{
    FilePlace{BrowserFamily::Chromium, ItemKind::Cache, true, u"Cache", true},
    FilePlace{BrowserFamily::Chromium, ItemKind::CodeCache, true, u"Code Cache", true},
    FilePlace{BrowserFamily::Chromium, ItemKind::GpuCache, true, u"GPUCache", true},
    FilePlace{BrowserFamily::Chromium, ItemKind::Session, false, u"Sessions", true},
    FilePlace{BrowserFamily::Firefox, ItemKind::Cache, true, u"cache2", true},
    FilePlace{BrowserFamily::Firefox, ItemKind::Session, false, u"sessionstore.jsonlz4", false},
    FilePlace{BrowserFamily::Firefox, ItemKind::Session, false, u"sessionstore-backups", true},
};

struct KindText {
    ItemKind kind;
    const char* name;
};
constexpr std::array kKindNames{
    KindText{ItemKind::Cache, "Cache"},
    KindText{ItemKind::CodeCache, "Code Cache"},
    KindText{ItemKind::GpuCache, "GPU Cache"},
    KindText{ItemKind::History, "Browsing history"},
    KindText{ItemKind::Downloads, "Download history"},
    KindText{ItemKind::Cookies, "Cookies"},
    KindText{ItemKind::FormHistory, "Form history"},
    KindText{ItemKind::Session, "Last session"},
};

void collectFiles(Platform& platform, const FilePlace& place, FolderLookup& base, std::vector<FoundPath>& files) {
    if (place.folder) {
        if (const auto folder = base.folder(place.path)) {
            auto found = WalkFiles(platform, *folder);
            files.insert(files.end(), found.begin(), found.end());
        }
        return;
    }
    if (auto found = base.file(place.path)) files.push_back(std::move(*found));
}

void listFileItems(Platform& platform, const Browser& browser, const BrowserProfile& profile,
                   FolderLookup& profileFiles, std::vector<BrowserItem>& items) {
    // A cache folder apart from the profile (Firefox's, below the local application data) is
    // listed apart; one that is the profile's folder is the same listing.
    std::optional<FolderLookup> cacheFiles;
    if (profile.cacheFolder && profile.cacheFolder->path != profile.folder.path)
        cacheFiles.emplace(platform, *profile.cacheFolder);
    for (const auto& place : kFilePlaces) {
        if (place.family != browser.family) continue;
        FolderLookup* base =
            place.inCacheFolder ? (cacheFiles ? &*cacheFiles : profile.cacheFolder ? &profileFiles : nullptr)
                                : &profileFiles;
        if (!base) continue;
        std::vector<FoundPath> files;
        collectFiles(platform, place, *base, files);
        if (files.empty()) continue;
        // Two places of one kind (Firefox's session file and its backups) make one item.
        if (!items.empty() && items.back().kind == place.kind && !items.back().files.empty()) {
            items.back().size += TotalSize(files);
            items.back().files.insert(items.back().files.end(), files.begin(), files.end());
            continue;
        }
        const std::uint64_t size = TotalSize(files);
        items.push_back(BrowserItem{place.kind, {}, size, 0, std::move(files), ItemState::Ready});
    }
}

ItemOutcome removeFiles(FileRemoval& removal, const BrowserItem& item, bool describe) {
    ItemOutcome outcome{RemovalOutcome::Gone, 0, {}};
    for (const auto& found : item.files) {
        const Finding file = FileFinding(found, {});
        switch (removal.remove(file, found.folder().column())) {
            case RemovalOutcome::Removed:
                if (outcome.outcome == RemovalOutcome::Gone) outcome.outcome = RemovalOutcome::Removed;
                if (describe) outcome.takes.push_back(found.folder().column() + file.caption);
                break;
            case RemovalOutcome::Left:
                outcome.outcome = RemovalOutcome::Left;
                outcome.why = kSomeFilesStay;
                break;
            default: break;
        }
    }
    return outcome;
}

}  // namespace

std::string ItemName(ItemKind kind) {
    for (const auto& text : kKindNames)
        if (text.kind == kind) return text.name;
    return {};
}

std::string StateText(ItemState state) {
    switch (state) {
        case ItemState::CannotBeRead: return "cannot be read";
        case ItemState::UnknownVersion: return "unknown version, left as it is";
        case ItemState::Ready: break;
    }
    return {};
}

std::vector<BrowserItem> ListProfileItems(Platform& platform, const Browser& browser, const BrowserProfile& profile,
                                          const KeepList& keep) {
    std::vector<BrowserItem> items;
    // The profile's folder is listed once for every item found in it.
    FolderLookup profileFiles(platform, profile.folder);
    listFileItems(platform, browser, profile, profileFiles, items);
    ListRowItems(platform, profileFiles, browser, keep, items);
    return items;
}

std::vector<ItemOutcome> RemoveProfileItems(ScanContext& context, FileRemoval& files, const Browser& browser,
                                            const BrowserProfiles& profiles, const BrowserProfile& profile,
                                            const std::vector<BrowserItem>& chosen, const KeepList& keep) {
    std::vector<ItemOutcome> outcomes(chosen.size());
    if (BrowserRunning(context.platform, browser, profiles, profile) != BrowserState::Closed) {
        for (auto& outcome : outcomes) outcome = ItemOutcome{RemovalOutcome::Left, 0, CloseToCleanText(browser)};
        return outcomes;
    }
    // An item listed as not to be read or of an unknown version stays as it was listed.
    std::vector<BrowserItem> ready;
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (chosen[i].state != ItemState::Ready) {
            outcomes[i] = ItemOutcome{RemovalOutcome::Left, 0, StateText(chosen[i].state)};
        } else if (!chosen[i].files.empty()) {
            outcomes[i] = removeFiles(files, chosen[i], context.removalLog != nullptr);
        } else {
            ready.push_back(chosen[i]);
            at.push_back(i);
        }
    }
    std::vector<ItemOutcome> rows(ready.size());
    RemoveRowItems(context, browser, profile, ready, keep, rows);
    for (std::size_t i = 0; i < ready.size(); ++i) outcomes[at[i]] = rows[i];
    return outcomes;
}

}  // namespace keltora
