#include "scan/ResultList.h"

namespace keltora {

const std::string& Finding::subItem(std::size_t i) const {
    static const std::string kEmpty;
    return i >= 1 && i <= subItems.size() ? subItems[i - 1] : kEmpty;
}

ResultList::ResultList(std::string name, bool checkBoxes) : Control(std::move(name)), checkBoxes_(checkBoxes) {}

void ResultList::notify(Change change, std::size_t row) {
    if (onListChange) onListChange(*this, change, row);
}

void ResultList::setColumns(std::vector<Column> columns) {
    // A scan makes its columns anew; only other columns end the order the user chose.
    if (columns != columns_) order_.reset();
    columns_ = std::move(columns);
    notify(Change::Columns);
}

void ResultList::clearColumns() {
    columns_.clear();
    order_.reset();
    notify(Change::Columns);
}

void ResultList::setSortable(bool sortable) {
    sortable_ = sortable;
    if (sortable || !order_.sorted()) return;
    order_.reset();
    notify(Change::Order);
}

void ResultList::sortBy(int column) {
    if (!sortable_ || column < 0 || column >= static_cast<int>(columns_.size())) return;
    const bool ascending = order_.column() != column || !order_.ascending();
    order_.sort(findings_, column, ascending);
    notify(Change::Order);
}

void ResultList::clear() {
    findings_.clear();
    order_.resort(findings_);
    selected_ = focused_ = -1;
    notify(Change::Reset);
}

std::size_t ResultList::add(Finding finding) {
    findings_.push_back(std::move(finding));
    order_.added(findings_);
    notify(Change::Added, findings_.size() - 1);
    return findings_.size() - 1;
}

void ResultList::remove(std::size_t row) {
    if (row >= findings_.size()) return;
    findings_.erase(findings_.begin() + static_cast<std::ptrdiff_t>(row));
    order_.removed(row);
    auto fix = [row](int& index) {
        if (index == static_cast<int>(row)) index = -1;
        else if (index > static_cast<int>(row)) --index;
    };
    fix(selected_);
    fix(focused_);
    notify(Change::Removed, row);
}

void ResultList::replaceAll(std::vector<Finding> findings) {
    findings_ = std::move(findings);
    order_.resort(findings_);
    selected_ = focused_ = -1;
    notify(Change::Reset);
}

void ResultList::setChecked(std::size_t row, bool checked) {
    if (row >= findings_.size() || findings_[row].checked == checked) return;
    findings_[row].checked = checked;
    notify(Change::Row, row);
}

void ResultList::setAllChecked(bool checked) {
    // One notice for the whole list: a view repaints once, not once per row.
    bool changed = false;
    for (auto& finding : findings_) {
        changed |= finding.checked != checked;
        finding.checked = checked;
    }
    if (changed) notify(Change::Rows);
}

void ResultList::setCaption(std::size_t row, const std::string& caption) {
    if (row >= findings_.size()) return;
    findings_[row].caption = caption;
    rowChanged(row, 0);
}

void ResultList::setSubItem(std::size_t row, std::size_t subItem, const std::string& text) {
    if (row >= findings_.size() || subItem == 0) return;
    auto& items = findings_[row].subItems;
    if (items.size() < subItem) items.resize(subItem);
    items[subItem - 1] = text;
    rowChanged(row, subItem);
}

void ResultList::rowChanged(std::size_t row, std::size_t column) {
    notify(Change::Row, row);
    // A new text in the column sorted by may move the row.
    if (order_.column() != static_cast<int>(column)) return;
    order_.resort(findings_);
    notify(Change::Order);
}

void ResultList::select(int row) {
    if (row < -1 || row >= static_cast<int>(findings_.size())) row = -1;
    selected_ = focused_ = row;
    notify(Change::Selection, row < 0 ? 0 : static_cast<std::size_t>(row));
}

void ResultList::scrollToTop() {
    // The list is brought to its top by showing a blank first row and taking it away again;
    // only its effect on the view matters, so the observer hears a selection of nothing.
    notify(Change::Selection, 0);
}

}  // namespace keltora
