#include "scanners/registry/DeepAnalysis.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "platform/Helpers.h"
#include "platform/Registry2.h"
#include "scanners/registry/KeyTools.h"

namespace keltora {

namespace {

constexpr const char* kRepairReport = "Missing Path(Removable)";
constexpr const char* kSoftware = "SOFTWARE";

// How a value's data becomes the path it names: texts stripped (every occurrence, case-sensitive),
// texts appended, and the text cut before the first occurrence of another.
enum class Op { Strip, Append, CutAt };
struct Step {
    Op op;
    std::string_view text;
};

constexpr Step kCutAtComma[] = {{Op::CutAt, ","}};
constexpr Step kLevel3MachineSteps[] = {
    {Op::Strip, "\",0"}, {Op::Strip, "\""}, {Op::Strip, "@"}, {Op::CutAt, ","},
};
constexpr Step kLevel4Steps[] = {{Op::Strip, "-nodefault -nologo"}, {Op::CutAt, ","}, {Op::CutAt, "/"}};
// Command-line switches and placeholders go first. Three backslashes appended, then runs of four
// and of three stripped, take one trailing backslash off a folder and give any other text back
// its former end.
constexpr Step kLevel5Steps[] = {
    {Op::Strip, "-nodefault -nologo"},
    {Op::Strip, "--one-instance --playlist-enqueue \"%1\""},
    {Op::Strip, "--no-playlist-enqueue \"%1\""},
    {Op::Strip, "\"%1\" %*"},
    {Op::Strip, "\"%1\""},
    {Op::Strip, "%1"},
    {Op::Strip, ";"},
    {Op::Append, "\\\\\\"},
    {Op::Strip, "\\\\\\\\"},
    {Op::Strip, "\\\\\\"},
    {Op::Strip, "\""},
    {Op::CutAt, ","},
    {Op::CutAt, "/"},
};

// The test of a value at one key level below SOFTWARE.
struct LevelTest {
    int level;
    HKey root;                      // 0: both roots
    std::string_view fromData;      // stripped from the data to give the tested text
    bool prefixAtSecond;            // the prefix may begin at the second character as well
    std::span<const Step> steps;    // from the tested text to the candidate path
    std::string_view exemptParent;  // values of a key below a key of this name are never reported
};

constexpr LevelTest kLevelTests[] = {
    {1, 0, "", false, {}, ""},
    {2, 0, "file://", false, kCutAtComma, ""},
    {3, kHKeyLocalMachine, "", true, kLevel3MachineSteps, ""},
    {3, kHKeyCurrentUser, "", false, kCutAtComma, ""},
    {4, 0, "$(BDS)\\lib;", false, kLevel4Steps, ""},
    {5, kHKeyCurrentUser, "n;1;", true, kLevel5Steps, "Uninstall"},
};

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

const LevelTest* levelTestFor(int level, HKey root) {
    for (const auto& test : kLevelTests)
        if (test.level == level && (test.root == 0 || test.root == root)) return &test;
    return nullptr;
}

bool qualifies(const std::string& text, const std::string& prefix, bool atSecond) {
    if (prefix.empty()) return false;
    if (text.starts_with(prefix)) return true;
    return atSecond && !text.empty() && text.compare(1, prefix.size(), prefix) == 0;
}

std::string applySteps(std::span<const Step> steps, std::string text) {
    for (const auto& step : steps) {
        const std::string piece(step.text);
        switch (step.op) {
            case Op::Strip: text = RemoveSubstring(piece, text); break;
            case Op::Append: text += piece; break;
            case Op::CutAt: text.erase(std::min(text.find(piece), text.size())); break;
        }
    }
    return text;
}

// Data as the registry string read gives it: what was returned without its last byte.
std::string readText(const std::uint8_t* data, std::uint32_t size) {
    return size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size - 1);
}

// One walk. Each key is opened once, below its parent, and its values are read with their
// names: the same values, data and order as listing the names and reading each value by name,
// in a third of the registry calls.
class Walker {
public:
    Walker(ScanContext& context, ScanRun& run, Label& label, const Walk& walk)
        : context_(context), api_(context.platform.registry), run_(run), label_(label), walk_(walk) {}

    void run() {
        OpenedKey software(api_);
        if (!software.open(walk_.root, kSoftware, kKeyAllAccess)) return;
        KeyInfo info;
        if (api_.queryInfoKey(software.get(), info) != kErrorSuccess) return;
        const std::string location(walk_.location);
        for (const auto& name : subkeys(software.get(), info)) {
            visit(software.get(), name, 1, location + "\\" + name, kSoftware);
            context_.stepBelow(walk_.barLimit);
        }
    }

private:
    void visit(HKey parent, const std::string& name, int level, const std::string& location,
               const std::string& parentName) {
        context_.host.processMessages();
        label_.setCaption(location);
        if (!IsSingleKeyName(name)) return;
        OpenedKey key(api_);
        if (!key.open(parent, name, kKeyAllAccess)) return;
        KeyInfo info;
        if (api_.queryInfoKey(key.get(), info) != kErrorSuccess) return;
        examineValues(key.get(), info, level, location, parentName);
        if (level >= walk_.depth) return;
        for (const auto& sub : subkeys(key.get(), info)) visit(key.get(), sub, level + 1, location + "\\" + sub, name);
    }

