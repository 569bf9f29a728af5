#pragma once
// One scan category: its row of the category table, its result list, its page buttons and its
// scanned-once flag. A scanner derives from it and supplies the scan and, where it has one, the
// removal.
#include <array>
#include <memory>
#include <string>

#include "scan/CategoryTable.h"
#include "scan/IgnoreList.h"
#include "scan/ResultList.h"
#include "scan/ScanContext.h"

namespace keltora {

class Category {
public:
    Category(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore = nullptr);
    virtual ~Category() = default;
    Category(const Category&) = delete;
    Category& operator=(const Category&) = delete;

    const CategoryInfo& info() const { return info_; }
    const std::string code() const { return std::string(info_.code); }
    ResultList& list() { return list_; }
    const ResultList& list() const { return list_; }
    IgnoreList* ignoreList() { return ignore_; }

    // The scan action: fills the list.
    virtual void scan() = 0;
    // The removal action: removes what the checked findings name.
    virtual bool hasRemoval() const { return !info_.removeAction.empty(); }
    virtual void remove() {}
    // The count the page visit shows and writes to the summary row: the findings, unless the
    // category counts something else (the Recycle Bin counts its items).
    virtual std::size_t pageCount() const { return list_.size(); }
    // What the latest scan could not look at and why, as its page says it; empty when it looked
    // everywhere it should.
    virtual std::string notLookedAt() const { return {}; }

    bool scannedOnce = false;
    // On the shared page: whether its Select All button reads "Unselect All" for this category.
    bool selectAllFlag = true;
    // Select All / Unselect All, "Ignore Items", "Remove Checked Items", "Refresh" of an own page;
    // empty names for a category on the shared page.
    std::array<std::unique_ptr<Button>, 4> buttons;
    // A line of text the category's page shows below its list; none for most categories.
    std::unique_ptr<Label> note;

protected:
    bool ignored(const std::string& name) const { return ignore_ != nullptr && ignore_->contains(name); }
    bool ignored(const std::string& name, const std::string& location) const {
        return ignore_ != nullptr && ignore_->contains(name, location);
    }
    ScanContext& context_;

private:
    const CategoryInfo& info_;
    ResultList list_;
    IgnoreList* ignore_;
};

// A category whose scan looks at nothing: its columns, one full ramp, an empty list.
class EmptyCategory : public Category {
public:
    using Category::Category;
    void scan() override;
};

// Builds the category of a table row with the scanner registered for its code.
std::unique_ptr<Category> MakeCategory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore);

}  // namespace keltora
