#pragma once
#include <iosfwd>
#include <string_view>

#include "scan/ResultList.h"

namespace keltora {

// "== CODE LISTNAME N", the column captions, then a line per finding: x or -, the caption and
// the sub-items, separated by TAB.
void PrintList(std::ostream& out, std::string_view code, const ResultList& list);

}  // namespace keltora
