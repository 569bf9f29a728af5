#include "scan/IgnoreList.h"

#include <stdexcept>

namespace keltora {

namespace {

// Marks a line whose fields are escaped; older files never end a line in it.
constexpr std::string_view kEscapedMark = "=%";

std::string escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '%') out += "%25";
        else if (c == '=') out += "%3D";
        else out += c;
    }
    return out;
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto code = text.substr(i, 3);
        if (code == "%25" || code == "%3D") {
            out += code == "%25" ? '%' : '=';
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        auto end = text.find('\n');
        auto line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

std::string FormatIgnoreLine(const IgnoreEntry& entry) {
    const bool plain = entry.caption.find('=') == std::string::npos && entry.location.find('=') == std::string::npos;
    if (plain) return entry.caption + "=" + entry.location;
    return escape(entry.caption) + "=" + escape(entry.location) + std::string(kEscapedMark);
}

IgnoreEntry ParseIgnoreLine(std::string_view line) {
    const auto first = line.find('=');
    if (first == std::string_view::npos) return {std::string(line), {}};
    auto rest = line.substr(first + 1);
    const auto second = rest.find('=');
    if (line.ends_with(kEscapedMark) && second != std::string_view::npos &&
        first + 1 + second == line.size() - kEscapedMark.size()) {
        return {unescape(line.substr(0, first)), unescape(rest.substr(0, second))};
    }
    return {std::string(line.substr(0, first)), std::string(rest.substr(0, second))};
}

IgnoreList::IgnoreList(std::string code, std::string listName) : code_(std::move(code)), view_(std::move(listName)) {
    view_.setColumns({{"Ignored Value", 180}, {"Error Location", 260}});
}

bool IgnoreList::contains(const std::string& name) const {
    for (const auto& finding : view_.findings())
        if (finding.caption == name) return true;
    return false;
}

void IgnoreList::append(const IgnoreEntry& entry) { view_.add(Finding{entry.caption, {entry.location}, true}); }

void IgnoreList::load(FileSystem& fs, const std::string& folder) {
    auto text = fs.readFile(folder + "\\" + fileName());
    if (!text) return;
    // Every line is read, however many there are, so an ignored entry never returns; the first
    // empty line still ends the list as it always has.
    for (auto line : splitLines(*text)) {
        if (line.empty()) break;
        append(ParseIgnoreLine(line));
    }
}

void IgnoreList::add(FileSystem& fs, const std::string& folder, const IgnoreEntry& entry) {
    append(entry);
    if (!fs.isDirectory(folder)) fs.createDirectories(folder);
    if (!fs.appendFile(folder + "\\" + fileName(), FormatIgnoreLine(entry) + "\r\n"))
        throw std::runtime_error("Cannot write the ignore list " + folder + "\\" + fileName());
}

void IgnoreList::clear(FileSystem& fs, const std::string& folder) {
    if (!fs.writeFile(folder + "\\" + fileName(), "")) throw std::runtime_error("Cannot write the ignore list " + folder + "\\" + fileName());
    view_.clear();
}

}  // namespace keltora
