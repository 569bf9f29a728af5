#include "platform/memory/WindowsPaths.h"

#include <algorithm>

#include "platform/FileMask.h"

namespace keltora {
namespace {

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool hasDrive(std::u16string_view path) {
    return path.size() >= 2 && path[1] == u':' && upper(path[0]) >= u'A' && upper(path[0]) <= u'Z';
}

std::vector<std::u16string> splitParts(std::u16string_view text) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = std::min(text.find(u'\\', start), text.size());
        if (end > start) parts.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The drive ("C:") and the folder below it that a path starts from.
void startOf(std::u16string_view path, std::u16string_view current, std::u16string& drive, std::u16string& rest) {
    const std::u16string currentDrive(current.substr(0, 2));
    const std::u16string currentRest = current.size() > 2 ? std::u16string(current.substr(2)) : std::u16string(u"\\");
    if (hasDrive(path)) {
        drive = path.substr(0, 2);
        rest = path.substr(2);
        // "C:name" is relative to the current folder of that drive; other drives are at their root.
        if (rest.empty() || rest[0] != u'\\') {
            const bool same = upper(drive[0]) == upper(currentDrive[0]);
            rest = (same ? currentRest : std::u16string(u"\\")) + u"\\" + rest;
        }
    } else if (!path.empty() && path[0] == u'\\') {
        drive = currentDrive;
        rest = path;
    } else {
        drive = currentDrive;
        rest = currentRest + u"\\" + std::u16string(path);
    }
}

}  // namespace

std::u16string FullPathName(std::u16string_view path, std::u16string_view currentFolder) {
    if (path.empty()) return {};
    std::u16string text(path);
    std::replace(text.begin(), text.end(), u'/', u'\\');
    std::u16string drive, rest;
    startOf(text, currentFolder, drive, rest);
    bool trailing = text.back() == u'\\';
    std::vector<std::u16string> parts;
    for (const auto& part : splitParts(rest)) {
        if (part == u".") continue;
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    const auto cut = text.find_last_of(u"\\:");
    const std::u16string lastWritten = text.substr(cut == std::u16string::npos ? 0 : cut + 1);
    if (!trailing && !parts.empty() && lastWritten != u"." && lastWritten != u"..") {
        std::u16string& last = parts.back();
        while (!last.empty() && (last.back() == u'.' || last.back() == u' ')) last.pop_back();
        if (last.empty()) {
            parts.pop_back();
            trailing = true;
        }
    }
    std::u16string full = drive + u"\\";
    for (std::size_t i = 0; i < parts.size(); ++i) full += (i ? u"\\" : u"") + parts[i];
    if (trailing && !parts.empty()) full += u"\\";
    return full;
}

std::string FullPathName(const std::string& path, const std::string& currentFolder) {
    return Narrowed(FullPathName(Widened(path), Widened(currentFolder)));
}

bool SplitFullPath(std::u16string_view fullPath, char& drive, std::vector<std::u16string>& parts) {
    if (!hasDrive(fullPath) || (fullPath.size() > 2 && fullPath[2] != u'\\')) return false;
    drive = static_cast<char>(upper(fullPath[0]));
    parts = splitParts(fullPath.substr(2));
    return true;
}

}  // namespace keltora
