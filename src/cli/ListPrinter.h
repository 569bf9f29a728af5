#pragma once
#include <iosfwd>
#include <string>
#include <string_view>

#include "scan/ResultList.h"

namespace keltora {

// "== CODE LISTNAME N", the column captions, then a line per finding: x or -, the caption and
// the sub-items, separated by TAB, each text escaped as below.
void PrintList(std::ostream& out, std::string_view code, const ResultList& list);

// A text of the listing kept on its one line and in its one field: every control character
// (TAB, CR, LF ...) as \xHH, and a backslash that would read as such an escape as \x5C; all
// else as it is, so paths read as they always have.
std::string EscapeListText(std::string_view text);

}  // namespace keltora
