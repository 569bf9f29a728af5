#include "scanners/registry/RegistryViews.h"

#include <algorithm>
#include <utility>

namespace keltora {

namespace {

// What the file system redirector does with a 32-bit program's names below the Windows folder:
// the leading names it replaces, by what, and whether some folders below them stay as they are.
struct Redirect {
    std::string_view from;
    std::string_view to;
    bool withExceptions;
};
constexpr Redirect kRedirects[] = {
    {"system32", "SysWOW64", true},
    {"lastgood\\system32", "lastgood\\SysWOW64", false},
    {"regedit.exe", "SysWOW64\\regedit.exe", false},
    {"sysnative", "System32", false},  // how a 32-bit program names the real System32
};

// Folders below System32 that are not redirected: a 32-bit program reaches the same ones.
constexpr std::string_view kNotRedirected[] = {"catroot",     "catroot2", "driverstore",
                                               "drivers\\etc", "logfiles", "spool"};

template <typename Char>
Char LowerAscii(Char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <typename Char>
bool EqualNoCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](Char x, Char y) { return LowerAscii(x) == LowerAscii(y); });
}

// Whether a path begins with these whole names: the prefix followed by '\' or by the end.
bool StartsWithNames(std::string_view path, std::string_view names) {
    return path.size() >= names.size() && EqualNoCase(path.substr(0, names.size()), names) &&
           (path.size() == names.size() || path[names.size()] == '\\');
}

bool NotRedirected(std::string_view belowSystem32) {
    if (belowSystem32.empty()) return false;
    belowSystem32.remove_prefix(1);  // the '\'
    return std::any_of(std::begin(kNotRedirected), std::end(kNotRedirected),
                       [&](std::string_view folder) { return StartsWithNames(belowSystem32, folder); });
}

}  // namespace

RegistryView ViewOfKey(std::u16string_view keyPath) {
    constexpr std::u16string_view kWow = u"WOW6432Node";
    std::size_t start = 0;
    while (start <= keyPath.size()) {
        const std::size_t end = std::min(keyPath.find(u'\\', start), keyPath.size());
        if (EqualNoCase(keyPath.substr(start, end - start), kWow)) return RegistryView::Wow32;
        start = end + 1;
    }
    return RegistryView::Native;
}

FileView::FileView(RegistryView view, std::string systemRoot)
    : redirected_(view == RegistryView::Wow32), systemRoot_(std::move(systemRoot)) {
    while (!systemRoot_.empty() && systemRoot_.back() == '\\') systemRoot_.pop_back();
}

// Only names below the Windows folder are redirected; every other name, and every name of a
// native program, is the name this process uses too.
std::string FileView::operator()(const std::string& path) const {
    if (!redirected_ || systemRoot_.empty() || !StartsWithNames(path, systemRoot_) || path.size() == systemRoot_.size())
        return path;
    const std::size_t below = systemRoot_.size() + 1;
    const std::string_view rest = std::string_view(path).substr(below);
    for (const auto& redirect : kRedirects) {
        if (!StartsWithNames(rest, redirect.from)) continue;
        const std::string_view after = rest.substr(redirect.from.size());
        if (redirect.withExceptions && NotRedirected(after)) return path;
        return path.substr(0, below) + std::string(redirect.to) + std::string(after);
    }
    return path;
}

}  // namespace keltora
