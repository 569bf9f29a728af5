#pragma once
// The order a list shows its findings in. The findings keep the order they were found in (the
// removals and the holding list work on it); a sorted list shows a permutation of it, by one
// column, ascending or descending. Sizes and numbers sort by their value, dates and times by
// when they are, other texts without regard to case; equal cells keep the findings' order.
#include <cstddef>
#include <string>
#include <vector>

#include "scan/Finding.h"

namespace keltora {

// Negative, zero or positive as cell a sorts before, with or after cell b.
int CompareCells(const std::string& a, const std::string& b);

class ViewOrder {
public:
    bool sorted() const { return column_ >= 0; }
    int column() const { return column_; }
    bool ascending() const { return ascending_; }

    // Back to the findings' own order.
    void reset();
    void sort(const std::vector<Finding>& findings, int column, bool ascending);
    // Sorts again after the findings changed as a whole.
    void resort(const std::vector<Finding>& findings);
    // The last of the findings was just appended: it takes its place in the order.
    void added(const std::vector<Finding>& findings);
    // The finding at row was just taken out of the findings.
    void removed(std::size_t row);

    // The row of the finding shown at a position, and the position a row is shown at.
    std::size_t rowAt(std::size_t position) const { return sorted() ? rows_[position] : position; }
    std::size_t positionOf(std::size_t row) const;

private:
    int column_ = -1;
    bool ascending_ = true;
    std::vector<std::size_t> rows_;               // position -> row, while sorted
    mutable std::vector<std::size_t> positions_;  // row -> position, made when first asked
};

}  // namespace keltora
