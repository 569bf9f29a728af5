#pragma once
// A file held open through kernel32 for the undo journals: positioned writes and reads on one
// handle, FlushFileBuffers, SetEndOfFile.
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace keltora {

// CREATE_NEW: nullptr when the name exists (a link of that name included) or cannot be made.
std::unique_ptr<OpenedFile> CreateNewFile(const std::string& path);
// A plain file of a resolved folder (made when missing, with create), opened as FileSystem::
// openForUpdate says; nullptr and why when it cannot be.
std::unique_ptr<OpenedFile> OpenFileForUpdate(const std::u16string& path, bool create, FileActOutcome& why);
// FileSystem::openExact: by the "\\?\" form of an exact path, shared for reading, writing and
// deleting as other programs' database engines share their files, and only when the object
// opened is the plain file named.
std::unique_ptr<OpenedFile> OpenExactFile(const std::u16string& path, bool write, bool create);

}  // namespace keltora
