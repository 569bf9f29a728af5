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
