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
    ScanRun run(context_, list(), FileColumns(kPathColumns));
    Platform& platform = context_.platform;
    const auto folders = PlaceFoldersOf(platform, info().code);
    note->setCaption(PlaceProblems(folders));
    for (const auto& place : folders) {
        if (!place.folder) continue;
        const PlaceRules rules(platform, *place.place);
        const ClassicFindings classic(platform, place.place->leftTo);
        for (auto& file : WalkPlace(platform, rules, *place.folder)) {
            std::string location = file.folder.column();
            if (classic.contains(file) || ignored(file.file.name, location)) continue;
            std::string size = SizeText(static_cast<std::int64_t>(file.file.size));
            run.add(FileFinding(file, {kPrivacyThreatRemove, std::string(place.place->detail), std::move(location),
                                       std::move(size)}),
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
