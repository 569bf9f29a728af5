#include "scanners/privacy/SystemFiles.h"

#include "platform/Helpers.h"
#include "scan/Paths.h"
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

void collectPlace(FileSystem& fs, const SystemPlace& place, const std::string& systemRoot,
                  std::vector<FoundPath>& found) {
    // The drive root of the Windows folder, whatever the case of its name ("C:\Windows" too).
    const std::string base = place.base == PlaceBase::SystemRoot ? systemRoot : SystemDrivePrefix(systemRoot);
    std::vector<FoundPath> listed;
    CollectEntries(fs, base + std::string(place.folder), std::string(place.pattern), listed);
    for (auto& file : listed)
        if (!leftOut(place, systemRoot, file.path())) found.push_back(std::move(file));
}

}  // namespace

std::string ReadSystemRoot(RegistryApi& registry) {
    return RegReadString(registry, kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot");
}

std::span<const SystemPlace> SystemPlaces() { return kPlaces; }

void SystemFiles::scan() {
    ScanRun run(context_, list(), FileColumns(kErrorColumns));
    const std::string systemRoot = ReadSystemRoot(context_.platform.registry);
    std::vector<FoundPath> found;
    for (const auto& place : kPlaces)
        if (place.code == info().code) collectPlace(context_.platform.files, place, systemRoot, found);
    AddFileFindings(run, std::move(found), "All items listed in Temporary Folder");
    context_.ramp(0, 100);
}

void SystemFiles::remove() { RemoveCheckedFiles(context_, list()); }

}  // namespace keltora
