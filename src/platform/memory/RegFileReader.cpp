#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/RegistryWide.h"
#include "platform/memory/AnsiCodePage.h"
#include "platform/memory/AsciiCase.h"
#include "platform/memory/RegFile.h"

namespace keltora {
namespace {

constexpr const char* kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr const char* kVersion4Header = "REGEDIT4";

struct RootName {
    const char* name;
    HKey key;
};

constexpr RootName kRootNames[] = {
    {"HKEY_LOCAL_MACHINE", kHKeyLocalMachine}, {"HKLM", kHKeyLocalMachine},
    {"HKEY_CURRENT_USER", kHKeyCurrentUser},   {"HKCU", kHKeyCurrentUser},
    {"HKEY_CLASSES_ROOT", kHKeyClassesRoot},   {"HKCR", kHKeyClassesRoot},
};

// The file's text in UTF-8, whatever it came in: UTF-16LE with its byte-order mark (names and
// strings exactly as the registry keeps them), UTF-8 with its mark, or 8-bit text in the code
// page the program's texts are in.
std::string DecodeText(const std::string& raw) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(raw.data());
    if (raw.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return Utf16ToUtf8(Utf16LeText(bytes + 2, raw.size() - 2));
    if (raw.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return raw.substr(3);
    const std::vector<std::uint8_t> wide = AnsiToUtf16Le(raw);
    return Utf16ToUtf8(Utf16LeText(wide.data(), wide.size()));
}

// Deletes key\name with everything below it, a link as the link; the status of the last delete.
long DeleteTree(RegistryApi& api, HKey key, const std::u16string& name) {
    ScopedKey target(api);
    if (long rc = target.open(key, name, kRegOptionOpenLink, kDeleteAccess | kKeyEnumerateSubKeys | kKeyQueryValue))
        return rc;
    std::vector<std::u16string> names;
    if (!IsLinkKey(api, target.get()) && SubkeyNamesW(api, target.get(), names) == kErrorSuccess)
        for (auto it = names.rbegin(); it != names.rend(); ++it) DeleteTree(api, target.get(), *it);
    return api.deleteOpenedKey(target.get());
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimLeft(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

std::string TrimRight(std::string text) {
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    return text;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A run of 1 to maxDigits hex digits, the whole of text.
bool ParseHex(const std::string& text, std::size_t maxDigits, std::uint32_t& value) {
    if (text.empty() || text.size() > maxDigits) return false;
    value = 0;
    for (char c : text) {
        int d = HexDigit(c);
        if (d < 0) return false;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

class RegFileReader {
public:
    RegFileReader(RegistryApi& api, const std::string& text) : api_(api), lines_(SplitLines(DecodeText(text))) {}
    ~RegFileReader() { closeKey(); }
    RegFileReader(const RegFileReader&) = delete;
    RegFileReader& operator=(const RegFileReader&) = delete;

    void run();

private:
    enum class Section { None, Key, Deleted };

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("line " + std::to_string(index_ + 1) + ": " + what);
    }
    void readHeader();
    void keyLine(const std::string& line);
    void valueLine(const std::string& line);
    std::string quoted(const std::string& line, std::size_t& pos) const;
    std::vector<std::uint8_t> hexBytes(std::string list);
    void setData(const std::string& name, const std::string& data);
    void closeKey();

    RegistryApi& api_;
    std::vector<std::string> lines_;
    std::size_t index_ = 0;
    bool unicode_ = false;  // version 5.00: strings in hex form are UTF-16LE
    Section section_ = Section::None;
    HKey key_ = 0;
};

void RegFileReader::run() {
    readHeader();
    for (++index_; index_ < lines_.size(); ++index_) {
        const std::string line = TrimLeft(lines_[index_]);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            keyLine(TrimRight(line));
        } else if (line[0] == '"' || line[0] == '@') {
            valueLine(TrimRight(line));
        } else {
            fail("neither a key nor a value: " + line);
        }
    }
}

void RegFileReader::readHeader() {
    while (index_ < lines_.size() && TrimRight(lines_[index_]).empty()) ++index_;
    const std::string header = index_ < lines_.size() ? TrimRight(lines_[index_]) : std::string();
    if (header == kVersion5Header) {
        unicode_ = true;
    } else if (header != kVersion4Header) {
        fail("not a registry file (no \"" + std::string(kVersion5Header) + "\" or \"" + kVersion4Header + "\")");
    }
}

void RegFileReader::closeKey() {
    if (key_ != 0) api_.closeKey(key_);
    key_ = 0;
}

void RegFileReader::keyLine(const std::string& line) {
    const auto close = line.rfind(']');
    if (close == std::string::npos) fail("key without ']'");
    std::string path = line.substr(1, close - 1);
    const bool remove = !path.empty() && path[0] == '-';
    if (remove) path.erase(0, 1);
    const auto cut = path.find('\\');
    const std::string rootName = path.substr(0, cut);
    const std::string subKey = cut == std::string::npos ? std::string() : path.substr(cut + 1);
    HKey root = 0;
    for (const auto& r : kRootNames) {
        if (EqualsNoCase(rootName, r.name)) root = r.key;
    }
    if (root == 0) fail("unknown root key '" + rootName + "'");
    closeKey();
    if (remove) {
        if (subKey.empty()) fail("a root key cannot be deleted");
        DeleteTree(api_, root, Utf8ToUtf16(subKey));
        section_ = Section::Deleted;
        return;
    }
    if (long rc = api_.createKeyW(root, Utf8ToUtf16(subKey), 0, kKeyAllAccess, key_)) {
        fail("cannot create key '" + path + "' (error " + std::to_string(rc) + ")");
    }
    section_ = Section::Key;
}

std::string RegFileReader::quoted(const std::string& line, std::size_t& pos) const {
    if (pos >= line.size() || line[pos] != '"') fail("'\"' expected");
    std::string text;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return text;
        }
        if (c == '\\') {
            if (++pos >= line.size()) break;
            switch (line[pos]) {
                case '\\': c = '\\'; break;
                case '"': c = '"'; break;
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case '0': c = '\0'; break;
                default: fail(std::string("unknown escape '\\") + line[pos] + "'");
            }
        }
        text.push_back(c);
    }
    fail("string without closing '\"'");
}

void RegFileReader::valueLine(const std::string& line) {
    if (section_ == Section::None) fail("value before the first key");
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
        pos = 1;
    } else {
        name = quoted(line, pos);
    }
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '=') fail("'=' expected after the value name");
    const std::string data = TrimLeft(line.substr(pos + 1));
    if (data == "-") {
        if (section_ == Section::Key) api_.deleteValueW(key_, Utf8ToUtf16(name));
        return;
    }
    setData(name, data);
}

std::vector<std::uint8_t> RegFileReader::hexBytes(std::string list) {
    // A list that ends in '\' goes on in the next line.
    while (!list.empty() && list.back() == '\\') {
        list.pop_back();
        if (++index_ >= lines_.size()) fail("hex data continues past the end of the file");
        list += TrimRight(TrimLeft(lines_[index_]));
    }
    std::vector<std::uint8_t> bytes;
    std::string token;
    std::istringstream in(list);
    while (std::getline(in, token, ',')) {
        token = TrimRight(TrimLeft(token));
        std::uint32_t byte = 0;
        if (!ParseHex(token, 2, byte)) fail("bad hex byte '" + token + "'");
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return bytes;
}

void RegFileReader::setData(const std::string& name, const std::string& data) {
    std::uint32_t type = kRegSz;
    std::vector<std::uint8_t> bytes;
    if (data[0] == '"') {
        std::size_t pos = 0;
        const std::string text = quoted(data, pos);
        const std::string rest = TrimLeft(data.substr(pos));
        if (!rest.empty() && rest[0] != ';') fail("text after the closing '\"'");
        bytes = Utf16LeData(Utf8ToUtf16(text));
    } else if (StartsWithNoCase(data, "dword:")) {
        std::uint32_t value = 0;
        if (!ParseHex(data.substr(6), 8, value)) fail("bad dword '" + data.substr(6) + "'");
        type = kRegDword;
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    } else if (StartsWithNoCase(data, "hex")) {
        auto colon = data.find(':');
        if (colon == std::string::npos) fail("':' expected after hex");
        const std::string kind = data.substr(3, colon - 3);
        type = kRegBinary;
        if (!kind.empty() && !(kind.size() > 2 && kind.front() == '(' && kind.back() == ')' &&
                               ParseHex(kind.substr(1, kind.size() - 2), 8, type))) {
            fail("bad value type '" + kind + "'");
        }
        bytes = hexBytes(data.substr(colon + 1));
        // Version 5.00 files carry string types as the registry stores them (UTF-16LE); version 4
        // files in the 8-bit code page.
        if (!unicode_ && (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz)) {
            bytes = AnsiToUtf16Le(std::string(bytes.begin(), bytes.end()));
        }
    } else {
        fail("unknown value data '" + data + "'");
    }
    if (section_ != Section::Key) return;
    if (long rc = api_.setValueW(key_, Utf8ToUtf16(name), type, bytes.data(), static_cast<std::uint32_t>(bytes.size()))) {
        fail("cannot set value '" + name + "' (error " + std::to_string(rc) + ")");
    }
}

}  // namespace

void ApplyRegFile(RegistryApi& registry, const std::string& text) { RegFileReader(registry, text).run(); }

void ApplyRegFileAt(RegistryApi& registry, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot be read");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        ApplyRegFile(registry, text);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

}  // namespace keltora
