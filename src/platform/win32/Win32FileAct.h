#pragma once
// FileSystem::act on the real file system.
#include "platform/FileSystem.h"

namespace keltora {

FileActOutcome ActOnListedFile(const FileAct& act);

}  // namespace keltora
