#pragma once
// The browser history store below the user's History folder, to three levels, without the index
// files and without the daily folder of the current day, which the browser is writing.
#include <string>

#include "platform/Clock.h"
#include "scan/Category.h"

namespace keltora {

// "MSHist01" followed by the date of today and of tomorrow, each as yyyymmdd.
std::string DailyFolderName(const LocalTime& today);

class History : public Category {
public:
    using Category::Category;
    void scan() override;  // historyExecute
    void remove() override;  // removehisExecute
};

}  // namespace keltora
