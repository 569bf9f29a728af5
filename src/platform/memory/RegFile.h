#pragma once
// Registry files as the registry editor writes them: "Windows Registry Editor Version 5.00"
// (UTF-16LE with its byte-order mark, or 8-bit) and REGEDIT4 (8-bit). The reader applies a
// file to any registry, so the same fixtures fill the memory registry in native tests and the
// real one under Wine.
#include <string>

#include "platform/RegistryApi.h"

namespace keltora {

// Creates keys, sets and deletes values and deletes subtrees as the text says. Throws
// std::runtime_error naming the line when the text is malformed or the registry refuses a key.
void ApplyRegFile(RegistryApi& registry, const std::string& text);
// The same for a file of the host's file system; the error also names the file.
void ApplyRegFileAt(RegistryApi& registry, const std::string& path);

// The registry as a version 5.00 file in 8-bit text with CRLF lines: HKEY_LOCAL_MACHINE (which
// holds the classes HKEY_CLASSES_ROOT shows) and HKEY_CURRENT_USER. Keys that cannot be read
// are left out.
std::string ExportRegFile(RegistryApi& registry);

}  // namespace keltora
