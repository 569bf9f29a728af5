#pragma once
// How the system's folder listing matches names against a mask: '*' and '?' with the DOS rules
// Windows keeps ("*.*" is everything, "*." is names without an extension, '?' at a '.' or the
// end matches nothing), without regard to case. The listing also matches 8.3 short names, so a
// caller that wants what the mask says of the long name tests the long name again.
#include <string>
#include <string_view>

namespace keltora {

// The mask against one name, without case (ASCII letters; other characters as they are).
bool MatchesMask(std::u16string_view mask, std::u16string_view name);
bool MatchesMask(std::string_view mask, std::string_view name);
bool HasWildcards(std::u16string_view text);
bool HasWildcards(std::string_view text);

// An 8-bit text as UTF-16 character for character (each byte its own code unit), for rules that
// only look at ASCII characters.
std::u16string Widened(std::string_view text);
// The other way: each code unit cut to its low byte.
std::string Narrowed(std::u16string_view text);

}  // namespace keltora
