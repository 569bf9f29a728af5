#include "scanners/ScannerTable.h"
#include "scanners/privacy/ClipboardCategory.h"
#include "scanners/privacy/Cookies.h"
#include "scanners/privacy/History.h"
#include "scanners/privacy/RecycleBin.h"
#include "scanners/privacy/SystemFiles.h"
#include "scanners/privacy/TempFiles.h"

namespace keltora {

namespace {
const ScannerRow kRows[] = {
    {"bin", &MakeScanner<RecycleBin>},
    {"temp", &MakeScanner<TempFiles>},
    {"clip", &MakeScanner<ClipboardCategory>},
    {"dump", &MakeScanner<SystemFiles>},
    {"chk", &MakeScanner<SystemFiles>},
    {"log", &MakeScanner<SystemFiles>},
    {"co", &MakeScanner<Cookies>},
    {"his", &MakeScanner<History>},
    {"tempie", &MakeScanner<TemporaryIE>},
};
}  // namespace

std::span<const ScannerRow> PrivacyScanners() { return kRows; }

}  // namespace keltora
