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

// Appends text to out, escaped; the runs between the bytes to look at go in whole.
void appendEscaped(std::string& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!IsControlByte(c) && (c != '\\' || !looksEscaped(text, i))) continue;
        out.append(text, plain, i - plain);
        out += "\\x";
        AppendHexByte(out, c);
        plain = i + 1;
    }
    out.append(text, plain);
}

}  // namespace

std::string EscapeListText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

// Each line is made whole and written at once: a listing of many thousand findings is then a
// few thousand writes, not one per field.
void PrintList(std::ostream& out, std::string_view code, const ResultList& list) {
    out << "== " << code << ' ' << list.name() << ' ' << list.size() << '\n';
    std::string line;
    const auto& columns = list.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i) line += '\t';
        appendEscaped(line, columns[i].caption);
    }
    out << line << '\n';
    for (const auto& finding : list.findings()) {
        line.assign(1, finding.checked ? 'x' : '-');
        line += '\t';
        appendEscaped(line, finding.caption);
        for (const auto& item : finding.subItems) {
            line += '\t';
            appendEscaped(line, item);
        }
        line += '\n';
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
}

}  // namespace keltora
