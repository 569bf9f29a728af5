#include "maintenance/JournalText.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <optional>

#include "platform/RegText.h"

namespace keltora {

namespace {

constexpr std::u16string_view kCrLf = u"\r\n";
constexpr std::u16string_view kTitle = u"; Keltora Professional undo journal";

// The comment that opens each entry, by kind.
struct EntryKindName {
    JournalEntry::Kind kind;
    std::u16string_view name;
};
constexpr EntryKindName kEntryKinds[] = {
    {JournalEntry::Kind::KeyTree, u"key tree"},
    {JournalEntry::Kind::Value, u"value"},
    {JournalEntry::Kind::DefaultValue, u"unnamed value"},
    {JournalEntry::Kind::FileMove, u"file move"},
};
constexpr std::u16string_view kEntry = u" Entry: ";
constexpr std::u16string_view kLink = u" Link: ";
constexpr std::u16string_view kTarget = u" Target: ";
constexpr std::u16string_view kSecurity = u" Security: ";
constexpr std::u16string_view kFrom = u" From: ";
constexpr std::u16string_view kTo = u" To: ";
constexpr std::u16string_view kIdentity = u" Identity: ";

std::u16string Widen(const std::string& text) { return Utf8ToUtf16(text); }

std::u16string MadeText(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return Widen(text);
}

std::u16string_view After(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix ? text.substr(prefix.size()) : std::u16string_view();
}

template <typename Number>
Number ParseNumber(std::u16string_view text, int base, const char* field) {
    const auto value = ReadJournalNumber(text, base);
    if (!value || *value > std::numeric_limits<Number>::max())
        throw JournalError(std::string("its header has no readable ") + field);
    return static_cast<Number>(*value);
}

LocalTime ParseMade(std::u16string_view text) {
    LocalTime t;
    const std::string narrow = Utf16ToUtf8(std::u16string(text));
    char end = 0;
    if (std::sscanf(narrow.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second, &end) != 6)
        throw JournalError("its header has no readable time");
    return t;
}

// Bytes as "0a,ff,..."; `what` names them when they are malformed.
std::vector<std::uint8_t> ParseHexBytes(std::u16string_view text, const char* what) {
    auto bytes = ParseHexByteList(text);
    if (!bytes) throw JournalError(std::string("a ") + what + " is malformed");
    return std::move(*bytes);
}

// "volume-file" in hexadecimal, as the move entry writes what the moved file is.
FileIdentity ParseIdentity(std::u16string_view text) {
    const auto cut = text.find(u'-');
    if (cut == std::u16string_view::npos) throw JournalError("a moved file's identity is malformed");
    const FileIdentity identity{ParseNumber<std::uint32_t>(text.substr(0, cut), 16, "identity"),
                                ParseNumber<std::uint64_t>(text.substr(cut + 1), 16, "identity")};
    if (!identity.known()) throw JournalError("a moved file's identity is malformed");
    return identity;
}

}  // namespace

std::u16string JournalNumber(std::uint64_t value, int digits, bool hex) {
    char text[32];
    std::snprintf(text, sizeof text, hex ? "%0*llx" : "%0*llu", digits, static_cast<unsigned long long>(value));
    return Widen(text);
}

std::optional<std::uint64_t> ReadJournalNumber(std::u16string_view text, int base) {
    const std::string narrow = Utf16ToUtf8(std::u16string(text));
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value, base);
    if (narrow.empty() || ec != std::errc() || end != narrow.data() + narrow.size()) return std::nullopt;
    return value;
}

bool IsBlankSpace(std::u16string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find(kCrLf);
        if (end == std::u16string_view::npos || end == 0 || text[0] != u';' ||
            text.substr(1, end - 1).find_first_not_of(u' ') != std::u16string_view::npos)
            return false;
        text.remove_prefix(end + kCrLf.size());
    }
    return true;
}

namespace {

bool BelowRoot(const std::u16string& path) {
    return !path.empty() && path.front() != u'\\' && path.back() != u'\\' && path.find(u"\\\\") == std::u16string::npos;
}

// Reads entries statement by statement; every rule a journal written by this program keeps is
// checked, so what is not such a journal is refused rather than half applied.
class EntryReader {
public:
    // The statements' names and data are taken over, not copied.
    std::vector<JournalEntry> read(RegDocument& document) {
        for (auto& statement : document.statements) take(statement);
        finish();
        return std::move(entries_);
    }

private:
    [[noreturn]] static void fail(const RegStatement& statement, const std::string& what) {
        throw JournalError("its changes are malformed (line " + std::to_string(statement.line) + "): " + what);
    }

    void take(RegStatement& s) {
        using K = RegStatement::Kind;
        if (s.kind == K::Comment && !After(s.text, kEntry).empty()) return open(s);
        if (entries_.empty()) {
            if (s.kind != K::Comment) fail(s, "a key or value before the first change");
            return;
        }
        JournalEntry& entry = entries_.back();
        switch (s.kind) {
            case K::Comment: return comment(entry, s);
            case K::Key: return key(entry, s);
            case K::Value: return value(entry, s);
            default: fail(s, "a journal names only what to bring back, never a deletion");
        }
    }

