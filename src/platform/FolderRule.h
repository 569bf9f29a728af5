#pragma once
// The one rule for folders the program lists and acts in, whether a registry value names them
// (the Shell Folders values, the program-files folder, the system root) or the system reports
// them (the temporary folder). A folder counts only as the system will resolve it: '/' is '\',
// doubled separators, "." and ".." and the "\\?\" and "\\.\" prefixes are resolved, environment
// variables are not expanded (an unexpanded "%USERPROFILE%\x" is relative to the current folder).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Whether a folder is the container or lies below it, part by whole part, ignoring the case of
// ASCII letters (a folder whose name differs otherwise counts as another: the side to err on).
// Both in the form ResolveFolder gives.
bool IsWithinFolder(std::u16string_view folder, std::u16string_view container);

// The profile rule, for every folder taken from per-user data: the Shell Folders values, the
// user's TEMP and TMP, a known folder the user can redirect, anything below HKEY_CURRENT_USER. Any
// program the user runs can change those, so a process with more rights than the user (elevated,
// or started by the scheduled task) would be steered by them. Such a folder is acted on only
// strictly inside the user's profile folder as Windows records it (which the user cannot
// redirect), and never in, or around, one of the machine's folders (the Windows folder, the
// program-files folders) even where the profile holds one. The machine's own folders (from HKLM)
// keep their rules. Folders in the form ResolveFolder gives; an empty machine folder is none.
enum class UserFolderVerdict {
    Allowed,
    NoProfile,       // the system does not tell the profile folder (or it is unusable)
    OutsideProfile,  // not strictly inside the profile folder
    MachineFolder,   // inside or around the Windows or a program-files folder
};
UserFolderVerdict CheckUserFolder(std::u16string_view folder, const std::optional<std::u16string>& profile,
                                  const std::vector<std::u16string>& machineFolders);

}  // namespace keltora
