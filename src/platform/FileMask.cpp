#include "platform/FileMask.h"

#include <vector>

namespace keltora {
namespace {

// Mask tokens: characters stand for themselves (upper-cased); the DOS forms get negative codes.
constexpr long kStar = -1;
constexpr long kDosStar = -2;  // '*' before a '.': anything up to, not past, the name's last '.'
constexpr long kDosQm = -3;    // '?': one character, or none at a '.' or at the end
constexpr long kDosDot = -4;   // '.' before a wildcard or at the end: a '.' or the end of the name

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

std::vector<long> tokens(std::u16string_view mask) {
    if (mask == u"*.*") return {kStar};
    std::vector<long> out;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char16_t c = mask[i];
        const char16_t next = i + 1 < mask.size() ? mask[i + 1] : u'\0';
        if (c == u'?') {
            out.push_back(kDosQm);
        } else if (c == u'*') {
            out.push_back(next == u'.' ? kDosStar : kStar);
        } else if (c == u'.' && (next == u'?' || next == u'*' || next == u'\0')) {
            out.push_back(kDosDot);
        } else {
            out.push_back(upper(c));
        }
    }
    return out;
}

class Matcher {
public:
    Matcher(std::u16string_view mask, std::u16string_view name) : tokens_(tokens(mask)), name_(name) {
        for (auto& c : name_) c = upper(c);
        lastDot_ = name_.rfind(u'.');
    }
    bool matches() const { return at(0, 0); }

private:
    bool at(std::size_t t, std::size_t n) const {
        if (t == tokens_.size()) return n == name_.size();
        const bool end = n == name_.size();
        switch (tokens_[t]) {
            case kStar:
                for (std::size_t k = n; k <= name_.size(); ++k)
                    if (at(t + 1, k)) return true;
                return false;
            case kDosStar:
                for (std::size_t k = n;; ++k) {
                    if (at(t + 1, k)) return true;
                    if (k == name_.size() || k == lastDot_) return false;
                }
            case kDosQm: return end || name_[n] == u'.' ? at(t + 1, n) : at(t + 1, n + 1);
            case kDosDot:
                if (end) return at(t + 1, n);
                return name_[n] == u'.' && at(t + 1, n + 1);
            default: return !end && static_cast<long>(name_[n]) == tokens_[t] && at(t + 1, n + 1);
        }
    }

    std::vector<long> tokens_;
    std::u16string name_;
    std::size_t lastDot_ = std::u16string::npos;
};

}  // namespace

bool MatchesMask(std::u16string_view mask, std::u16string_view name) {
    if (mask == u"*" || mask == u"*.*") return true;  // every name, and the common case of a walk
    return Matcher(mask, name).matches();
}

bool MatchesMask(std::string_view mask, std::string_view name) { return MatchesMask(Widened(mask), Widened(name)); }

bool HasWildcards(std::u16string_view text) { return text.find_first_of(u"*?") != std::u16string_view::npos; }

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

std::u16string Widened(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

std::string Narrowed(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) out.push_back(static_cast<char>(c & 0xFF));
    return out;
}

}  // namespace keltora
