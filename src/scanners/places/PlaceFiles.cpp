#include "scanners/places/PlaceFiles.h"

#include "platform/Helpers.h"
#include "scanners/places/ClassicFindings.h"
#include "scanners/places/PlaceFolder.h"
#include "scanners/places/PlaceRemoval.h"
#include "scanners/places/PlaceRules.h"
#include "scanners/privacy/FileFindings.h"

namespace keltora {

PlaceFiles::PlaceFiles(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore)
    : Category(info, context, ignore) {
    // Says which places could not be looked at, and why.
    note = std::make_unique<Label>("label" + code(), "");
}

void PlaceFiles::scan() {
    // The columns of the file lists, the removal text wider for its longer text.
    std::vector<Column> columns = FileColumns(kPathColumns);
    columns[1].width = 140;
    ScanRun run(context_, list(), std::move(columns));
    Platform& platform = context_.platform;
    const auto folders = PlaceFoldersOf(context_, info().code, PlaceLook::Scan);
    note->setCaption(PlaceProblems(folders));
    for (const auto& place : folders) {
        if (!place.folder) continue;
        const PlaceRules rules(platform, *place.place);
        const ClassicFindings classic(context_, place.place->leftTo);
        // The files of one folder come together: its column text is made once for them.
        const ListedFolder* folder = nullptr;
        std::string location;
        auto files = WalkPlace(platform, rules, *place.folder);
        run.list().reserve(run.list().size() + files.size());
        for (auto& file : files) {
            if (&file.folder() != folder) location = (folder = &file.folder())->column();
            if (classic.contains(file) || ignored(file.file.name, location)) continue;
            run.add(FileFinding(file, FileSubItems(kPrivacyThreatRemove, place.place->detail, location,
                                                   SizeText(static_cast<std::int64_t>(file.file.size)))),
                    false);
        }
    }
    context_.ramp(0, 100);
}

void PlaceFiles::remove() {
    PlaceRemoval room(context_, info().code);
    {
        RemovalRun removal(context_, list());
        removal.run([&room](const Finding& finding) { return room.remove(finding); });
    }
    room.finish();
}

}  // namespace keltora
