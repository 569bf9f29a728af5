#include "cli/ListPrinter.h"

#include <ostream>

namespace keltora {

void PrintList(std::ostream& out, std::string_view code, const ResultList& list) {
    out << "== " << code << ' ' << list.name() << ' ' << list.size() << '\n';
    const auto& columns = list.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) out << (i ? "\t" : "") << columns[i].caption;
    out << '\n';
    for (const auto& finding : list.findings()) {
        out << (finding.checked ? 'x' : '-') << '\t' << finding.caption;
        for (const auto& item : finding.subItems) out << '\t' << item;
        out << '\n';
    }
}

}  // namespace keltora
