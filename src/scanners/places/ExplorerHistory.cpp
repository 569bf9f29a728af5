#include "scanners/places/ExplorerHistory.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "platform/AsciiNoCase.h"
#include "scanners/places/PlaceFiles.h"
#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

// clang-format off
constexpr HistoryKey kKeys[] = {
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs", true, true},
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSavePidlMRU", true, false},
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRU", false, true},
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths", false, false},
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery", false, true},
};

constexpr std::pair<std::uint32_t, std::string_view> kTypeNames[] = {
    {kRegNone, "REG_NONE"}, {kRegSz, "REG_SZ"}, {kRegExpandSz, "REG_EXPAND_SZ"}, {kRegBinary, "REG_BINARY"},
    {kRegDword, "REG_DWORD"}, {5, "REG_DWORD_BIG_ENDIAN"}, {kRegLink, "REG_LINK"}, {kRegMultiSz, "REG_MULTI_SZ"},
    {8, "REG_RESOURCE_LIST"}, {9, "REG_FULL_RESOURCE_DESCRIPTOR"}, {10, "REG_RESOURCE_REQUIREMENTS_LIST"},
    {kRegQword, "REG_QWORD"},
};
// clang-format on

const std::vector<Column> kColumns{{"Error Items", 200}, {"Repair Report", 200}, {"Detail Info", 250},
                                   {"Registry Location", 250}};

std::u16string widened(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The value that keeps the order of a list's entries.
bool isListOrder(std::u16string_view name) { return SameNoCase(name, u"MRUListEx") || SameNoCase(name, u"MRUList"); }

std::string typeName(std::uint32_t type) {
    for (const auto& [code, name] : kTypeNames)
        if (code == type) return std::string(name);
    return "type " + std::to_string(type);
}

// The text at the start of UTF-16 data, up to its first NUL; nullopt when the data holds none.
std::optional<std::u16string> leadingText(const RegistryData& data) {
    std::u16string text = Utf16LeText(data.bytes.data(), data.bytes.size());
    const auto end = text.find(u'\0');
    if (end == std::u16string::npos) return std::nullopt;
    text.resize(end);
    return text;
}

// What "Detail Info" shows of a value: a string as the string it is, the name an entry of a
// list of names starts with, and anything else (an entry of another type than the list keeps,
// data that holds no name) by its type and size, never read as something it is not.
std::string describe(CodePage& codePage, const HistoryKey& key, std::u16string_view name, const RegistryData& data) {
    if (isListOrder(name)) return "Order of the list";
    const bool text = data.type == kRegSz || data.type == kRegExpandSz;
    if (text || (key.namesFirst && data.type == kRegBinary)) {
        if (auto leading = leadingText(data); leading && !leading->empty()) return codePage.toAnsi(*leading);
        if (text) return codePage.toAnsi(Utf16LeText(data.bytes.data(), data.bytes.size()));
    }
    return typeName(data.type) + " data, " + std::to_string(data.bytes.size()) + " bytes";
}

// The row of the table whose list path is: one of its keys, or a subkey of a key that has lists
// in its subkeys. Any other key is none of this category's.
const HistoryKey* rowOf(const std::u16string& path) {
    for (const auto& key : kKeys) {
        const std::u16string listed = widened(key.path);
        if (SameNoCase(path, listed)) return &key;
        if (key.subkeys && path.size() > listed.size() + 1 && SameNoCase(path.substr(0, listed.size()), listed) &&
            path[listed.size()] == u'\\' && IsSingleKeyName(path.substr(listed.size() + 1)))
            return &key;
    }
    return nullptr;
}

}  // namespace

std::span<const HistoryKey> HistoryKeys() { return kKeys; }

namespace {

// The values of one list, each list's order value last.
void addList(ScanRun& run, const Platform& platform, const HistoryKey& row, const std::u16string& path,
             const std::function<bool(const std::string&, const std::string&)>& ignored) {
    // Opened as itself: a registry link at any level of its path leads elsewhere, and lists nothing.
    ScopedKey key(platform.registry);
    if (key.openExact(kHKeyCurrentUser, path, kKeyRead) != kErrorSuccess) return;
    auto names = ValuesOf(platform, key.get());
    std::stable_partition(names.begin(), names.end(), [](const ListedName& name) { return !isListOrder(name.wide); });
    const ListedName keyName = NameOf(platform.codePage, path);
    const std::string location = LocationText(kHKeyCurrentUser, keyName.ansi);
    for (auto& name : names) {
        RegistryData data;
        if (ReadValueW(platform.registry, key.get(), name.wide, data) != kErrorSuccess) continue;
        if (ignored(name.ansi, location)) continue;
        Finding finding{name.ansi, {kPrivacyThreatRemove, describe(platform.codePage, row, name.wide, data), location},
                        true, name.identity(), keyName.exact ? std::u16string() : path};
        run.add(std::move(finding), false);
    }
}

}  // namespace

void ExplorerHistory::scan() {
    ScanRun run(context_, list(), kColumns);
    const Platform& platform = context_.platform;
    auto skip = [this](const std::string& name, const std::string& location) { return ignored(name, location); };
    for (const auto& row : kKeys) {
        const std::u16string path = widened(row.path);
        addList(run, platform, row, path, skip);
        if (!row.subkeys) continue;
        ScopedKey key(platform.registry);
        if (key.openExact(kHKeyCurrentUser, path, kKeyRead) != kErrorSuccess) continue;
        for (const auto& subkey : SubkeysOf(platform, key.get())) addList(run, platform, row, JoinKey(path, subkey.wide), skip);
    }
    context_.ramp(0, 100);
}

RemovalOutcome ExplorerHistory::removeOne(RegistryRemoval& room, const Finding& finding) {
    const Platform& platform = context_.platform;
    std::u16string path = finding.exactLocation;
    if (path.empty()) {
        const auto location = ParseLocation(finding.subItem(3));
        if (!location || location->root != kHKeyCurrentUser) return RemovalOutcome::Left;
        path = platform.codePage.toWide(location->path);
    }
    // Only a list this category reads is ever opened, and only as itself (no registry link on the
    // way: the room's re-check and its delete both reach it by its own path).
    const HistoryKey* row = rowOf(path);
    if (row == nullptr) return RemovalOutcome::Left;
    ScopedKey key(platform.registry);
    if (auto outcome = room.openForRecheck(key, kHKeyCurrentUser, path)) return *outcome;
    const std::u16string name = ExactItem(finding.exactName, finding.caption, platform.codePage);
    RegistryData data;
    const long found = ReadValueW(platform.registry, key.get(), name, data);
    if (found != kErrorSuccess) return IsNotFound(found) ? RemovalOutcome::Gone : RemovalOutcome::Left;
    // The entry the list showed: another entry in its place is no longer this finding.
    if (describe(platform.codePage, *row, name, data) != finding.subItem(2)) return RemovalOutcome::NoLongerAFinding;
    key.reset();
    return room.deleteValue(kHKeyCurrentUser, path, name);
}

void ExplorerHistory::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
