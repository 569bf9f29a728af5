#pragma once
// One of each memory backend, handed to the code under test as its Platform.
#include "platform/Platform.h"
#include "platform/memory/AnsiCodePage.h"
#include "platform/memory/MemoryAccount.h"
#include "platform/memory/FakeClock.h"
#include "platform/memory/MemoryClipboard.h"
#include "platform/memory/MemoryCommandLock.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemoryShell.h"

namespace keltora {

class MemoryPlatform {
public:
    MemoryPlatform() = default;
    MemoryPlatform(const MemoryPlatform&) = delete;
    MemoryPlatform& operator=(const MemoryPlatform&) = delete;

    Platform& platform() { return platform_; }

    MemoryRegistry registry;
    MemoryFileSystem files;
    MemoryShell shell;
    MemoryClipboard clipboard;
    FakeClock clock;
    MemoryCodePage codePage;
    MemoryAccount account;
    MemoryCommandLock commandLock;

private:
    Platform platform_{registry, files, shell, clipboard, clock, codePage, account, commandLock};
};

}  // namespace keltora
