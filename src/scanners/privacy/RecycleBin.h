#pragma once
// The Recycle Bins of all drives as one finding: how many items they hold and how large they
// are. Removal empties them all when that finding is checked, and then shows what they still hold.
#include <cstdint>

#include "scan/Category.h"

namespace keltora {

// The oldest shell32 that can be asked about the Recycle Bin: 4.72, major in the high word.
constexpr std::uint32_t kRecycleBinShellVersion = (4u << 16) | 72u;
// No confirmation, no progress window, no sound.
constexpr std::uint32_t kEmptyRecycleBinFlags = 7;

class RecycleBin : public Category {
public:
    using Category::Category;
    void scan() override;  // recycleExecute
    void remove() override;  // removebinExecute
    // The page counts the items in the bin, not the one row that describes them.
    std::size_t pageCount() const override { return static_cast<std::size_t>(items_); }

private:
    std::int64_t items_ = 0;
};

}  // namespace keltora
