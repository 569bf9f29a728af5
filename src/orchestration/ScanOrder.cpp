#include "orchestration/ScanOrder.h"

namespace keltora {

namespace {

// clang-format off
const FullScanRow kScanRows[] = {
    {1, "Status : Scanning Startup Programs", "Status : Scanned Startup Programs", false},
    {2, "Status : Scanning Uninstaller Bugs", "Status : Scanned Uninstaller Bugs", false},
    {3, "Status : Scanning Unused Extensions", "Status : Scanned Unused Extensions", false},
    {4, "Status : Scanning ActiveX and DLLs", "Status : Scanned ActiveX and DLLs", false},
    {5, "Status : Scanning Help Files", "Status : Scanned Help Files", true},
    {6, "Status : Scanning Fonts Registration", "Status : Scanned Fonts Registration", true},
    {7, "Status : Scanning Virtual Components", "Status : Scanned Virtual Components", false},
    {8, "Status : Scanning Typed URLs", "Status : Scanned Typed URLs", false},
    {9, "Status : Scanning Run (Start Menu)", "Status : Scanned Run (Start Menu)", false},
    {10, "Status : Scanning Recent Documents", "Status : Scanned Recent Documents", false},
    {11, "Status : Scanning Recycle Bin", "Status : Scanned Recycle Bin", false},
    {12, "Status : Scanning Temporary Files", "Status : Scanned Temporary Files", false},
    {13, "Status : Scanning Clipboard", "Status : Scanned Clipboard", false},
    {14, "Status : Scanning Memory Dumps", "Status : Scanned Memory Dumps", false},
    {15, "Status : Scanning Chkdsk Files", "Status : Scanned Chkdsk Files", false},
    {16, "Status : Scanning Log Files", "Status : Scanned Log Files", false},
    {17, "Status : Scanning Cookies", "Status : Scanned Cookies", false},
    {18, "Status : Scanning History", "Status : Scanned History", false},
    {19, "Status : Scanning Temporary IE", "Status : Scanned Temporary IE", false},
    {20, "Status : Progressive Registry Analyzing", "Status : Progressive Analyzing Completed", false},
    {21, "Status : Scanning User Temporary Files", "Status : Scanned User Temporary Files", false},
    {22, "Status : Scanning Windows Error Reports", "Status : Scanned Windows Error Reports", false},
    {23, "Status : Scanning Crash Dumps", "Status : Scanned Crash Dumps", false},
    {24, "Status : Scanning Thumbnail Cache", "Status : Scanned Thumbnail Cache", false},
    {25, "Status : Scanning Jump Lists", "Status : Scanned Jump Lists", false},
    {26, "Status : Scanning Internet Cache", "Status : Scanned Internet Cache", false},
    {27, "Status : Scanning Explorer History", "Status : Scanned Explorer History", false},
};

const RepairRow kRemovalRows[] = {
    {1, "Status : Repairing Startup Programs", "Status : Repaired Startup Programs"},
    {2, "Status : Repairing Uninstaller Bugs", "Status : Repaired Uninstaller Bugs"},
    {3, "Status : Repairing Unused Extensions", "Status : Repaired Unused Extensions"},
    {4, "Status : Repairing Missing ActiveX and DLLs", "Status : Repaired Missing ActiveX and DLLs"},
    {5, "Status : Repairing Help Files", "Status : Repaired Help Files"},
    {6, "Status : Repairing Fonts Registration", "Status : Repaired Fonts Registration"},
    {7, "Status : Repairing Virtual Components", "Status : Repaired Virtual Components"},
    {8, "Status : Repairing Typed URLs", "Status : Repaired Typed URLs"},
    {9, "Status : Repairing Run (Start Menu)", "Status : Repaired Run (Start Menu)"},
    {10, "Status : Repairing Recent Documents", "Status : Repaired Recent Documents"},
    {11, "Status : Repairing Recycle Bin", "Status : Repaired Recycle Bin"},
    {12, "Status : Repairing Temporary Files", "Status : Repaired Temporary Files"},
    {13, "Status : Repairing Clipboard", "Status : Repaired Clipboard"},
    {14, "Status : Repairing Memory Dumps", "Status : Repaired Memory Dumps"},
    {15, "Status : Repairing Chkdsk Files", "Status : Repaired Chkdsk Files"},
    {16, "Status : Repairing Log Files", "Status : Repaired Log Files"},
    {17, "Status : Repairing Cookies", "Status : Repaired Cookies"},
    {18, "Status : Repairing History", "Status : Repaired History"},
    {19, "Status : Repairing Temporary IE", "Status : Repaired Temporary IE"},
    {20, "Status : Repairing Registry", "Status : Repaired Registry"},
    {21, "Status : Repairing User Temporary Files", "Status : Repaired User Temporary Files"},
    {22, "Status : Repairing Windows Error Reports", "Status : Repaired Windows Error Reports"},
    {23, "Status : Repairing Crash Dumps", "Status : Repaired Crash Dumps"},
    {24, "Status : Repairing Thumbnail Cache", "Status : Repaired Thumbnail Cache"},
    {25, "Status : Repairing Jump Lists", "Status : Repaired Jump Lists"},
    {26, "Status : Repairing Internet Cache", "Status : Repaired Internet Cache"},
    {27, "Status : Repairing Explorer History", "Status : Repaired Explorer History"},
};
// clang-format on

}  // namespace

const std::span<const FullScanRow> kFullScanRows{kScanRows};
const std::span<const RepairRow> kRepairRows{kRemovalRows};

}  // namespace keltora
