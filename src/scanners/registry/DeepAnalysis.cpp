#include "scanners/registry/DeepAnalysis.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Missing Path(Removable)";
constexpr const char* kSoftware = "SOFTWARE";
constexpr const char16_t* kSoftwareWide = u"SOFTWARE";
// The longest key name the registry keeps.
constexpr std::uint32_t kMaxKeyName = 255;

// The two walks in their order: how deep each goes and how far the bar climbs during it.
struct Walk {
    HKey root;
    std::string_view location;
    int depth;
    int barLimit;
};

constexpr Walk kWalks[] = {
    {kHKeyLocalMachine, "HKLM\\SOFTWARE", 4, 60},
    {kHKeyCurrentUser, "HKCU\\SOFTWARE", 5, 80},
};

// One walk. Each key is opened once, for reading, below its parent, and its values are read with
// their names and data in one call each; names are read exactly, so a finding whose key or value
// name the ANSI calls cannot carry names the very item through its exact identity.
class Walker {
public:
    Walker(ScanContext& context, ScanRun& run, Label& label, const Walk& walk)
        : context_(context), api_(context.platform.registry), run_(run), label_(label), walk_(walk) {}

    void run() {
        ScopedKey software(api_);
        if (software.openExact(walk_.root, kSoftwareWide, kKeyRead) != kErrorSuccess) return;
        KeyInfo info;
        if (api_.queryInfoKey(software.get(), info) != kErrorSuccess) return;
        const Place top{std::string(walk_.location), kSoftwareWide, true};
        for (const auto& name : subkeys(software.get(), info)) {
            visit(software.get(), name, 1, top, kSoftwareWide);
            context_.stepBelow(walk_.barLimit);
        }
    }

private:
    // A key as the list shows it ("HKLM\SOFTWARE\K1") and exactly (SOFTWARE\K1 below the root).
    struct Place {
        std::string location;
        std::u16string path;
        bool exact;
    };

    void visit(HKey parent, const ListedName& name, int level, const Place& above, const std::u16string& parentName) {
        const Place here{above.location + "\\" + name.ansi, above.path + u"\\" + name.wide, above.exact && name.exact};
        context_.host.processMessages();
        label_.setCaption(here.location);
        ScopedKey key(api_);
        KeyInfo info;
        if (!open(key, parent, name.wide, here.path, info)) return;
        if (!DeepAnalysis::Exempt(level, walk_.root, parentName)) examineValues(key.get(), info, level, here);
        if (level >= walk_.depth) return;
        for (const auto& sub : subkeys(key.get(), info)) visit(key.get(), sub, level + 1, here, name.wide);
    }

    // A key is opened as itself and a registry link is never entered, so nothing is listed twice
    // or from outside the walk; only a link Windows made itself leads on, to where it must. Only a
    // key that may hold a link's target value is asked whether it is one, which spares the
    // question for most keys of a large tree.
    bool open(ScopedKey& key, HKey parent, const std::u16string& name, const std::u16string& path, KeyInfo& info) {
        if (key.open(parent, name, kRegOptionOpenLink, kKeyRead) != kErrorSuccess ||
            api_.queryInfoKey(key.get(), info) != kErrorSuccess)
            return false;
        if (!MayBeLink(info) || !IsLinkKey(api_, key.get())) return true;
        return IsSystemLink(walk_.root, path) && key.openExact(walk_.root, path, kKeyRead) == kErrorSuccess &&
               api_.queryInfoKey(key.get(), info) == kErrorSuccess;
    }

    std::vector<ListedName> subkeys(HKey key, const KeyInfo& info) {
        std::vector<ListedName> names;
        for (std::uint32_t i = 0; i < info.subKeys; ++i) {
            std::u16string name;
            long rc = api_.enumKeyW(key, i, info.maxSubKeyLen + 1, name);
            if (rc == kErrorMoreData) rc = api_.enumKeyW(key, i, kMaxKeyName + 1, name);  // renamed meanwhile
            if (rc == kErrorSuccess) names.push_back(NameOf(context_.platform.codePage, std::move(name)));
        }
        return names;
    }

    void examineValues(HKey key, const KeyInfo& info, int level, const Place& here) {
        const std::string& prefix = context_.paths.systemDrive;
        // Without a prefix no value can qualify.
        if (prefix.empty()) return;
        const RegistryView view = ViewOfKey(here.path);
        for (std::uint32_t i = 0; i < info.values; ++i) {
            std::u16string name;
            std::vector<std::string> texts;
            if (!readValue(key, i, info.maxValueNameLen + 1, view, name, texts)) continue;
            const auto path = DeepAnalysis::MissingPath(level, walk_.root, texts, prefix, context_.platform.files,
                                                        FileView(view, context_.paths.systemRoot));
            if (!path) continue;
            run_.add(finding(*path, NameOf(context_.platform.codePage, std::move(name)), here), false);
        }
    }

