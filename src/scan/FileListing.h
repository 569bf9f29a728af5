#pragma once
// How every category that lists files reads a folder: only a folder the folder rule allows, never
// into or through a link, every entry with its exact name, and only the names whose long form
// the mask matches.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "scan/Finding.h"

namespace keltora {

// A folder a category lists: resolved as the system resolves it, and as its findings show it.
struct ListedFolder {
    std::u16string path;  // "C:\Users\pat\Cookies"; a drive root keeps its '\' ("C:\")
    std::string ansi;     // the same as the ANSI texts show it
    bool exact = true;    // whether ansi names path exactly
    // What the folder is as a listing saw it (the walk that went down into it, EntryFolder);
    // unknown for a folder a value names.
    FileIdentity identity{};

    // The text of a "Path Location" column: the folder with a trailing '\'.
    std::string column() const;
    // The folder with one more part.
    std::u16string below(std::u16string_view name) const;
};

// The folder a value names (read from the registry, or reported by the system) when the folder
// rule allows it and the folder itself is no link; nullopt otherwise, and then nothing is listed.
std::optional<ListedFolder> ValueFolder(Platform& platform, const std::string& value);
std::optional<ListedFolder> ValueFolder(Platform& platform, const std::u16string& value);
// A fixed folder below a listed one ("History.IE5", "system32\wbem\Logs"), when no part of the
// way is a link; nullopt otherwise.
std::optional<ListedFolder> Subfolder(Platform& platform, const ListedFolder& folder, std::u16string_view relative);
// The drive root a folder is on ("C:\"); nullopt for a folder on a share.
std::optional<ListedFolder> DriveRootOf(Platform& platform, const ListedFolder& folder);

// A file a scan reports: the folder it was listed in, its entry as listed, its exact name. The
// files of one listing share their folder.
struct FoundPath {
    std::shared_ptr<const ListedFolder> in;
    FoundFile file;
    // The exact name where the ANSI name is not that name in ASCII; empty otherwise (most names,
    // which a walk of many thousand files then need not copy).
    std::u16string otherName;
    const ListedFolder& folder() const { return *in; }
    // The name exactly as the file system keeps it.
    std::u16string name() const;
};

// The entries of the folder whose long names the mask matches, in the order the file system
// returns them, each with what it and the folder are: without "." and "..", without any name
// that could reach outside the folder, and without links (reparse points). Nothing when the
// folder itself has become a link.
std::vector<FoundFile> ListEntries(Platform& platform, const ListedFolder& folder, std::u16string_view mask);
// A listed entry's name exactly as the file system keeps it.
std::u16string ExactName(const FoundFile& entry, CodePage& codePage);
void CollectEntries(Platform& platform, const ListedFolder& folder, std::u16string_view mask,
                    std::vector<FoundPath>& out);
FoundPath Found(Platform& platform, std::shared_ptr<const ListedFolder> folder, FoundFile entry);
// The folder an entry of a listed folder is, for a walk that goes down into it.
ListedFolder EntryFolder(Platform& platform, const ListedFolder& folder, const FoundFile& entry);

// A finding of a found file: its caption the ANSI name; where the ANSI texts are not exact, the
// exact name and folder (Finding::exactName, exactLocation) that its removal acts on.
Finding FileFinding(const FoundPath& found, std::vector<std::string> subItems);
// The sub-items of a file's finding in column order, moved in rather than copied (a list of many
// thousand files makes them all).
std::vector<std::string> FileSubItems(std::string report, std::string_view detail, std::string folder, std::string size);

}  // namespace keltora
