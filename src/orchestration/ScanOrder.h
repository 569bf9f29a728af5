#pragma once
// The fixed orders of the summary page: what the full scan and the repair pass say before and
// after each row of the summary list, in row order (1 to 20, then the places of today's Windows).
#include <span>
#include <string_view>

namespace keltora {

struct FullScanRow {
    int row;
    std::string_view before;
    std::string_view after;
    bool countsZero;  // the row's count is "0" whatever its scan found
};

struct RepairRow {
    int row;
    std::string_view before;
    std::string_view after;
};

extern const std::span<const FullScanRow> kFullScanRows;
extern const std::span<const RepairRow> kRepairRows;

inline constexpr std::string_view kBackupBefore = "Status : Backing up Registry";
inline constexpr std::string_view kBackupAfter = "Status : Created Backup";

}  // namespace keltora
