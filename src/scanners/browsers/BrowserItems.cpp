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

void collectFiles(Platform& platform, const FilePlace& place, const ListedFolder& base, std::vector<FoundPath>& files) {
    if (place.folder) {
        if (const auto folder = ExistingFolder(platform, base, place.path)) {
            auto found = WalkFiles(platform, *folder);
            files.insert(files.end(), found.begin(), found.end());
        }
        return;
    }
    if (IsPlainFile(platform, base.below(place.path))) CollectEntries(platform, base, place.path, files);
}

void listFileItems(Platform& platform, const Browser& browser, const BrowserProfile& profile,
                   std::vector<BrowserItem>& items) {
    for (const auto& place : kFilePlaces) {
        if (place.family != browser.family) continue;
        const ListedFolder* base =
            place.inCacheFolder ? (profile.cacheFolder ? &*profile.cacheFolder : nullptr) : &profile.folder;
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

ItemOutcome removeFiles(FileRemoval& removal, const BrowserItem& item) {
    ItemOutcome outcome{RemovalOutcome::Gone, 0, {}};
    for (const auto& found : item.files) {
        switch (removal.remove(FileFinding(found, {}), found.folder().column())) {
            case RemovalOutcome::Removed:
                if (outcome.outcome == RemovalOutcome::Gone) outcome.outcome = RemovalOutcome::Removed;
                break;
            case RemovalOutcome::Left: outcome = ItemOutcome{RemovalOutcome::Left, 0, "some of its files stay"}; break;
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
    listFileItems(platform, browser, profile, items);
    ListRowItems(platform, browser, profile, keep, items);
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
            outcomes[i] = removeFiles(files, chosen[i]);
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