    void open(const RegStatement& s) {
        finish();
        const std::u16string_view name = After(s.text, kEntry);
        for (const auto& kind : kEntryKinds)
            if (kind.name == name) {
                entries_.emplace_back().kind = kind.kind;
                first_ = s;
                return;
            }
        fail(s, "an unknown kind of change");
    }

    void comment(JournalEntry& entry, const RegStatement& s) {
        using Kind = JournalEntry::Kind;
        if (entry.kind == Kind::FileMove && !After(s.text, kFrom).empty() && entry.from.empty()) {
            entry.from = After(s.text, kFrom);
        } else if (entry.kind == Kind::FileMove && !After(s.text, kTo).empty() && entry.to.empty()) {
            entry.to = After(s.text, kTo);
        } else if (entry.kind == Kind::FileMove && !After(s.text, kIdentity).empty() && !entry.moved.known()) {
            entry.moved = ParseIdentity(After(s.text, kIdentity));
        } else if (entry.kind == Kind::KeyTree && !After(s.text, kLink).empty()) {
            place(entry, s, After(s.text, kLink)).link = true;
        } else if (entry.kind == Kind::KeyTree && !entry.keys.empty() && entry.keys.back().link &&
                   entry.keys.back().target.empty() && s.text.substr(0, kTarget.size()) == kTarget) {
            entry.keys.back().target = ParseHexBytes(After(s.text, kTarget), "link target");
        } else if (entry.kind == Kind::KeyTree && !entry.keys.empty() && entry.keys.back().security.empty() &&
                   !After(s.text, kSecurity).empty()) {
            entry.keys.back().security = ParseHexBytes(After(s.text, kSecurity), "security descriptor");
        } else {
            fail(s, "an unexpected comment");
        }
    }

    // A key of the entry: the first one names the entry's key; in a tree every later one lies
    // below it.
    CapturedKey& place(JournalEntry& entry, const RegStatement& s, std::u16string_view text) {
        const auto name = SplitRegKey(text);
        if (!name || !BelowRoot(name->path)) fail(s, "a key that is not below a root key");
        const bool first = entry.root == 0;
        if (first) {
            entry.root = name->root;
            entry.keyPath = name->path;
        } else if (entry.kind != JournalEntry::Kind::KeyTree || name->root != entry.root ||
                   name->path.substr(0, entry.keyPath.size() + 1) != entry.keyPath + u"\\") {
            fail(s, "a key outside the change it belongs to");
        }
        CapturedKey& key = entry.keys.emplace_back();
        key.path = name->path;
        return key;
    }

    void key(JournalEntry& entry, const RegStatement& s) {
        if (!entry.keys.empty() && entry.keys.back().link && entry.keys.back().target.empty()) fail(s, "a link without its target");
        place(entry, s, s.text);
        if (entry.kind != JournalEntry::Kind::KeyTree && entry.keys.size() > 1) fail(s, "a second key");
    }

    void value(JournalEntry& entry, RegStatement& s) {
        if (entry.keys.empty() || entry.keys.back().link) fail(s, "a value outside a key");
        CapturedValue value{std::move(s.name), {s.type, std::move(s.data)}};
        if (entry.kind == JournalEntry::Kind::KeyTree) {
            entry.keys.back().values.push_back(std::move(value));
            return;
        }
        if (entry.kind == JournalEntry::Kind::FileMove || valueSeen_) fail(s, "a value where none belongs");
        if (entry.kind == JournalEntry::Kind::DefaultValue && !value.name.empty()) fail(s, "a named value");
        entry.value = std::move(value);
        valueSeen_ = true;
    }

    // The entry just read holds everything of its kind.
    void finish() {
        if (entries_.empty()) return;
        JournalEntry& entry = entries_.back();
        using Kind = JournalEntry::Kind;
        const bool whole = entry.kind == Kind::FileMove ? !entry.from.empty() && !entry.to.empty()
                           : entry.kind == Kind::KeyTree ? !entry.keys.empty() && !(entry.keys.back().link && entry.keys.back().target.empty())
                                                         : valueSeen_;
        if (!whole) fail(first_, "a change that is not complete");
        if (entry.kind != Kind::KeyTree) entry.keys.clear();
        valueSeen_ = false;
    }

    std::vector<JournalEntry> entries_;
    RegStatement first_;
    bool valueSeen_ = false;
};

}  // namespace

std::u16string FormatHeader(const JournalHeader& h) {
    std::u16string command = Widen(h.command);
    for (auto& c : command)
        if (c == u'\r' || c == u'\n') c = u' ';
    std::u16string text = std::u16string(kRegFileHeader) + u"\r\n\r\n" + std::u16string(kTitle) + u"\r\n";
    text += u"; Command: " + command + u"\r\n";
    text += u"; Made: " + MadeText(h.made) + u"\r\n";
    if (h.format >= 2) text += u"; Format: " + Widen(std::to_string(h.format)) + u"\r\n";
    text += FormatCounts(h);
    text += std::u16string(u"; Undone: ") + (h.undone ? u"yes" : u"no ") + u"\r\n\r\n";
    return text;
}

