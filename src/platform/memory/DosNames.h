#pragma once
// The 8.3 short names Windows gives long names, which the masks of a folder listing also match.
#include <string>
#include <string_view>

#include "platform/FileMask.h"

namespace keltora {

// The 8.3 name of a long name ("LONGFI~1.HTM"), or empty when the name is a valid 8.3 name. The
// numeric tail is always ~1: the memory file system does not number clashing short names.
std::u16string DosShortName(std::u16string_view name);
std::string DosShortName(std::string_view name);
// The mask against a directory entry as a listing sees it: its long or its short name.
bool FindMatches(std::u16string_view mask, std::u16string_view name);
bool FindMatches(std::string_view mask, std::string_view name);

}  // namespace keltora
