#include "platform/RegText.h"

#include <bit>
#include <stdexcept>

#include "platform/RegistryWide.h"

namespace keltora {

namespace {

constexpr char16_t kVersion4Header[] = u"REGEDIT4";
constexpr std::size_t kWrapColumn = 76;  // where the registry editor breaks hex lists

struct RootName {
    std::u16string_view name;
    HKey key;
    bool written;  // the name files are written with
};

constexpr RootName kRootNames[] = {
    {u"HKEY_LOCAL_MACHINE", kHKeyLocalMachine, true}, {u"HKLM", kHKeyLocalMachine, false},
    {u"HKEY_CURRENT_USER", kHKeyCurrentUser, true},   {u"HKCU", kHKeyCurrentUser, false},
    {u"HKEY_CLASSES_ROOT", kHKeyClassesRoot, true},   {u"HKCR", kHKeyClassesRoot, false},
};

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimLeft(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::u16string_view TrimRight(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Narrow(std::u16string_view text) { return Utf16ToUtf8(std::u16string(text)); }

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A run of 1 to maxDigits hex digits, the whole of text.
bool ParseHex(std::u16string_view text, std::size_t maxDigits, std::uint32_t& value) {
    if (text.empty() || text.size() > maxDigits) return false;
    value = 0;
    for (char16_t c : text) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

class Parser {
public:
    explicit Parser(std::u16string_view text) {
        // As getline reads them: a line break at the very end starts no further line.
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find(u'\n', start);
            if (end == std::u16string_view::npos) end = text.size();
            std::u16string_view line = text.substr(start, end - start);
            if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
            lines_.push_back(line);
            start = end + 1;
        }
    }

    RegDocument run() {
        readHeader();
        for (++index_; index_ < lines_.size(); ++index_) {
            const std::u16string_view line = TrimLeft(lines_[index_]);
            if (line.empty()) continue;
            if (line[0] == u';') {
                add(RegStatement::Kind::Comment).text = line.substr(1);
            } else if (line[0] == u'[') {
                keyLine(TrimRight(line));
            } else if (line[0] == u'"' || line[0] == u'@') {
                valueLine(TrimRight(line));
            } else {
                fail("neither a key nor a value: " + Narrow(line));
            }
        }
        return std::move(document_);
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("line " + std::to_string(index_ + 1) + ": " + what);
    }

    RegStatement& add(RegStatement::Kind kind) {
        RegStatement& statement = document_.statements.emplace_back();
        statement.kind = kind;
        statement.line = index_ + 1;
        return statement;
    }

    void readHeader() {
        while (index_ < lines_.size() && TrimRight(lines_[index_]).empty()) ++index_;
        std::u16string_view header = index_ < lines_.size() ? TrimRight(lines_[index_]) : std::u16string_view();
        if (header == kRegFileHeader) return;
        if (header != kVersion4Header)
            fail("not a registry file (no \"" + Narrow(kRegFileHeader) + "\" or \"" + Narrow(kVersion4Header) + "\")");
        document_.version5 = false;
    }

    void keyLine(std::u16string_view line) {
        const auto close = line.rfind(u']');
        if (close == std::u16string_view::npos) fail("key without ']'");
        std::u16string_view key = line.substr(1, close - 1);
        const bool remove = !key.empty() && key[0] == u'-';
        if (remove) key.remove_prefix(1);
        const auto split = SplitRegKey(key);
        if (!split) fail("unknown root key '" + Narrow(key.substr(0, key.find(u'\\'))) + "'");
        if (remove && split->path.empty()) fail("a root key cannot be deleted");
        add(remove ? RegStatement::Kind::DeleteKey : RegStatement::Kind::Key).text = key;
    }

    std::u16string quoted(std::u16string_view line, std::size_t& pos) const {
        if (pos >= line.size() || line[pos] != u'"') fail("'\"' expected");
        std::u16string text;
        for (++pos; pos < line.size(); ++pos) {
            char16_t c = line[pos];
            if (c == u'"') {
                ++pos;
                return text;
            }
            if (c == u'\\') {
                if (++pos >= line.size()) break;
                switch (line[pos]) {
                    case u'\\': c = u'\\'; break;
                    case u'"': c = u'"'; break;
                    case u'n': c = u'\n'; break;
                    case u'r': c = u'\r'; break;
                    case u'0': c = u'\0'; break;
                    default: fail("unknown escape '\\" + Narrow(line.substr(pos, 1)) + "'");
                }
            }
            text.push_back(c);
        }
        fail("string without closing '\"'");
    }

    void valueLine(std::u16string_view line) {
        const std::size_t first = index_;
        std::size_t pos = 0;
        std::u16string name;
        if (line[0] == u'@') {
            pos = 1;
        } else {
            name = quoted(line, pos);
        }
        while (pos < line.size() && IsBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != u'=') fail("'=' expected after the value name");
        const std::u16string_view data = TrimLeft(line.substr(pos + 1));
        if (data == u"-") {
            add(RegStatement::Kind::DeleteValue).name = std::move(name);
            return;
        }
        RegStatement value = dataOf(data);
        value.kind = RegStatement::Kind::Value;
        value.line = first + 1;
        value.name = std::move(name);
        document_.statements.push_back(std::move(value));
    }

    RegStatement dataOf(std::u16string_view data) {
        RegStatement value;
        if (data.empty()) fail("no value data");
        if (data[0] == u'"') {
            std::size_t pos = 0;
            const std::u16string text = quoted(data, pos);
            const std::u16string_view rest = TrimLeft(data.substr(pos));
            if (!rest.empty() && rest[0] != u';') fail("text after the closing '\"'");
            value.type = kRegSz;
            value.data = Utf16LeData(text);
        } else if (StartsWithNoCase(data, u"dword:")) {
            std::uint32_t number = 0;
            if (!ParseHex(data.substr(6), 8, number)) fail("bad dword '" + Narrow(data.substr(6)) + "'");
            value.type = kRegDword;
            for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
        } else if (StartsWithNoCase(data, u"hex")) {
            const auto colon = data.find(u':');
            if (colon == std::u16string_view::npos) fail("':' expected after hex");
            const std::u16string_view kind = data.substr(3, colon - 3);
            value.type = kRegBinary;
            if (!kind.empty() && !(kind.size() > 2 && kind.front() == u'(' && kind.back() == u')' &&
                                   ParseHex(kind.substr(1, kind.size() - 2), 8, value.type)))
                fail("bad value type '" + Narrow(kind) + "'");
            value.data = hexBytes(std::u16string(data.substr(colon + 1)));
        } else {
            fail("unknown value data '" + Narrow(data) + "'");
        }
        return value;
    }

    std::vector<std::uint8_t> hexBytes(std::u16string list) {
        // A list that ends in '\' goes on in the next line.
        while (!list.empty() && list.back() == u'\\') {
            list.pop_back();
            if (++index_ >= lines_.size()) fail("hex data continues past the end of the file");
            list += TrimRight(TrimLeft(lines_[index_]));
        }
        std::vector<std::uint8_t> bytes;
        std::size_t start = 0;
        while (start < list.size()) {
            std::size_t comma = list.find(u',', start);
            if (comma == std::u16string::npos) comma = list.size();
            const std::u16string_view token = TrimRight(TrimLeft(std::u16string_view(list).substr(start, comma - start)));
            std::uint32_t byte = 0;
            if (!ParseHex(token, 2, byte)) fail("bad hex byte '" + Narrow(token) + "'");
            bytes.push_back(static_cast<std::uint8_t>(byte));
            start = comma + 1;
        }
        return bytes;
    }

    std::vector<std::u16string_view> lines_;
    std::size_t index_ = 0;
    RegDocument document_;
};

void AppendQuoted(std::u16string& out, std::u16string_view text) {
    out += u'"';
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') out += u'\\';
        out += c;
    }
    out += u'"';
}

// REG_SZ data the quoted form carries exactly: whole UTF-16 units, one NUL at the end, no other
// NUL and no line break.
bool IsPlainString(const std::vector<std::uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    const std::u16string text = Utf16LeText(data.data(), data.size());
    return text.back() == u'\0' && RegNameWritable(std::u16string_view(text).substr(0, text.size() - 1));
}

void AppendHexDigits(std::u16string& out, unsigned value, std::size_t digits) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    for (std::size_t i = digits; i-- > 0;) out += kDigits[(value >> (4 * i)) & 0xF];
}

// Lower-case hex without leading zeros, as in hex(b).
void AppendHexNumber(std::u16string& out, std::uint32_t value) {
    std::size_t digits = 1;
    while (digits < 8 && (value >> (4 * digits)) != 0) ++digits;
    AppendHexDigits(out, value, digits);
}

// "xx,xx,..." broken as the registry editor breaks it: '\' at the end of a full line and two
// blanks before the next.
void AppendHexList(std::u16string& out, const std::vector<std::uint8_t>& bytes, std::size_t column) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        AppendHexDigits(out, bytes[i], 2);
        if (i + 1 == bytes.size()) break;
        out += u',';
        column += 3;
        if (column > kWrapColumn) {
            out += u"\\\r\n  ";
            column = 2;
        }
    }
}

}  // namespace

