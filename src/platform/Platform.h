#pragma once
// Everything the core reaches the system through, handed to each part that needs it.
#include "platform/Account.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/CommandLock.h"
#include "platform/FileSystem.h"
#include "platform/RegistryApi.h"
#include "platform/Shell.h"

namespace keltora {

struct Platform {
    RegistryApi& registry;
    FileSystem& files;
    Shell& shell;
    Clipboard& clipboard;
    Clock& clock;
    CodePage& codePage;
    Account& account;
    CommandLock& commandLock;
};

}  // namespace keltora