    // False when the value names no path to judge (PathTexts): its data is not text, does not fit
    // 255 characters, cannot be read, holds characters the ANSI code page lacks (the file calls
    // would look for another path) or a variable without a value.
    bool readValue(HKey key, std::uint32_t index, std::uint32_t capacity, RegistryView view, std::u16string& name,
                   std::vector<std::string>& texts) {
        std::uint8_t buffer[kWideReadBuffer];
        std::uint32_t size = kWideReadBuffer, type = 0;
        if (api_.enumValueDataW(key, index, capacity, name, &type, buffer, &size) != kErrorSuccess) return false;
        auto read = PathTexts(context_.platform, type, buffer, size, view, false);
        if (!read) return false;
        texts = std::move(*read);
        return true;
    }

    // The unnamed value shows as "(Default)"; a value really named so carries its name, as does one
    // whose name the ANSI form does not carry.
    static Finding finding(const std::string& path, const ListedName& value, const Place& here) {
        const bool unnamed = value.wide.empty();
        const std::string shown = unnamed ? DeepAnalysis::kDefaultName : value.ansi;
        std::u16string identity = shown == DeepAnalysis::kDefaultName && !unnamed ? value.wide : value.identity();
        return Finding{path, {kRepairReport, shown, here.location}, true, std::move(identity),
                       here.exact ? std::u16string() : here.path};
    }

    ScanContext& context_;
    RegistryApi& api_;
    ScanRun& run_;
    Label& label_;
    const Walk& walk_;
};

bool isWalkRoot(HKey root) {
    return std::any_of(std::begin(kWalks), std::end(kWalks), [root](const Walk& walk) { return walk.root == root; });
}

// Key level below SOFTWARE of a key path "SOFTWARE\K1\...": one per key name.
int levelOf(const std::u16string& path) { return static_cast<int>(std::count(path.begin(), path.end(), u'\\')); }

}  // namespace

DeepAnalysis::DeepAnalysis(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore)
    : Category(info, context, ignore) {}

void DeepAnalysis::scan() {
    Label& label = *keyLabel_;
    label.show();
    struct HideAtEnd {
        Label& label;
        ~HideAtEnd() { label.hide(); }
    } hideAtEnd{label};
    ScanRun run(context_, list(),
                {{"Error Items", 200}, {"Repair Report", 200}, {"Detail Info", 150}, {"Registry Location", 250}});
    context_.ramp(0, 10);
    for (const auto& walk : kWalks) Walker(context_, run, label, walk).run();
    context_.ramp(80, 100);
}

// Whether the value still holds data that names the listed path, and every path it names is still
// missing.
bool DeepAnalysis::stillMissing(HKey key, int level, HKey root, const std::u16string& name, const std::string& path,
                                RegistryView view) {
    const auto texts = ReadPathTexts(context_.platform, key, name, view, false);
    if (!texts) return false;
    return MissingPath(level, root, *texts, context_.paths.systemDrive, context_.platform.files,
                       FileView(view, context_.paths.systemRoot)) == path;
}

// A list of strings is judged string by string: it names a missing path only when each of its
// strings does; one that names no path of the system drive, or one that is there, keeps it.
std::optional<std::string> DeepAnalysis::MissingPath(int level, HKey root, const std::vector<std::string>& texts,
                                                     const std::string& prefix, FileSystem& files,
                                                     const FileView& seenAs) {
    std::optional<std::string> first;
    for (const auto& text : texts) {
        const auto candidate = CandidateOf(level, root, text, prefix);
        if (!candidate || !Reported(files, *candidate, seenAs)) return std::nullopt;
        if (!first) first = candidate->path;
    }
    return first;
}

// The value is named by "Detail Info" in the key of "Registry Location", or by the exact identity
// the finding carries. "(Default)" without one is the unnamed value, which is emptied, never
// deleted. Only a value that still names the same missing path is touched.
RemovalOutcome DeepAnalysis::removeOne(RegistryRemoval& room, const Finding& finding) {
    const auto key = ParseLocation(finding.subItem(3));
    if (!key || !isWalkRoot(key->root) || !key->path.starts_with(std::string(kSoftware) + "\\"))
        return RemovalOutcome::Left;
    auto& codePage = context_.platform.codePage;
    const std::u16string path = ExactItem(finding.exactLocation, key->path, codePage);
    const bool unnamed = finding.exactName.empty() && finding.subItem(2) == kDefaultName;
    const std::u16string name = unnamed ? std::u16string() : ExactItem(finding.exactName, finding.subItem(2), codePage);
    ScopedKey opened(context_.platform.registry);
    if (auto outcome = room.openForRecheck(opened, key->root, path)) return *outcome;
    std::uint32_t size = 0;
    const long found = context_.platform.registry.queryValueW(opened.get(), name, nullptr, nullptr, &size);
    if (found != kErrorSuccess) return IsNotFound(found) ? RemovalOutcome::Gone : RemovalOutcome::Left;
    if (!stillMissing(opened.get(), levelOf(path), key->root, name, finding.caption, ViewOfKey(path)))
        return RemovalOutcome::NoLongerAFinding;
    opened.reset();
    return unnamed ? room.emptyDefaultValue(key->root, path) : room.deleteValue(key->root, path, name);
}

// A write that fails ends the removal with its error; the findings handled until then are gone
// from the list and the rest stay (the removal run keeps them).
void DeepAnalysis::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
