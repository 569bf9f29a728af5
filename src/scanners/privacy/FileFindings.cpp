#include "scanners/privacy/FileFindings.h"

#include "platform/Helpers.h"
#include "scan/FileRemoval.h"

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

void walkLevel(Platform& platform, const ListedFolder& folder, int level, const std::string& skip,
               std::vector<FoundPath>& out) {
    const auto shared = std::make_shared<const ListedFolder>(folder);
    for (auto& entry : ListEntries(platform, folder, u"*.*")) {
        if (level == 1 && !skip.empty() && entry.name == skip) continue;
        if (level == kStoreDepth || namedLikeAFile(entry.name)) {
            if (entry.name != kIndexFile) out.push_back(Found(platform, shared, std::move(entry)));
        } else {
            walkLevel(platform, EntryFolder(platform, folder, entry), level + 1, skip, out);
        }
    }
}

}  // namespace

std::vector<FoundPath> WalkStore(Platform& platform, const ListedFolder& root, const std::string& skipFirstLevel) {
    std::vector<FoundPath> found;
    walkLevel(platform, root, 1, skipFirstLevel, found);
    return found;
}

std::vector<Column> FileColumns(const FileColumnCaptions& captions) {
    static constexpr int kWidths[] = {180, 100, 220, 250, 100};
    std::vector<Column> columns;
    for (std::size_t i = 0; i < captions.size(); ++i) columns.push_back({captions[i], kWidths[i]});
    return columns;
}

void AddFileFindings(ScanRun& run, std::vector<FoundPath> found, std::string_view detail) {
    // The files of one folder come together: its column text is made once for them.
    const ListedFolder* folder = nullptr;
    std::string column;
    run.list().reserve(run.list().size() + found.size());
    for (auto& file : found) {
        if (&file.folder() != folder) column = (folder = &file.folder())->column();
        run.add(FileFinding(file, FileSubItems("Remove", detail, column, SizeText(static_cast<std::int64_t>(file.file.size)))),
                false);
    }
}

void RemoveCheckedFiles(ScanContext& context, ResultList& list) {
    FileRemoval files(context);
    {
        // The files of one folder come together: the act opens and checks their folder once.
        const KeptActFolder keptFolder(context.platform.files);
        RemovalRun removal(context, list);
        removal.run([&files](const Finding& finding) { return files.remove(finding, finding.subItem(3)); });
    }
    files.report();
}

}  // namespace keltora
