#include "scan/IgnoreList.h"

#include <algorithm>
#include <stdexcept>

#include "scan/TextEscape.h"

namespace keltora {

namespace {

// Marks a line whose fields are escaped; older files never end a line in it.
constexpr std::string_view kEscapedMark = "=%";

// '%', '=' and every control character as %XX: a line then holds one entry whatever its name
// holds (a CR LF inside a name could otherwise start a second, forged entry).
std::string escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '%' || c == '=' || IsControlByte(c)) {
            out += '%';
            AppendHexByte(out, c);
        } else {
            out += c;
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
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
    auto plainText = [](const std::string& text) {
        return std::none_of(text.begin(), text.end(), [](char c) { return c == '=' || IsControlByte(c); });
    };
    const bool plain = plainText(entry.caption) && plainText(entry.location);
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

bool IgnoreList::contains(const std::string& name, const std::string& location) const {
    for (const auto& finding : view_.findings())
        if (finding.caption == name && finding.subItem(1) == location) return true;
    return false;
}

void IgnoreList::append(const IgnoreEntry& entry) { view_.add(Finding{entry.caption, {entry.location}, true}); }

void IgnoreList::load(FileSystem& fs, const std::string& folder) {
    auto text = fs.readFile(folder + "\\" + fileName());
    if (!text) return;
    // Every line is read, however many there are and whatever empty lines stand between them,
    // so an ignored entry never returns.
    for (auto line : splitLines(*text))
        if (!line.empty()) append(ParseIgnoreLine(line));
}

// The file opened as itself, made when missing: a link of that name (or a link for the folder)
// is never written through; it is left as it is and said.
std::unique_ptr<OpenedFile> IgnoreList::open(FileSystem& fs, const std::string& folder) const {
    const std::string path = folder + "\\" + fileName();
    FileActOutcome why;
    if (auto file = fs.openForUpdate(path, true, &why)) return file;
    if (why.result == FileActResult::Unsafe)
        throw std::runtime_error("The ignore list " + path +
                                 " is a link, or its folder is one; it is left as it is and nothing was written.");
    throw std::runtime_error("Cannot write the ignore list " + path);
}

void IgnoreList::add(FileSystem& fs, const std::string& folder, const IgnoreEntry& entry) {
    append(entry);
    if (!fs.isDirectory(folder)) fs.createDirectories(folder);
    const auto file = open(fs, folder);
    const auto size = file->size();
    // A file that lacks its final line end (edited by hand) gets one first, so the new entry
    // does not run on from the last one.
    const auto last = size && *size > 0 ? file->readAt(*size - 1, 1) : std::optional<std::string>("\n");
    const std::string lineEnd = !last || *last == "\n" ? "" : *last == "\r" ? "\n" : "\r\n";
    if (!size || !last || !file->writeAt(*size, lineEnd + FormatIgnoreLine(entry) + "\r\n"))
        throw std::runtime_error("Cannot write the ignore list " + folder + "\\" + fileName());
}

void IgnoreList::clear(FileSystem& fs, const std::string& folder) {
    if (!open(fs, folder)->truncate(0)) throw std::runtime_error("Cannot write the ignore list " + folder + "\\" + fileName());
    view_.clear();
}

}  // namespace keltora
