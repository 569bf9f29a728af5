#include "scan/Category.h"

namespace keltora {

Category::Category(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore)
    : context_(context), info_(info), list_(std::string(info.listName), !info.removeAction.empty()), ignore_(ignore) {
    if (info.page == PageButtons::Own) {
        static constexpr const char* kCaptions[] = {"Unselect All", "Ignore Items", "Remove Checked Items", "Refresh"};
        for (std::size_t i = 0; i < buttons.size(); ++i)
            buttons[i] = std::make_unique<Button>(std::string(info.buttons[i]), kCaptions[i]);
    }
}

void EmptyCategory::scan() {
    ScanRun run(context_, list(),
                {{"Error Items", 180}, {"Repair Report", 210}, {"Detail Info", 210}, {"Path Location", 220}});
    context_.ramp(0, 100);
}

}  // namespace keltora
