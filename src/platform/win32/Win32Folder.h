#pragma once
// Folders and entries as the file act and the listing reach them: a folder opened as itself,
// never through a final link; an entry opened by its exact name relative to an open folder,
// never following a link; what an open object is; and the entries of an open folder with their
// file IDs.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/win32/Win32Handle.h"

namespace keltora {

// Whatever other programs do with an object this program opens.
inline constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What an open object is, as the system says: its identity and its attributes.
struct HandleFacts {
    FileIdentity identity;
    DWORD attributes = 0;
    bool isDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool isReparsePoint() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};
bool FactsOf(HANDLE object, HandleFacts& facts);
// Only the attributes of an open object, for a caller that does not compare identities: without
// the volume, which FactsOf asks for (see below).
bool AttributesOf(HANDLE object, DWORD& attributes);
// What an open object is, its volume known from elsewhere (an entry opened in an open folder lies
// on that folder's volume), and where the system places it on that volume, in one query.
// FactsOf asks for the volume as well, which Wine answers through its mount manager at a cost
// far above the rest of a file's delete or a small folder's listing.
bool FactsOnVolume(HANDLE object, std::uint32_t volume, HandleFacts& facts, std::u16string& pathOnVolume);
// The path of an open object on its volume, as the system names it (any length, whatever drive
// letter or link led to it); empty when the system does not say.
std::u16string PathOnVolume(HANDLE object);

// A full path as its folder (a drive root keeping its '\') and the name in it; false when it has
// no folder part.
bool SplitEntryPath(const std::u16string& path, std::u16string& folder, std::u16string& name);

// A resolved folder opened through "\\?\" as itself: Done with the handle (and, when asked,
// what it is), Absent, Unsafe (Link) when it is a link or another reparse point, Failed with the
// system's error. listedAs: as FileSystem::listFolder takes it.
FileActOutcome OpenPlainFolder(const std::u16string& folder, DWORD access, ScopedHandle& opened,
                               HandleFacts* facts = nullptr, const FileIdentity& listedAs = {});

// The entry name of an open folder, as written, itself even when it is a link; disposition
// FILE_OPEN, FILE_OPEN_IF or FILE_CREATE (the last two make a file, never a folder). The Win32
// error code, 0 when opened.
DWORD OpenInFolder(HANDLE folder, const std::u16string& name, ACCESS_MASK access, ULONG disposition,
                   ScopedHandle& opened, ULONG share = kShareAll);
// The system places an entry opened in a folder opened, under that name. Wine opens a Unix link
// as what it leads to even when asked not to, and lists a link to a file as that file, identity
// and all: only where the system says the object is tells the two apart.
bool PlacedIn(HANDLE folder, HANDLE entry, const std::u16string& name);
// The same, by the two paths on the volume the system gave (PathOnVolume, FactsOnVolume).
bool PlacedAt(const std::u16string& folderOnVolume, const std::u16string& entryOnVolume, const std::u16string& name);
// Whether an object opened by a full path (by another library) is the plain file that path
// names: no link, no folder, placed under that name in its folder opened as itself.
bool IsHandleOfFile(HANDLE file, const std::u16string& path);
// Renames an open object to name in an open folder, never over an entry there. The Win32 error
// code, 0 when renamed.
DWORD RenameIntoFolder(HANDLE object, HANDLE folder, const std::u16string& name);

// One entry of an open folder as FileIdBothDirectoryInfo reports it; its name lives only as long
// as the call it is given to.
struct FolderEntry {
    std::u16string_view name;
    DWORD attributes = 0;
    std::uint64_t size = 0;
    std::uint64_t fileId = 0;
    std::uint64_t lastWritten = 0;  // a FILETIME
};
// Every entry of an open folder (opened with FILE_LIST_DIRECTORY), "." and ".." left out; false
// when the folder cannot be read to its end.
bool ListOpenFolder(HANDLE folder, const std::function<void(const FolderEntry&)>& each);


}  // namespace keltora