    std::vector<std::string> subkeys(HKey key, const KeyInfo& info) {
        std::vector<std::string> names;
        const std::uint32_t capacity = 2 * (info.maxSubKeyLen + 1);
        for (std::uint32_t i = 0; i < info.subKeys; ++i) {
            std::string name;
            if (api_.enumKey(key, i, capacity, name) == kErrorSuccess) names.push_back(std::move(name));
        }
        return names;
    }

    void examineValues(HKey key, const KeyInfo& info, int level, const std::string& location,
                       const std::string& parentName) {
        const std::string& prefix = context_.paths.systemDrive;
        const LevelTest* test = levelTestFor(level, walk_.root);
        // Without a prefix no value can qualify.
        if (prefix.empty() || test == nullptr) return;
        const bool exempt = !test->exemptParent.empty() && parentName == test->exemptParent;
        const std::uint32_t capacity = 2 * (info.maxValueNameLen + 1);
        for (std::uint32_t i = 0; i < info.values; ++i) {
            std::string name, data;
            if (!readValue(key, i, capacity, name, data)) continue;
            const auto candidate = DeepAnalysis::CandidatePath(level, walk_.root, data, prefix);
            if (!candidate || exempt || context_.platform.files.exists(*candidate)) continue;
            run_.add(*candidate, {kRepairReport, name.empty() ? DeepAnalysis::kDefaultName : name, location}, false);
        }
    }

    // False when the value gives no text: its data does not fit 255 characters or cannot be read.
    bool readValue(HKey key, std::uint32_t index, std::uint32_t capacity, std::string& name, std::string& data) {
        std::uint8_t buffer[kStringReadBuffer];
        std::uint32_t size = kStringReadBuffer, type = 0;
        if (api_.enumValueData(key, index, capacity, name, &type, buffer, &size) != kErrorSuccess) return false;
        // A name with characters the ANSI code page lacks comes back with '?' in their place, and
        // a read by that name finds nothing: such a value gives no text, as a read by name would.
        if (name.find('?') != std::string::npos) {
            size = kStringReadBuffer;
            if (api_.queryValue(key, name, &type, buffer, &size) != kErrorSuccess) return false;
        }
        data = readText(buffer, size);
        return true;
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
int levelOf(const std::string& path) { return static_cast<int>(std::count(path.begin(), path.end(), '\\')); }

}  // namespace

DeepAnalysis::DeepAnalysis(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore)
    : Category(info, context, ignore) {}

std::optional<std::string> DeepAnalysis::CandidatePath(int level, HKey root, const std::string& data,
                                                       const std::string& prefix) {
    const LevelTest* test = levelTestFor(level, root);
    if (test == nullptr) return std::nullopt;
    std::string text = test->fromData.empty() ? data : RemoveSubstring(std::string(test->fromData), data);
    if (!qualifies(text, prefix, test->prefixAtSecond)) return std::nullopt;
    return applySteps(test->steps, std::move(text));
}

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

namespace {

// Whether the value of key\name names path by the test of the key's level.
bool namesPath(RegistryApi& api, const KeyLocation& location, const std::string& name, const std::string& path,
               const std::string& prefix) {
    OpenedKey key(api);
    if (!key.open(location.root, location.path, kKeyRead)) return false;
    const auto candidate =
        DeepAnalysis::CandidatePath(levelOf(location.path), location.root, ReadText(api, key.get(), name), prefix);
    return candidate && *candidate == path;
}

}  // namespace

// "(Default)" is what the list shows for the unnamed value, which is emptied, never deleted. A
// value really named "(Default)" shows the same: the finding is that value only when its data
// names the finding's path and the unnamed value's does not.
RemovalOutcome DeepAnalysis::removeOne(RegistryRemoval& room, const Finding& finding) {
    const auto key = ParseLocation(finding.subItem(3));
    if (!key || !isWalkRoot(key->root) || !key->path.starts_with(std::string(kSoftware) + "\\"))
        return RemovalOutcome::Left;
    auto& api = context_.platform.registry;
    const auto& prefix = context_.paths.systemDrive;
    const std::u16string path = context_.platform.codePage.toWide(key->path);
    const std::string& name = finding.subItem(2);
    if (name == kDefaultName) {
        const bool namedOne = !namesPath(api, *key, "", finding.caption, prefix) &&
                              namesPath(api, *key, kDefaultName, finding.caption, prefix);
        if (!namedOne) return room.emptyDefaultValue(key->root, path);
    }
    return room.deleteValue(key->root, path, context_.platform.codePage.toWide(name));
}

// A write that fails ends the removal with its error; the findings handled until then are gone
// from the list and the rest stay (the removal run keeps them).
void DeepAnalysis::remove() {
    RemovalRun removal(context_, list());
    RegistryRemoval room(context_);
    removal.run([&](const Finding& finding) { return removeOne(room, finding); });
}

}  // namespace keltora