std::u16string FormatCounts(const JournalHeader& h) {
    return u"; Changes: " + JournalNumber(h.changes, 10, false) + u"\r\n" + u"; Length: " + JournalNumber(h.length, 20, false) +
           u"\r\n" + u"; Checksum: " + JournalNumber(h.checksum, 16, true) + u"\r\n";
}

std::u16string FormatEntry(const JournalEntry& entry) {
    std::u16string text = u";" + std::u16string(kEntry);
    for (const auto& kind : kEntryKinds)
        if (kind.kind == entry.kind) text += kind.name;
    text += kCrLf;
    switch (entry.kind) {
        case JournalEntry::Kind::KeyTree:
            for (const auto& key : entry.keys) {
                if (key.link) {
                    text += u";" + std::u16string(kLink) + RegKeyText(entry.root, key.path) + u"\r\n";
                    text += u";" + std::u16string(kTarget) + HexByteList(key.target) + u"\r\n";
                    if (!key.security.empty()) text += u";" + std::u16string(kSecurity) + HexByteList(key.security) + u"\r\n";
                    text += kCrLf;
                    continue;
                }
                text += RegKeyLine(entry.root, key.path);
                if (!key.security.empty()) text += u";" + std::u16string(kSecurity) + HexByteList(key.security) + u"\r\n";
                for (const auto& value : key.values)
                    AppendRegValueLine(text, value.name, value.data.type, value.data.bytes);
                text += kCrLf;
            }
            break;
        case JournalEntry::Kind::Value:
        case JournalEntry::Kind::DefaultValue:
            text += RegKeyLine(entry.root, entry.keyPath);
            AppendRegValueLine(text, entry.value.name, entry.value.data.type, entry.value.data.bytes);
            text += kCrLf;
            break;
        case JournalEntry::Kind::FileMove:
            text += u";" + std::u16string(kFrom) + entry.from + u"\r\n";
            text += u";" + std::u16string(kTo) + entry.to + u"\r\n";
            if (entry.moved.known())
                text += u";" + std::u16string(kIdentity) + JournalNumber(entry.moved.volume, 8, true) + u"-" +
                        JournalNumber(entry.moved.file, 16, true) + u"\r\n";
            text += kCrLf;
            break;
    }
    return text;
}

JournalHeader ParseHeader(std::u16string_view text, std::size_t& entriesStart) {
    const std::u16string opening = std::u16string(kRegFileHeader) + u"\r\n\r\n" + std::u16string(kTitle) + u"\r\n";
    if (text.substr(0, opening.size()) != opening) throw JournalError("it is not an undo journal of this program");
    JournalHeader header;
    std::optional<std::u16string_view> command, made, format, changes, length, checksum, undone;
    const std::pair<std::u16string_view, std::optional<std::u16string_view>*> fields[] = {
        {u"; Command: ", &command}, {u"; Made: ", &made},         {u"; Format: ", &format},
        {u"; Changes: ", &changes}, {u"; Length: ", &length},     {u"; Checksum: ", &checksum},
        {u"; Undone: ", &undone},
    };
    std::size_t at = opening.size();
    for (;;) {
        const std::size_t end = text.find(kCrLf, at);
        if (end == std::u16string_view::npos) throw JournalError("it is truncated: its header does not end");
        const std::u16string_view line = text.substr(at, end - at);
        at = end + kCrLf.size();
        if (line.empty()) break;
        for (const auto& [prefix, slot] : fields)
            if (!After(line, prefix).empty() && !*slot) *slot = After(line, prefix);
    }
    if (!command || !made || !changes || !length || !checksum || !undone)
        throw JournalError("its header lacks what makes it whole");
    header.command = Utf16ToUtf8(std::u16string(*command));
    header.made = ParseMade(*made);
    // A journal of an earlier version has no format line; one of a later format is not read.
    header.format = format ? ParseNumber<int>(*format, 10, "format") : 1;
    if (header.format > kJournalFormat) throw JournalError("it was written by a later version of this program");
    header.changes = ParseNumber<std::uint64_t>(*changes, 10, "count of changes");
    header.length = ParseNumber<std::uint64_t>(*length, 10, "length");
    header.checksum = ParseNumber<std::uint64_t>(*checksum, 16, "checksum");
    header.undone = *undone == u"yes";
    entriesStart = at;
    return header;
}

std::vector<JournalEntry> ParseEntries(std::u16string_view entries) {
    RegDocument document;
    try {
        document = ParseRegText(std::u16string(kRegFileHeader) + u"\r\n" + std::u16string(entries));
    } catch (const std::runtime_error& e) {
        throw JournalError(std::string("its changes are malformed (") + e.what() + ")");
    }
    return EntryReader().read(document);
}

}  // namespace keltora
