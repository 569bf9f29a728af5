#include "scanners/privacy/History.h"

#include <cstdio>

#include "platform/Helpers.h"
#include "scan/UserFolder.h"
#include "scanners/privacy/FileFindings.h"

namespace keltora {

namespace {

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && leap) return 29;
    return month >= 1 && month <= 12 ? kDays[month - 1] : 31;
}

LocalTime nextDay(LocalTime day) {
    if (day.day < daysInMonth(day.year, day.month)) {
        ++day.day;
    } else if (day.month < 12) {
        ++day.month;
        day.day = 1;
    } else {
        ++day.year;
        day.month = 1;
        day.day = 1;
    }
    return day;
}

std::string dateText(const LocalTime& day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", day.year, day.month, day.day);
    return text;
}

}  // namespace

std::string DailyFolderName(const LocalTime& today) { return "MSHist01" + dateText(today) + dateText(nextDay(today)); }

void History::scan() {
    ScanRun run(context_, list(), FileColumns(kPathColumns));
    Platform& platform = context_.platform;
    const std::string today = DailyFolderName(platform.clock.now());
    if (const auto folder = UserShellFolder(context_, "History"))
        if (const auto store = Subfolder(platform, *folder, u"History.IE5"))
            AddFileFindings(run, WalkStore(platform, *store, today), "All items listed in History Folder");
    context_.ramp(0, 100);
}

void History::remove() { RemoveCheckedFiles(context_, list()); }

}  // namespace keltora
