#include "scanners/privacy/FileFindings.h"

#include <cctype>

#include "platform/Helpers.h"

namespace keltora {

namespace {

constexpr int kStoreDepth = 3;
constexpr const char* kIndexFile = "index.dat";

// A store entry whose name has an extension other than ".IE5" is taken for a file, whatever it
// really is; the rest are taken for folders and entered.
bool namedLikeAFile(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot, std::string::npos, ".IE5") != 0;
}

void walkLevel(FileSystem& fs, const std::string& folder, int level, const std::string& skip,
               std::vector<FoundPath>& out) {
    for (auto& entry : ListEntries(fs, folder, "*.*")) {
        if (level == 1 && !skip.empty() && entry.name == skip) continue;
        if (level == kStoreDepth || namedLikeAFile(entry.name)) {
            if (entry.name != kIndexFile) out.push_back({folder, std::move(entry.name), entry.size});
        } else {
            walkLevel(fs, folder + entry.name + "\\", level + 1, skip, out);
        }
    }
}

// Names the system would take for another file than the one listed: wildcards, and a trailing
// dot or blank, which Windows strips from the last component of a path.
bool deletableName(const std::string& name) {
    if (!IsPlainFileName(name) || name.find_first_of("*?\"<>|") != std::string::npos) return false;
    return name.back() != '.' && name.back() != ' ';
}

// Deletes the file of one checked finding; true when no file is there afterwards.
bool deleteFinding(FileSystem& fs, const Finding& finding) {
    const std::string& folder = finding.subItem(3);
    if (folder.empty() || folder.back() != '\\' || !deletableName(finding.caption)) return false;
    const std::string path = folder + finding.caption;
    if (path.size() >= kMaxPath) return false;
    if (!fs.exists(path)) return true;
    // A folder standing where a file was expected is refused by the deletion and stays listed.
    fs.deleteFile(path);
    return !fs.exists(path);
}

// A folder that names its drive ("C:\...") or its server ("\\server\..."). Anything else would be
// taken from the current drive or folder, which is never what a scan means.
bool qualifiedFolder(const std::string& folder) {
    if (folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\') return true;
    return folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
           folder[2] == '\\';
}

}  // namespace

std::vector<FoundFile> ListEntries(FileSystem& fs, const std::string& folder, const std::string& mask) {
    std::vector<FoundFile> entries;
    if (!qualifiedFolder(folder) || folder.back() != '\\') return entries;
    for (auto& found : fs.find(folder + mask))
        if (IsPlainFileName(found.name)) entries.push_back(std::move(found));
    return entries;
}

void CollectEntries(FileSystem& fs, const std::string& folder, const std::string& mask, std::vector<FoundPath>& out) {
    for (auto& entry : ListEntries(fs, folder, mask)) out.push_back({folder, std::move(entry.name), entry.size});
}

std::vector<FoundPath> WalkStore(FileSystem& fs, const std::string& root, const std::string& skipFirstLevel) {
    std::vector<FoundPath> found;
    walkLevel(fs, root, 1, skipFirstLevel, found);
    return found;
}

std::vector<Column> FileColumns(const FileColumnCaptions& captions) {
    static constexpr int kWidths[] = {180, 100, 220, 250, 100};
    std::vector<Column> columns;
    for (std::size_t i = 0; i < captions.size(); ++i) columns.push_back({captions[i], kWidths[i]});
    return columns;
}

void AddFileFindings(ScanRun& run, std::vector<FoundPath> found, std::string_view detail) {
    for (auto& file : found)
        run.add(std::move(file.name),
                {"Remove", std::string(detail), std::move(file.folder), SizeText(static_cast<std::int64_t>(file.size))},
                false);
}

void RemoveCheckedFiles(ScanContext& context, ResultList& list) {
    RemovalRun removal(context, list);
    FileSystem& fs = context.platform.files;
    removal.run([&fs](const Finding& finding) { return deleteFinding(fs, finding); });
}

}  // namespace keltora
