#include "scanners/ScannerTable.h"
#include "scanners/browsers/BrowserCategory.h"

namespace keltora {

namespace {
const ScannerRow kRows[] = {
    {"edge", &MakeScanner<BrowserCategory>},
    {"chrome", &MakeScanner<BrowserCategory>},
    {"brave", &MakeScanner<BrowserCategory>},
    {"firefox", &MakeScanner<BrowserCategory>},
};
}  // namespace

std::span<const ScannerRow> BrowsersScanners() { return kRows; }

}  // namespace keltora
