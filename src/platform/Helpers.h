#pragma once
// The small operations every scanner is built from: the registry string read, the settings
// write, the folder listing, the size texts, the substring remover and the shell-folder lookup.
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/RegistryApi.h"

namespace keltora {

// Raised by the settings write with the system's message text.
class EOSError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The size of the buffer the string read uses: 255 characters and the terminating NUL.
constexpr std::uint32_t kStringReadBuffer = 256;

// Value data of path\name below root as text (only a terminating NUL dropped); empty on any
// failure or when it does not fit the 256 bytes of the string read.
std::string RegReadString(RegistryApi& api, HKey root, const std::string& path, const std::string& name);

enum class SettingType { Present = 0, String = 1, ExpandString = 2, Integer = 3, Binary = 4 };
// Creates the key when missing and writes the value; raises EOSError or ERegistryException.
void SettingsWrite(RegistryApi& api, HKey root, const std::string& path, const std::string& name,
                   const std::string& value, int type);

// Names (each behind one blank) of everything folder + mask finds, directories, "." and ".."
// included, whose long name the mask matches (the system's listing also matches 8.3 names). The
// folder ends in '\'.
void ListFiles(FileSystem& fs, const std::string& folder, const std::string& mask, std::vector<std::string>& list);
// The same names as they are, without the blank.
std::vector<std::string> FileNames(FileSystem& fs, const std::string& folder, const std::string& mask);

// Size in bytes of the first match of path, as decimal text; "-1" when nothing matches.
std::string FileSizeText(FileSystem& fs, const std::string& path);
// "1.50 KB", "3.00 GB", "12 bytes" from a decimal text; a text that is no number reads as 0.
std::string SizeText(const std::string& decimal);
std::string SizeText(std::int64_t bytes);

// text with each %name% replaced as ExpandEnvironmentStrings replaces it, by lookup(name) (which
// answers for the name in any case); nullopt when a variable has no value, as such text would name
// another path than the one meant. A '%' without a name after it stays as written.
std::optional<std::string> ExpandVariables(const std::string& text,
                                           const std::function<std::optional<std::string>(const std::string&)>& lookup);

// Removes the first occurrence of pattern again and again until none is left (case-sensitive).
std::string RemoveSubstring(const std::string& pattern, const std::string& text);

// A name that names one entry of a folder: no separators, no drive, not "." or "..".
bool IsPlainFileName(const std::string& name);

// Deletes the entry of a resolved folder whose name is this one exactly (no wildcards; the case
// of letters aside, as Windows names match), as a listing of that folder sees it: never a link,
// and only the very file the listing saw. Without a code page an entry whose ANSI name is not
// plain ASCII is known by its exact wide name only (a database engine deleting its own journals,
// whose names are ASCII). With emptyFolder the entry is a folder, deleted only when it is empty
// (a removal's folders it emptied), and nothing else.
FileActOutcome DeleteListedEntry(FileSystem& files, CodePage* codePage, const std::u16string& folder,
                                 const std::u16string& name, bool emptyFolder = false);
// The same by a listing of that folder already made, for a caller that deletes several of its
// entries (a listing stays true of an entry's identity while others go; the act checks it again).
FileActOutcome DeleteEntryOfListing(FileSystem& files, CodePage* codePage, const std::u16string& folder,
                                    const FolderListing& listing, const std::u16string& name, bool emptyFolder = false);

// A folder of the user's Shell Folders key, of any length, without trailing '\'; empty when
// missing.
std::string ShellFolder(RegistryApi& api, const std::string& name);

constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

}  // namespace keltora
