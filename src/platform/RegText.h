#pragma once
// Registry files as text, in the forms the registry editor writes and imports ("Windows Registry
// Editor Version 5.00", and the older REGEDIT4): a file's lines read into statements, and keys
// and values written as lines that carry names and data exactly. The memory registry reads its
// fixtures through it; the undo journals are written and read with it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"
#include "platform/RegistryApi.h"

namespace keltora {

inline constexpr char16_t kRegFileHeader[] = u"Windows Registry Editor Version 5.00";

struct RegStatement {
    enum class Kind { Comment, Key, DeleteKey, Value, DeleteValue };
    Kind kind = Kind::Comment;
    std::size_t line = 0;  // where it starts, counted from 1
    // Comment: the text after ';'. Key, DeleteKey: the key as written, its root's name first.
    std::u16string text;
    std::u16string name;  // Value, DeleteValue: the value's name; empty for the unnamed value
    std::uint32_t type = kRegNone;
    // Value: the bytes the file gives. Quoted text is UTF-16LE with its NUL; a hex list of a
    // string type is UTF-16LE in version 5.00 and 8-bit in REGEDIT4 (see RegDocument::version5).
    std::vector<std::uint8_t> data;
};

struct RegDocument {
    bool version5 = true;
    std::vector<RegStatement> statements;  // blank lines left out
};

// The statements of a file's text; std::runtime_error "line N: ..." when it is not one.
RegDocument ParseRegText(std::u16string_view text);

// A file's bytes as text: UTF-16LE after its byte-order mark, UTF-8 after its mark, otherwise
// 8-bit text through the code page.
std::u16string DecodeRegFile(const std::string& bytes, CodePage& codePage);
// Text as UTF-16LE bytes with the byte-order mark, as the registry editor writes its files.
std::string EncodeRegFile(const std::u16string& text);

// The root a key line names ("HKEY_LOCAL_MACHINE\..." or "HKLM\..."), and the path below it.
struct RegKeyName {
    HKey root = 0;
    std::u16string path;
};
std::optional<RegKeyName> SplitRegKey(std::u16string_view key);
// HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER or HKEY_CLASSES_ROOT, then "\" and the path.
std::u16string RegKeyText(HKey root, const std::u16string& path);

// Bytes as two lower-case hex digits each, separated by commas ("0a,ff"), on one line; and read
// back (none when the text is not such a list; the empty text is no bytes).
std::u16string HexByteList(const std::vector<std::uint8_t>& bytes);
std::optional<std::vector<std::uint8_t>> ParseHexByteList(std::u16string_view text);

// Whether a key or value name can stand in a file exactly: no line break and no NUL.
bool RegNameWritable(std::u16string_view name);
// "[key]" for a key, CR LF ended.
std::u16string RegKeyLine(HKey root, const std::u16string& path);
// A value as its line(s), CR LF ended, added to the end of out: a terminated plain string quoted,
// a four-byte DWORD as dword:, REG_BINARY as hex:, everything else as hex(N): with its exact
// bytes; long hex lists broken as the registry editor breaks them.
void AppendRegValueLine(std::u16string& out, const std::u16string& name, std::uint32_t type,
                        const std::vector<std::uint8_t>& data);

}  // namespace keltora
