#include "platform/memory/WindowsPaths.h"

#include <algorithm>

#include "platform/memory/AsciiCase.h"

namespace keltora {
namespace {

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && UpperAscii(path[0]) >= 'A' && UpperAscii(path[0]) <= 'Z';
}

std::vector<std::string> SplitParts(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = std::min(text.find('\\', start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The drive ("C:") and the folder below it that a path starts from.
void StartOf(const std::string& path, const std::string& current, std::string& drive, std::string& rest) {
    const std::string currentDrive = current.substr(0, 2);
    const std::string currentRest = current.size() > 2 ? current.substr(2) : std::string("\\");
    if (HasDrive(path)) {
        drive = path.substr(0, 2);
        rest = path.substr(2);
        // "C:name" is relative to the current folder of that drive; other drives are at their root.
        if (rest.empty() || rest[0] != '\\') {
            rest = (EqualsNoCase(drive, currentDrive) ? currentRest : std::string("\\")) + "\\" + rest;
        }
    } else if (!path.empty() && path[0] == '\\') {
        drive = currentDrive;
        rest = path;
    } else {
        drive = currentDrive;
        rest = currentRest + "\\" + path;
    }
}

}  // namespace

std::string FullPathName(const std::string& path, const std::string& currentFolder) {
    if (path.empty()) return {};
    std::string text = path;
    std::replace(text.begin(), text.end(), '/', '\\');
    std::string drive, rest;
    StartOf(text, currentFolder, drive, rest);
    bool trailing = text.back() == '\\';
    std::vector<std::string> parts;
    for (const auto& part : SplitParts(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    const auto cut = text.find_last_of("\\:");
    const std::string lastWritten = text.substr(cut == std::string::npos ? 0 : cut + 1);
    if (!trailing && !parts.empty() && lastWritten != "." && lastWritten != "..") {
        std::string& last = parts.back();
        while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
        if (last.empty()) {
            parts.pop_back();
            trailing = true;
        }
    }
    std::string full = drive + "\\";
    for (std::size_t i = 0; i < parts.size(); ++i) full += (i ? "\\" : "") + parts[i];
    if (trailing && !parts.empty()) full += "\\";
    return full;
}

bool SplitFullPath(const std::string& fullPath, char& drive, std::vector<std::string>& parts) {
    if (!HasDrive(fullPath) || (fullPath.size() > 2 && fullPath[2] != '\\')) return false;
    drive = UpperAscii(fullPath[0]);
    parts = SplitParts(fullPath.substr(2));
    return true;
}

}  // namespace keltora