RegDocument ParseRegText(std::u16string_view text) { return Parser(text).run(); }

std::u16string HexByteList(const std::vector<std::uint8_t>& bytes) {
    std::u16string out;
    out.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) out += u',';
        AppendHexDigits(out, bytes[i], 2);
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> ParseHexByteList(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 3 + 1);
    for (std::size_t at = 0; at < text.size(); at += 3) {
        std::uint32_t byte = 0;
        if (at + 2 > text.size() || !ParseHex(text.substr(at, 2), 2, byte) ||
            (at + 2 < text.size() && text[at + 2] != u','))
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return bytes;
}

std::u16string DecodeRegFile(const std::string& bytes, CodePage& codePage) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (bytes.size() >= 2 && raw[0] == 0xFF && raw[1] == 0xFE) return Utf16LeText(raw + 2, bytes.size() - 2);
    if (bytes.size() >= 3 && raw[0] == 0xEF && raw[1] == 0xBB && raw[2] == 0xBF) return Utf8ToUtf16(bytes.substr(3));
    return codePage.toWide(bytes);
}

// Text lies in memory as UTF-16LE on every machine this runs on, so it is copied as it is.
static_assert(std::endian::native == std::endian::little);

std::string EncodeRegFile(const std::u16string& text) {
    std::string out = "\xFF\xFE";
    out.append(reinterpret_cast<const char*>(text.data()), 2 * text.size());
    return out;
}

