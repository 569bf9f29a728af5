#pragma once
// The one rule for folders the program lists and acts in, whether a registry value names them
// (the Shell Folders values, the program-files folder, the system root) or the system reports
// them (the temporary folder). A folder counts only as the system will resolve it: '/' is '\',
// doubled separators, "." and ".." and the "\\?\" and "\\.\" prefixes are resolved, environment
// variables are not expanded (an unexpanded "%USERPROFILE%\x" is relative to the current folder).
#include <optional>
#include <string>
#include <string_view>

namespace keltora {

struct ResolvedFolder {
    // "C:\Users\pat" or "\\server\share\x"; a drive root keeps its '\' ("C:\"), a share root is
    // "\\server\share".
    std::u16string path;
    bool root = false;  // a drive root or the root of a share
};

// The absolute folder a text names, drive roots and share roots included; nullopt for an empty,
// relative ("rel", "\X") or drive-relative ("C:", "C:X") text, a device path, or one with a part
// Windows would read differently from how it is written (a trailing dot or blank, a wildcard, a
// character a name cannot hold).
std::optional<ResolvedFolder> ResolveFolder(std::u16string_view text);

// A folder a category may list or the program may keep its files in: an absolute folder below a
// drive root or a share, never a root itself.
std::optional<std::u16string> UsableFolder(std::u16string_view text);

// Whether a folder text is already in the form ResolveFolder gives it, so that the system reads
// it as written (a "\\?\" path made from it names the same folder).
bool IsResolvedFolder(std::u16string_view folder);

// A name of one folder entry that the system reads as written when it is given after "\\?\":
// not empty, not "." or "..", and without '\', '/', ':' (a stream), wildcards, '"', '<', '>',
// '|' or control characters. A trailing dot or blank is allowed there.
bool IsExactEntryName(std::u16string_view name);

}  // namespace keltora
