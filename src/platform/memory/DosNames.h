#pragma once
// How FindFirstFileA matches names against a mask: '*' and '?' with the DOS rules Windows keeps
// ("*.*" is everything, "*." is names without an extension, '?' at a '.' or the end matches
// nothing), and the 8.3 short names Windows gives long names, which masks also match.
#include <string>

namespace keltora {

// The mask against one name, without case.
bool MatchesMask(const std::string& mask, const std::string& name);
// The 8.3 name of a long name ("LONGFI~1.HTM"), or empty when the name is a valid 8.3 name. The
// numeric tail is always ~1: the memory file system does not number clashing short names.
std::string DosShortName(const std::string& name);
// The mask against a directory entry as a find sees it: its long or its short name.
bool FindMatches(const std::string& mask, const std::string& name);
bool HasWildcards(const std::string& text);

}  // namespace keltora
