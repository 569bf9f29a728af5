#pragma once
// The system's registry editor as the memory machine has it: "/e" exports the whole registry
// into a file, "/s" imports one. A test can make it fail instead.
#include <string>

#include "platform/memory/RegFile.h"
#include "support/World.h"

namespace keltora::testing {

enum class EditorBehaviour { Works, WritesNothing, Fails, NeverEnds };

inline void InstallRegistryEditor(World& world, const EditorBehaviour& behaviour) {
    world.machine.shell.onRun([&world, &behaviour](const ShellCall& call) -> std::optional<std::uint32_t> {
        if (call.target != "C:\\Windows\\regedit.exe") return 1;
        if (behaviour == EditorBehaviour::NeverEnds) return std::nullopt;
        if (behaviour == EditorBehaviour::Fails) return 1;
        const std::string path = call.parameters.substr(4, call.parameters.size() - 5);  // /x "path"
        if (call.parameters.rfind("/e ", 0) == 0) {
            if (behaviour == EditorBehaviour::Works) world.files().writeFile(path, ExportRegFile(world.registry()));
            return 0;
        }
        if (call.parameters.rfind("/s ", 0) == 0) {
            auto text = world.files().readFile(path);
            if (!text) return 1;
            ApplyRegFile(world.registry(), *text);
            return 0;
        }
        return 1;
    });
}

}  // namespace keltora::testing
