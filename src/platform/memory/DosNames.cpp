#include "platform/memory/DosNames.h"

#include <algorithm>

namespace keltora {
namespace {

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// Characters of the 8-bit code page above ASCII count as letters, as the OEM names keep them.
bool isShortNameChar(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           (c >= 0x80 && c <= 0xFF) || std::u16string_view(u"!#$%&'()-@^_`{}~").find(c) != std::u16string_view::npos;
}

bool isValidShortName(std::u16string_view name) {
    const auto dot = name.find(u'.');
    const auto base = name.substr(0, dot);
    const auto ext = dot == std::u16string_view::npos ? std::u16string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
    if (dot != std::u16string_view::npos && ext.empty()) return false;
    return std::all_of(base.begin(), base.end(), isShortNameChar) && std::all_of(ext.begin(), ext.end(), isShortNameChar);
}

// Blanks and dots go, other characters an 8.3 name cannot hold become '_'.
std::u16string shortPart(std::u16string_view text, std::size_t length) {
    std::u16string out;
    for (char16_t c : text) {
        if (out.size() == length) break;
        if (c == u' ' || c == u'.') continue;
        out.push_back(isShortNameChar(c) ? upper(c) : u'_');
    }
    return out;
}

}  // namespace

std::u16string DosShortName(std::u16string_view name) {
    if (name == u"." || name == u".." || isValidShortName(name)) return {};
    const auto trimmed = name.substr(std::min(name.find_first_not_of(u'.'), name.size()));
    const auto dot = trimmed.rfind(u'.');
    const std::u16string base = shortPart(trimmed.substr(0, dot), 6);
    const std::u16string ext = dot == std::u16string_view::npos ? std::u16string() : shortPart(trimmed.substr(dot + 1), 3);
    return base + u"~1" + (ext.empty() ? u"" : u"." + ext);
}

std::string DosShortName(std::string_view name) { return Narrowed(DosShortName(Widened(name))); }

bool FindMatches(std::u16string_view mask, std::u16string_view name) {
    if (MatchesMask(mask, name)) return true;
    const std::u16string shortName = DosShortName(name);
    return !shortName.empty() && MatchesMask(mask, shortName);
}

bool FindMatches(std::string_view mask, std::string_view name) { return FindMatches(Widened(mask), Widened(name)); }

}  // namespace keltora
