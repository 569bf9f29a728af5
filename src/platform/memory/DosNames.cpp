#include "platform/memory/DosNames.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/memory/AsciiCase.h"

namespace keltora {
namespace {

// Mask tokens: characters stand for themselves (upper-cased); the DOS forms get negative codes.
constexpr int kStar = -1;
constexpr int kDosStar = -2;  // '*' before a '.': anything up to, not past, the name's last '.'
constexpr int kDosQm = -3;    // '?': one character, or none at a '.' or at the end
constexpr int kDosDot = -4;   // '.' before a wildcard or at the end: a '.' or the end of the name

std::vector<int> Tokens(const std::string& mask) {
    std::vector<int> tokens;
    if (mask == "*.*") return {kStar};
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        const char next = i + 1 < mask.size() ? mask[i + 1] : '\0';
        if (c == '?') {
            tokens.push_back(kDosQm);
        } else if (c == '*') {
            tokens.push_back(next == '.' ? kDosStar : kStar);
        } else if (c == '.' && (next == '?' || next == '*' || next == '\0')) {
            tokens.push_back(kDosDot);
        } else {
            tokens.push_back(static_cast<unsigned char>(UpperAscii(c)));
        }
    }
    return tokens;
}

class Matcher {
public:
    Matcher(const std::string& mask, const std::string& name)
        : tokens_(Tokens(mask)), name_(UpperAscii(name)), lastDot_(name_.rfind('.')) {}
    bool matches() const { return at(0, 0); }

private:
    bool at(std::size_t t, std::size_t n) const {
        if (t == tokens_.size()) return n == name_.size();
        const bool end = n == name_.size();
        switch (tokens_[t]) {
            case kStar:
                for (std::size_t k = n; k <= name_.size(); ++k) {
                    if (at(t + 1, k)) return true;
                }
                return false;
            case kDosStar:
                for (std::size_t k = n;; ++k) {
                    if (at(t + 1, k)) return true;
                    if (k == name_.size() || k == lastDot_) return false;
                }
            case kDosQm:
                return end || name_[n] == '.' ? at(t + 1, n) : at(t + 1, n + 1);
            case kDosDot:
                if (end) return at(t + 1, n);
                return name_[n] == '.' && at(t + 1, n + 1);
            default:
                return !end && static_cast<unsigned char>(name_[n]) == tokens_[t] && at(t + 1, n + 1);
        }
    }

    std::vector<int> tokens_;
    std::string name_;
    std::size_t lastDot_;
};

bool IsShortNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           static_cast<unsigned char>(c) >= 0x80 || std::strchr("!#$%&'()-@^_`{}~", c) != nullptr;
}

bool IsValidShortName(const std::string& name) {
    const auto dot = name.find('.');
    const std::string base = name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
    if (dot != std::string::npos && ext.empty()) return false;
    for (char c : base + ext) {
        if (!IsShortNameChar(c)) return false;
    }
    return true;
}

// Blanks and dots go, other characters an 8.3 name cannot hold become '_'.
std::string ShortPart(const std::string& text, std::size_t length) {
    std::string out;
    for (char c : text) {
        if (out.size() == length) break;
        if (c == ' ' || c == '.') continue;
        out.push_back(IsShortNameChar(c) ? UpperAscii(c) : '_');
    }
    return out;
}

}  // namespace

bool MatchesMask(const std::string& mask, const std::string& name) { return Matcher(mask, name).matches(); }

std::string DosShortName(const std::string& name) {
    if (name == "." || name == ".." || IsValidShortName(name)) return {};
    std::string trimmed = name.substr(std::min(name.find_first_not_of('.'), name.size()));
    const auto dot = trimmed.rfind('.');
    const std::string base = ShortPart(trimmed.substr(0, dot), 6);
    const std::string ext = dot == std::string::npos ? std::string() : ShortPart(trimmed.substr(dot + 1), 3);
    return base + "~1" + (ext.empty() ? "" : "." + ext);
}

bool FindMatches(const std::string& mask, const std::string& name) {
    if (MatchesMask(mask, name)) return true;
    const std::string shortName = DosShortName(name);
    return !shortName.empty() && MatchesMask(mask, shortName);
}

bool HasWildcards(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

}  // namespace keltora
