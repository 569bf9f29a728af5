#include "cli/ListPrinter.h"

#include <cctype>
#include <ostream>

#include "scan/TextEscape.h"

namespace keltora {

namespace {

// "\x" and two hexadecimal digits at position at.
bool looksEscaped(std::string_view text, std::size_t at) {
    return text.substr(at, 2) == "\\x" && at + 3 < text.size() &&
           std::isxdigit(static_cast<unsigned char>(text[at + 2])) &&
           std::isxdigit(static_cast<unsigned char>(text[at + 3]));
}

}  // namespace

std::string EscapeListText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsControlByte(c) || (c == '\\' && looksEscaped(text, i))) {
            out += "\\x";
            AppendHexByte(out, c);
        } else {
            out += c;
        }
    }
    return out;
}

void PrintList(std::ostream& out, std::string_view code, const ResultList& list) {
    out << "== " << code << ' ' << list.name() << ' ' << list.size() << '\n';
    const auto& columns = list.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) out << (i ? "\t" : "") << EscapeListText(columns[i].caption);
    out << '\n';
    for (const auto& finding : list.findings()) {
        out << (finding.checked ? 'x' : '-') << '\t' << EscapeListText(finding.caption);
        for (const auto& item : finding.subItems) out << '\t' << EscapeListText(item);
        out << '\n';
    }
}

}  // namespace keltora
