// The tests the deep analysis applies to a value's data: the level tables that turn data into
// the path it names, and the reading of the data as a command line that keeps a value naming an
// existing program from being called missing.
#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

#include "platform/Helpers.h"
#include "scanners/registry/DeepAnalysis.h"

namespace keltora {

namespace {

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
    std::u16string_view exemptParent;  // values of a key below a key of this name are never reported
};

constexpr LevelTest kLevelTests[] = {
    {1, 0, "", false, {}, u""},
    {2, 0, "file://", false, kCutAtComma, u""},
    {3, kHKeyLocalMachine, "", true, kLevel3MachineSteps, u""},
    {3, kHKeyCurrentUser, "", false, kCutAtComma, u""},
    {4, 0, "$(BDS)\\lib;", false, kLevel4Steps, u""},
    {5, kHKeyCurrentUser, "n;1;", true, kLevel5Steps, u"Uninstall"},
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

// Characters no Windows path holds (a ':' is one too, except the drive's).
bool endsAPath(std::size_t at, unsigned char c) {
    return c < 0x20 || std::strchr("|<>*?", c) != nullptr || (c == ':' && at != 1);
}

// Present beats Unknown beats Missing: what one form that exists shows, no other can undo.
PathPresence atLeast(PathPresence a, PathPresence b) {
    if (a == PathPresence::Present || b == PathPresence::Present) return PathPresence::Present;
    return a == PathPresence::Unknown || b == PathPresence::Unknown ? PathPresence::Unknown : PathPresence::Missing;
}

// Whether the command line names something: (a) whole as a file or a folder, or (b) a part of it
// that ends just before a blank as a file.
PathPresence commandLinePresence(FileSystem& files, const std::string& path, const FileView& seenAs) {
    if (path.empty()) return PathPresence::Missing;
    PathPresence found = files.probe(seenAs(path));
    for (std::size_t blank = path.find(' ', 1); blank != std::string::npos && found != PathPresence::Present;
         blank = path.find(' ', blank + 1)) {
        std::uint32_t attributes = 0;
        PathPresence part = files.probe(seenAs(path.substr(0, blank)), &attributes);
        if (part == PathPresence::Present && (attributes & kAttrDirectory) != 0) part = PathPresence::Missing;
        found = atLeast(found, part);
    }
    return found;
}

}  // namespace

std::optional<DeepAnalysis::Candidate> DeepAnalysis::CandidateOf(int level, HKey root, const std::string& data,
                                                                 const std::string& prefix) {
    const LevelTest* test = levelTestFor(level, root);
    if (test == nullptr) return std::nullopt;
    std::string text = test->fromData.empty() ? data : RemoveSubstring(std::string(test->fromData), data);
    if (!qualifies(text, prefix, test->prefixAtSecond)) return std::nullopt;
    std::string path = applySteps(test->steps, text);
    return Candidate{std::move(text), std::move(path)};
}

std::optional<std::string> DeepAnalysis::CandidatePath(int level, HKey root, const std::string& data,
                                                       const std::string& prefix) {
    auto candidate = CandidateOf(level, root, data, prefix);
    return candidate ? std::optional<std::string>(std::move(candidate->path)) : std::nullopt;
}

bool DeepAnalysis::Exempt(int level, HKey root, std::u16string_view parentName) {
    const LevelTest* test = levelTestFor(level, root);
    return test != nullptr && !test->exemptParent.empty() && parentName == test->exemptParent;
}

std::string DeepAnalysis::CommandLinePath(const std::string& tested) {
    std::string text = RemoveSubstring("\"", tested);
    std::size_t end = 0;
    while (end < text.size() && text[end] != ',' && text[end] != ';' &&
           !endsAPath(end, static_cast<unsigned char>(text[end])))
        ++end;
    return text.substr(0, end);
}

// Only a path the system says is not there counts as missing, and only while the data, read as a
// command line ("C:\App\app.exe -silent", "\"C:\App\app.exe\" \"%1\"", "C:\App\app.exe|0"),
// names nothing that exists either.
bool DeepAnalysis::Reported(FileSystem& files, const Candidate& candidate, const FileView& seenAs) {
    if (files.probe(seenAs(candidate.path)) != PathPresence::Missing) return false;
    return commandLinePresence(files, CommandLinePath(candidate.tested), seenAs) == PathPresence::Missing;
}

}  // namespace keltora
