#pragma once
// What the backup commands may act on: a regular file with a plain name directly in the Backups
// folder, and, for a restore, a file the registry editor would read as a registry export.
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace keltora {

// A name Windows keeps as exactly this one file of the folder, ending in ".reg": no folder
// part, no character a file name cannot hold, no trailing dot or blank that Windows would strip
// (naming another file), no device name such as "CON.reg", and not a short 8.3 name's match.
bool IsBackupFileName(const std::string& name);

// A file and nothing else: no folder, device, link or other reparse point, whose target could
// be anywhere.
bool IsRegularFile(const FoundFile& found);

// Whether the start of a file is the start of a registry export: "Windows Registry Editor
// Version 5.00" or "REGEDIT4" on a line of its own, in UTF-16LE after its byte-order mark or in
// 8-bit text (a UTF-8 byte-order mark allowed).
bool IsRegistryExport(std::string_view start);
// How much of a file IsRegistryExport needs.
inline constexpr std::size_t kExportHeaderBytes = 128;

}  // namespace keltora
