#include "scanners/ScannerTable.h"
#include "scanners/places/ExplorerHistory.h"
#include "scanners/places/PlaceFiles.h"

namespace keltora {

namespace {
const ScannerRow kRows[] = {
    {"utemp", &MakeScanner<PlaceFiles>},
    {"wer", &MakeScanner<PlaceFiles>},
    {"cdump", &MakeScanner<PlaceFiles>},
    {"thumb", &MakeScanner<PlaceFiles>},
    {"jump", &MakeScanner<PlaceFiles>},
    {"inet", &MakeScanner<PlaceFiles>},
    {"mru", &MakeScanner<ExplorerHistory>},
};
}  // namespace

std::span<const ScannerRow> PlacesScanners() { return kRows; }

}  // namespace keltora
