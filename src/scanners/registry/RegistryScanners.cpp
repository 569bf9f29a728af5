#include "scanners/ScannerTable.h"
#include "scanners/registry/ActiveX.h"
#include "scanners/registry/DeepAnalysis.h"
#include "scanners/registry/FileExtensions.h"
#include "scanners/registry/RecentDocuments.h"
#include "scanners/registry/StartupPrograms.h"
#include "scanners/registry/TypedHistory.h"
#include "scanners/registry/UninstallEntries.h"

namespace keltora {

namespace {
const ScannerRow kRows[] = {
    {"sp", &MakeScanner<StartupPrograms>},
    {"ue", &MakeScanner<UninstallEntries>},
    {"fe", &MakeScanner<FileExtensions>},
    {"ax", &MakeScanner<ActiveX>},
    {"da", &MakeScanner<DeepAnalysis>},
    {"pc", &MakeScanner<RecentDocuments>},
    {"vd", &MakeScanner<EmptyCategory>},
    {"font", &MakeScanner<EmptyCategory>},
    {"help", &MakeScanner<EmptyCategory>},
    {"url", &MakeScanner<TypedHistory>},
    {"run", &MakeScanner<TypedHistory>},
};
}  // namespace

std::span<const ScannerRow> RegistryScanners() { return kRows; }

}  // namespace keltora
