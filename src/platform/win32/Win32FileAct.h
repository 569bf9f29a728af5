#pragma once
// FileSystem::act on the real file system.
#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "platform/win32/Win32Folder.h"

namespace keltora {

// A folder of listed files opened as itself and found to be the folder the listing saw, with
// where the system places it. A removal may keep it open from one act to the next in the same
// folder (FileSystem::keepActFolder), so that the files of one folder do not each open it again.
struct ActFolder {
    std::u16string path;  // as the acts name it
    ScopedHandle handle;
    HandleFacts facts;
    std::u16string onVolume;  // PathOnVolume
};

// kept, when given, holds the folder of the last act: it is used when this act is in the same
// folder as the same listing saw it (and closed first otherwise), and holds this act's folder
// afterwards.
FileActOutcome ActOnListedFile(const FileAct& act, std::unique_ptr<ActFolder>* kept = nullptr);

}  // namespace keltora
