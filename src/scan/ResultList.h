#pragma once
// A report-style list of findings with a check box per row. The scan that fills it sets its
// columns; the user checks rows, selects one, focuses it and sorts the list by a column. Rows
// are the findings' own order everywhere; positions are the order the list shows them in.
#include <functional>
#include <string>
#include <vector>

#include "scan/Controls.h"
#include "scan/Finding.h"
#include "scan/ViewOrder.h"

namespace keltora {

class ResultList : public Control {
public:
    // Row: one row's contents; Rows: every row's contents, the same rows; Order: the order shown.
    enum class Change { Reset, Columns, Added, Removed, Row, Rows, Selection, Order };

    explicit ResultList(std::string name, bool checkBoxes = true);

    bool checkBoxes() const { return checkBoxes_; }
    const std::vector<Column>& columns() const { return columns_; }
    const std::vector<Finding>& findings() const { return findings_; }
    std::size_t size() const { return findings_.size(); }
    bool empty() const { return findings_.empty(); }
    const Finding& at(std::size_t row) const { return findings_.at(row); }

    void setColumns(std::vector<Column> columns);
    void clear();
    void clearColumns();
    // Appends a checked finding and returns its row.
    std::size_t add(Finding finding);
    // Room for this many findings in all, for a scan that knows how many it will add.
    void reserve(std::size_t findings) { findings_.reserve(findings); }
    void remove(std::size_t row);
    void replaceAll(std::vector<Finding> findings);
    void setChecked(std::size_t row, bool checked);
    void setAllChecked(bool checked);
    using Control::setCaption;
    void setCaption(std::size_t row, const std::string& caption);
    void setSubItem(std::size_t row, std::size_t subItem, const std::string& text);

    // -1 when no row is selected or focused.
    int selected() const { return selected_; }
    int focused() const { return focused_; }
    void select(int row);  // selects and focuses
    void scrollToTop();

    // Whether a click on a column header sorts the list (a list with a fixed order says no).
    bool sortable() const { return sortable_; }
    void setSortable(bool sortable);
    // A click on a column header: sorts by that column, ascending, and the other way round when
    // it is the column sorted by already. The order stays through removals and new scans until
    // the columns change.
    void sortBy(int column);
    const ViewOrder& order() const { return order_; }
    std::size_t rowShownAt(std::size_t position) const { return order_.rowAt(position); }
    std::size_t positionOf(std::size_t row) const { return order_.positionOf(row); }

    std::function<void(ResultList&, Change, std::size_t row)> onListChange;

private:
    void notify(Change change, std::size_t row = 0);
    void rowChanged(std::size_t row, std::size_t column);

    bool checkBoxes_;
    bool sortable_ = true;
    ViewOrder order_;
    std::vector<Column> columns_;
    std::vector<Finding> findings_;
    int selected_ = -1;
    int focused_ = -1;
};

}  // namespace keltora
