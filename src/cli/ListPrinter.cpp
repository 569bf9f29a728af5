#include "cli/ListPrinter.h"

#include <cctype>
#include <ostream>

namespace keltora {

namespace {

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// "\x" and two hexadecimal digits at position at.
bool looksEscaped(std::string_view text, std::size_t at) {
    return text.substr(at, 2) == "\\x" && at + 3 < text.size() &&
           std::isxdigit(static_cast<unsigned char>(text[at + 2])) &&
           std::isxdigit(static_cast<unsigned char>(text[at + 3]));
}

}  // namespace

std::string EscapeListText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isControl(c) || (c == '\\' && looksEscaped(text, i))) {
            const auto byte = static_cast<unsigned char>(c);
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
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
