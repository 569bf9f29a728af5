#pragma once
// What a browser category lists of one profile and removes of it: the items of the profile,
// each with its size, as findings to be; and the removal of the chosen ones. Caches and the last
// session are files, removed file by file through the one removal place; history, downloads,
// cookies and form history are rows, deleted in one transaction per database while the browser
// is closed, never a database file itself.
#include <cstdint>
#include <string>
#include <vector>

#include "scan/FileRemoval.h"
#include "scanners/browsers/BrowserDatabases.h"
#include "scanners/browsers/Sites.h"

namespace keltora {

enum class ItemKind { Cache, CodeCache, GpuCache, History, Downloads, Cookies, FormHistory, Session };

enum class ItemState {
    Ready,
    CannotBeRead,    // its database is not SQLite, is damaged or is held by another program
    UnknownVersion,  // its database's schema is not one the removal knows: never written
};

struct BrowserItem {
    ItemKind kind;
    std::string site;              // Cookies: the site (one item per site); else empty
    std::uint64_t size = 0;        // bytes: of the files, or of the rows' data
    std::int64_t rows = 0;         // the rows that would go
    std::vector<FoundPath> files;  // the files that would go
    ItemState state = ItemState::Ready;
};

// "Cache", "Browsing history", "Cookies", ...: what the item is, for its finding.
std::string ItemName(ItemKind kind);
// "cannot be read", "unknown version, left as it is"; empty for a ready item.
std::string StateText(ItemState state);

// Everything of a profile there is to remove: its caches, its last session, its rows (the sites
// of the keep list neither listed nor counted). Items with nothing in them are not listed; a
// database that cannot be read or is of an unknown schema is listed as such, once per item kind.
std::vector<BrowserItem> ListProfileItems(Platform& platform, const Browser& browser, const BrowserProfile& profile,
                                          const KeepList& keep);

// What became of one chosen item.
struct ItemOutcome {
    RemovalOutcome outcome = RemovalOutcome::Left;
    std::int64_t rows = 0;  // rows deleted (in a dry run: that would be)
    std::string why;        // why it was left, for the user
    // What went (in a dry run: would go), when the removal's records are asked for: the files one
    // by one, the rows table by table.
    std::vector<std::string> takes{};
};

// Why an item of files stays listed when some of them could not go (the one removal of files
// tells which and why).
inline constexpr const char* kSomeFilesStay = "some of its files stay";

// Removes the chosen items of a profile (as listed by ListProfileItems), one outcome per item in
// their order. Nothing is removed while the browser runs ("Close ... to clean"); rows go only
// from a database whose schema is known, in one transaction, then the log is checkpointed and
// the file vacuumed; a site on the keep list is never removed, whatever was chosen. A dry run
// (context.dryRun) opens the databases read-only and counts what would go.
std::vector<ItemOutcome> RemoveProfileItems(ScanContext& context, FileRemoval& files, const Browser& browser,
                                            const BrowserProfiles& profiles, const BrowserProfile& profile,
                                            const std::vector<BrowserItem>& chosen, const KeepList& keep);

}  // namespace keltora
