#pragma once
// The fixed orders of the summary page: what the full scan and the repair pass say before and
// after each row of the summary list, in row order 1 to 20.
#include <array>
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

extern const std::array<FullScanRow, 20> kFullScanRows;
extern const std::array<RepairRow, 20> kRepairRows;

inline constexpr std::string_view kBackupBefore = "Status : Backing up Registry";
inline constexpr std::string_view kBackupAfter = "Status : Created Backup";

// The privacy rows, counted in both totals.
inline constexpr int kFirstPrivacyRow = 10;
inline constexpr int kLastPrivacyRow = 19;

}  // namespace keltora