std::optional<RegKeyName> SplitRegKey(std::u16string_view key) {
    const auto cut = key.find(u'\\');
    const std::u16string_view root = key.substr(0, cut);
    for (const auto& r : kRootNames)
        if (EqualsNoCase(root, r.name))
            return RegKeyName{r.key, cut == std::u16string_view::npos ? std::u16string() : std::u16string(key.substr(cut + 1))};
    return std::nullopt;
}

std::u16string RegKeyText(HKey root, const std::u16string& path) {
    for (const auto& r : kRootNames)
        if (r.key == root && r.written) return std::u16string(r.name) + (path.empty() ? u"" : u"\\" + path);
    return path;
}

bool RegNameWritable(std::u16string_view name) {
    for (char16_t c : name)
        if (c == u'\r' || c == u'\n' || c == u'\0') return false;
    return true;
}

std::u16string RegKeyLine(HKey root, const std::u16string& path) { return u"[" + RegKeyText(root, path) + u"]\r\n"; }

void AppendRegValueLine(std::u16string& out, const std::u16string& name, std::uint32_t type,
                        const std::vector<std::uint8_t>& data) {
    const std::size_t start = out.size();
    if (name.empty()) {
        out += u"@=";
    } else {
        AppendQuoted(out, name);
        out += u'=';
    }
    if (type == kRegSz && IsPlainString(data)) {
        AppendQuoted(out, Utf16LeText(data.data(), data.size() - 2));
    } else if (type == kRegDword && data.size() == 4) {
        out += u"dword:";
        AppendHexDigits(out, static_cast<unsigned>(data[0] | (data[1] << 8) | (data[2] << 16) | (data[3] << 24)), 8);
    } else {
        if (type == kRegBinary) {
            out += u"hex:";
        } else {
            out += u"hex(";
            AppendHexNumber(out, type);
            out += u"):";
        }
        AppendHexList(out, data, out.size() - start);
    }
    out += u"\r\n";
}

}  // namespace keltora
