#include "scan/ViewOrder.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

namespace keltora {

namespace {

// What a cell says, as far as sorting goes. Kinds sort in this order before their values.
struct CellKey {
    enum Kind { Number, Date, Time, Text } kind = Text;
    double value = 0;
    std::string text;  // lower case, for Text
};

std::optional<double> Leading(std::string_view& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

// "12 bytes", "1.50 KB", "3.00 GB", "42".
std::optional<double> SizeOrNumber(std::string_view text) {
    const auto value = Leading(text);
    if (!value) return std::nullopt;
    struct Unit {
        std::string_view suffix;
        double factor;
    };
    static constexpr std::array<Unit, 6> kUnits{{{"", 1},
                                                  {" bytes", 1},
                                                  {" KB", 1024.0},
                                                  {" MB", 1024.0 * 1024},
                                                  {" GB", 1024.0 * 1024 * 1024},
                                                  {" TB", 1024.0 * 1024 * 1024 * 1024}}};
    for (const auto& unit : kUnits)
        if (text == unit.suffix) return *value * unit.factor;
    return std::nullopt;
}

// Whole numbers separated by one character: "7/1/2026" or "9:05:03".
std::optional<std::array<int, 3>> Triple(std::string_view& text, char separator) {
    std::array<int, 3> parts{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            if (text.empty() || text.front() != separator) return std::nullopt;
            text.remove_prefix(1);
        }
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parts[i]);
        if (error != std::errc() || end == text.data()) return std::nullopt;
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    }
    return parts;
}

// "7/1/2026": month, day, year, as the backup list shows dates.
std::optional<double> Date(std::string_view text) {
    const auto parts = Triple(text, '/');
    if (!parts || !text.empty()) return std::nullopt;
    return (*parts)[2] * 10000.0 + (*parts)[0] * 100.0 + (*parts)[1];
}

// "9:05:03 AM", "12:00:00 PM" or "21:05:03": seconds since midnight.
std::optional<double> Time(std::string_view text) {
    const auto parts = Triple(text, ':');
    if (!parts) return std::nullopt;
    int hour = (*parts)[0];
    if (text == " AM" || text == " PM") hour = hour % 12 + (text == " PM" ? 12 : 0);
    else if (!text.empty()) return std::nullopt;
    return hour * 3600.0 + (*parts)[1] * 60.0 + (*parts)[2];
}

CellKey KeyOf(const std::string& cell) {
    if (const auto v = SizeOrNumber(cell)) return {CellKey::Number, *v, {}};
    if (const auto v = Date(cell)) return {CellKey::Date, *v, {}};
    if (const auto v = Time(cell)) return {CellKey::Time, *v, {}};
    CellKey key{CellKey::Text, 0, cell};
    std::transform(key.text.begin(), key.text.end(), key.text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return key;
}

int Compare(const CellKey& a, const CellKey& b) {
    if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
    if (a.kind == CellKey::Text) return a.text.compare(b.text) < 0 ? -1 : (a.text == b.text ? 0 : 1);
    return a.value < b.value ? -1 : (a.value > b.value ? 1 : 0);
}

const std::string& CellOf(const Finding& finding, int column) {
    return column == 0 ? finding.caption : finding.subItem(static_cast<std::size_t>(column));
}

}  // namespace

int CompareCells(const std::string& a, const std::string& b) { return Compare(KeyOf(a), KeyOf(b)); }

void ViewOrder::reset() {
    column_ = -1;
    rows_.clear();
    positions_.clear();
}

void ViewOrder::sort(const std::vector<Finding>& findings, int column, bool ascending) {
    column_ = column;
    ascending_ = ascending;
    resort(findings);
}

void ViewOrder::resort(const std::vector<Finding>& findings) {
    positions_.clear();
    if (!sorted()) return;
    std::vector<CellKey> keys;
    keys.reserve(findings.size());
    for (const auto& finding : findings) keys.push_back(KeyOf(CellOf(finding, column_)));
    rows_.resize(findings.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) rows_[row] = row;
    std::stable_sort(rows_.begin(), rows_.end(), [&](std::size_t a, std::size_t b) {
        const int order = Compare(keys[a], keys[b]);
        return ascending_ ? order < 0 : order > 0;
    });
}

void ViewOrder::added(const std::vector<Finding>& findings) {
    if (!sorted() || findings.empty()) return;
    positions_.clear();
    const std::size_t row = findings.size() - 1;
    const CellKey key = KeyOf(CellOf(findings[row], column_));
    // After every equal cell: a newer finding follows the older ones, as in the findings' order.
    const auto at = std::upper_bound(rows_.begin(), rows_.end(), key, [&](const CellKey& k, std::size_t other) {
        const int order = Compare(k, KeyOf(CellOf(findings[other], column_)));
        return ascending_ ? order < 0 : order > 0;
    });
    rows_.insert(at, row);
}

void ViewOrder::removed(std::size_t row) {
    if (!sorted()) return;
    positions_.clear();
    std::erase(rows_, row);
    for (auto& other : rows_)
        if (other > row) --other;
}

std::size_t ViewOrder::positionOf(std::size_t row) const {
    if (!sorted()) return row;
    if (positions_.size() != rows_.size()) {
        positions_.assign(rows_.size(), 0);
        for (std::size_t position = 0; position < rows_.size(); ++position) positions_[rows_[position]] = position;
    }
    return row < positions_.size() ? positions_[row] : row;
}

}  // namespace keltora
