#include "orchestration/RemoveFamily.h"

#include <utility>

namespace keltora {

namespace {

// clang-format off
constexpr std::pair<std::string_view, RemoveTexts> kOwnPages[] = {
    {"sp", {"Status : Repairing Startup Programs", "Status : Repaired Startup Programs"}},
    {"ue", {"Status : Repairing Uninstalls", "Status : Repaired Uninstalls"}},
    {"pc", {"Status : Repairing Recent Documents", "Status : Repaired Recent Documents"}},
    {"fe", {"Status : Repairing File Associations", "Status : Repaired File Associations"}},
    {"ax", {"Status : Repairing DLLs/ActiveX", "Status : Repaired DLLs/ActiveX"}},
    {"da", {"Status : Repairing Invalid Filepaths ", "Status : Repaired Invalid Filepaths"}},
    {"co", {"  Status : Repairing Cookies", "  Status : Repaired Cookies"}},
    {"utemp", {"Status : Repairing User Temporary Files", "Status : Repaired User Temporary Files"}},
    {"wer", {"Status : Repairing Windows Error Reports", "Status : Repaired Windows Error Reports"}},
    {"cdump", {"Status : Repairing Crash Dumps", "Status : Repaired Crash Dumps"}},
    {"thumb", {"Status : Repairing Thumbnail Cache", "Status : Repaired Thumbnail Cache"}},
    {"jump", {"Status : Repairing Jump Lists", "Status : Repaired Jump Lists"}},
    {"inet", {"Status : Repairing Internet Cache", "Status : Repaired Internet Cache"}},
    {"mru", {"Status : Repairing Explorer History", "Status : Repaired Explorer History"}},
};

constexpr RemoveTexts kSharedPageTypes[] = {
    {"  Status : Repairing History", "  Status : Repaired History"},
    {"  Status : Repairing Temporary Files", "  Status : Repaired Temporary files"},
    {"  Status : Repairing Recycle Bin", "  Status : Repaired Recycle Bin"},
    {"  Status : Repairing Run (Start Menu)", "  Status : Repaired Run (Start Menu)"},
    {"  Status : Repairing Clipboard", "  Status : Repaired Clipboard"},
    {"  Status : Repairing Memory Dump", "  Status : Repaired Memory Dump"},
    {"  Status : Repairing Chkdsk Files", "  Status : Repaired Chkdsk Files"},
    {"  Status : Repairing Log Files", "  Status : Repaired Log Files"},
    {"  Status : Repairing Temporary IE", "  Status : Repaired Temporary IE"},
    {"  Status : Repairing Typed URLs", "  Status : Repaired Typed URLs"},
};
// clang-format on

}  // namespace

const RemoveTexts* RemoveTextsForPage(std::string_view code) {
    for (const auto& [page, texts] : kOwnPages)
        if (page == code) return &texts;
    return nullptr;
}

const RemoveTexts* RemoveTextsForPageType(int pageType) {
    if (pageType < 1 || pageType > static_cast<int>(std::size(kSharedPageTypes))) return nullptr;
    return &kSharedPageTypes[pageType - 1];
}

}  // namespace keltora
