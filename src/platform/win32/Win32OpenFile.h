#pragma once
// A file held open through kernel32 for the undo journals: positioned writes and reads on one
// handle, FlushFileBuffers, SetEndOfFile.
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace keltora {

// CREATE_NEW: nullptr when the name exists (a link of that name included) or cannot be made.
std::unique_ptr<OpenedFile> CreateNewFile(const std::string& path);
// An existing plain file, never reached through a link or another reparse point.
std::unique_ptr<OpenedFile> OpenFileForUpdate(const std::string& path);
// FileSystem::openExact: by the "\\?\" form of an exact path, shared for reading, writing and
// deleting as other programs' database engines share their files, and only when the object
// opened is the plain file named.
std::unique_ptr<OpenedFile> OpenExactFile(const std::u16string& path, bool write, bool create);

}  // namespace keltora
