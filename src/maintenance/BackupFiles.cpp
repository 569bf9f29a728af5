#include "maintenance/BackupFiles.h"

#include <algorithm>
#include <cctype>

#include "platform/Helpers.h"

namespace keltora {

namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9 (and the superscript digits Windows also takes), whatever
// follows their first dot: Windows opens the device, not a file.
bool isDeviceName(const std::string& name) {
    std::string base = upper(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
        return true;
    if (base.size() != 4 || (base.rfind("COM", 0) != 0 && base.rfind("LPT", 0) != 0)) return false;
    const char digit = base[3];
    return (digit >= '0' && digit <= '9') || digit == '\xB9' || digit == '\xB2' || digit == '\xB3';
}

bool hasLineEndAt(std::string_view text, std::size_t at) {
    return text.size() == at || text[at] == '\r' || text[at] == '\n';
}

}  // namespace

bool IsBackupFileName(const std::string& name) {
    if (!IsPlainFileName(name) || name.size() > 255) return false;
    const bool forbidden = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || std::string_view("*?\"<>|").find(c) != std::string_view::npos;
    });
    if (forbidden || name.back() == '.' || name.back() == ' ' || isDeviceName(name)) return false;
    return name.size() >= 4 && upper(name.substr(name.size() - 4)) == ".REG";
}

bool IsRegularFile(const FoundFile& found) {
    return (found.attributes & (kAttrDirectory | kAttrDevice | kAttrReparsePoint)) == 0;
}

bool IsRegistryExport(std::string_view start) {
    std::string text;
    if (start.substr(0, 2) == "\xFF\xFE") {
        // UTF-16LE: the headers are ASCII, so a character outside it can stand as a NUL.
        for (std::size_t i = 2; i + 1 < start.size(); i += 2) text += start[i + 1] == 0 ? start[i] : '\0';
    } else {
        text = start.substr(0, 3) == "\xEF\xBB\xBF" ? start.substr(3) : start;
    }
    for (std::string_view header : {std::string_view("Windows Registry Editor Version 5.00"), std::string_view("REGEDIT4")})
        if (std::string_view(text).substr(0, header.size()) == header && hasLineEndAt(text, header.size())) return true;
    return false;
}

}  // namespace keltora
