#pragma once
// What a file or folder is, whatever path reaches it: the serial number of its volume and its
// file ID on that volume. A second drive letter for the same folder (subst, a mapped share) or a
// folder reached through a junction gives the same identity; a link gives its own.
#include <cstdint>

namespace keltora {

struct FileIdentity {
    std::uint32_t volume = 0;
    std::uint64_t file = 0;  // 0: the system did not tell
    bool known() const { return file != 0; }
    bool operator==(const FileIdentity&) const = default;
};

}  // namespace keltora
