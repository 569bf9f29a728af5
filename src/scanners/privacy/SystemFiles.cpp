#include "scanners/privacy/SystemFiles.h"

#include "platform/Helpers.h"
#include "scanners/privacy/FileFindings.h"

namespace keltora {

namespace {

constexpr auto S = PlaceBase::SystemRoot;
constexpr auto K = PlaceBase::SystemDrive;

// clang-format off
constexpr SystemPlace kPlaces[] = {
    {"dump", S, "\\",                       "memory.dmp", LeftOut::Nothing,         ""},
    {"dump", S, "\\MiniDump\\",             "*.dmp",      LeftOut::Nothing,         ""},
    {"chk",  K, "",                         "File*.chk",  LeftOut::Nothing,         ""},
    {"log",  S, "\\system32\\wbem\\Logs\\", "*.log",      LeftOut::Nothing,         ""},
    {"log",  S, "\\system32\\wbem\\Logs\\", "*.lo_",      LeftOut::Nothing,         ""},
    {"log",  S, "\\",                       "*.log",      LeftOut::ExactPath,       "\\WindowsUpdate.log"},
    {"log",  S, "\\",                       "*log.txt",   LeftOut::WithoutLowerLog, ""},
    {"log",  S, "\\Debug\\",                "*.log",      LeftOut::ExactPath,       "\\Debug\\PASSWD.LOG"},
    {"log",  S, "\\Debug\\UserMode\\",      "*.log",      LeftOut::Nothing,         ""},
    {"log",  S, "\\Debug\\UserMode\\",      "*.bak",      LeftOut::Nothing,         ""},
    {"log",  S, "\\security\\logs\\",       "*.log",      LeftOut::Nothing,         ""},
    {"log",  S, "\\security\\logs\\",       "*.old",      LeftOut::Nothing,         ""},
};
// clang-format on

bool leftOut(const SystemPlace& place, const std::string& systemRoot, const std::string& path) {
    switch (place.leftOut) {
        case LeftOut::Nothing: return false;
        case LeftOut::ExactPath: return path == systemRoot + std::string(place.leftOutPath);
        case LeftOut::WithoutLowerLog: return path.find("log") == std::string::npos;
    }
    return false;
}

// The place's folder below the Windows folder (or its drive root), when no part of it is a link.
std::optional<ListedFolder> placeFolder(Platform& platform, const SystemPlace& place, const ListedFolder& windows) {
    const auto base = place.base == PlaceBase::SystemRoot ? std::optional<ListedFolder>(windows)
                                                          : DriveRootOf(platform, windows);
    std::string_view relative = place.folder;
    while (relative.starts_with('\\')) relative.remove_prefix(1);
    while (relative.ends_with('\\')) relative.remove_suffix(1);
    return base ? Subfolder(platform, *base, platform.codePage.toWide(std::string(relative))) : std::nullopt;
}

void collectPlace(Platform& platform, const SystemPlace& place, const ListedFolder& windows,
                  std::vector<FoundPath>& found) {
    const auto folder = placeFolder(platform, place, windows);
    if (!folder) return;
    std::vector<FoundPath> listed;
    CollectEntries(platform, *folder, platform.codePage.toWide(std::string(place.pattern)), listed);
    for (auto& file : listed)
        if (!leftOut(place, windows.ansi, file.folder().column() + file.file.name)) found.push_back(std::move(file));
}

}  // namespace

std::string ReadSystemRoot(RegistryApi& registry) {
    return RegReadString(registry, kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot");
}

std::span<const SystemPlace> SystemPlaces() { return kPlaces; }

void SystemFiles::scan() {
    ScanRun run(context_, list(), FileColumns(kErrorColumns));
    Platform& platform = context_.platform;
    std::vector<FoundPath> found;
    if (const auto windows = ValueFolder(platform, ReadSystemRoot(platform.registry)))
        for (const auto& place : kPlaces)
            if (place.code == info().code) collectPlace(platform, place, *windows, found);
    AddFileFindings(run, std::move(found), "All items listed in Temporary Folder");
    context_.ramp(0, 100);
}

void SystemFiles::remove() { RemoveCheckedFiles(context_, list()); }

}  // namespace keltora
