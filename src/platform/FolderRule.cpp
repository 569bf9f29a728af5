#include "platform/FolderRule.h"

#include <vector>

namespace keltora {
namespace {

bool isLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

char16_t upperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (upperAscii(text[i]) != upperAscii(prefix[i])) return false;
    return true;
}

bool forbidden(char16_t c) { return c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos; }

// A folder part the system keeps as written: a trailing dot or blank would be dropped by it.
bool plainPart(std::u16string_view part) {
    for (char16_t c : part)
        if (forbidden(c)) return false;
    return part.back() != u'.' && part.back() != u' ';
}

std::vector<std::u16string_view> split(std::u16string_view text) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(u'\\', start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Resolves "." and ".." (never above the root) and refuses parts the system would change.
std::optional<std::vector<std::u16string_view>> resolveParts(std::u16string_view rest) {
    std::vector<std::u16string_view> parts;
    for (auto part : split(rest)) {
        if (part == u".") continue;
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        if (!plainPart(part)) return std::nullopt;
        parts.push_back(part);
    }
    return parts;
}

std::u16string joined(std::u16string base, const std::vector<std::u16string_view>& parts) {
    for (auto part : parts) (base += u'\\') += part;
    return base;
}

// "C:\..." below the drive root; "C:" and "C:X" are relative to the current folder of that drive.
std::optional<ResolvedFolder> driveFolder(std::u16string_view text) {
    if (text.size() == 2 || text[2] != u'\\') return std::nullopt;
    auto parts = resolveParts(text.substr(3));
    if (!parts) return std::nullopt;
    const std::u16string drive(text.substr(0, 2));
    return ResolvedFolder{parts->empty() ? drive + u"\\" : joined(drive, *parts), parts->empty()};
}

// "\\server\share" and what is below it.
std::optional<ResolvedFolder> shareFolder(std::u16string_view text) {
    std::size_t at = 2;
    std::u16string_view names[2];
    for (auto& name : names) {
        while (at < text.size() && text[at] == u'\\') ++at;
        const auto end = std::min(text.find(u'\\', at), text.size());
        name = text.substr(at, end - at);
        at = end;
        if (name.empty() || name == u"." || name == u".." || !plainPart(name)) return std::nullopt;
    }
    auto parts = resolveParts(text.substr(at));
    if (!parts) return std::nullopt;
    const std::u16string share = u"\\\\" + std::u16string(names[0]) + u"\\" + std::u16string(names[1]);
    return ResolvedFolder{joined(share, *parts), parts->empty()};
}

}  // namespace

std::optional<ResolvedFolder> ResolveFolder(std::u16string_view input) {
    std::u16string text(input);
    for (auto& c : text)
        if (c == u'/') c = u'\\';
    std::u16string_view rest = text;
    const bool prefixed = rest.starts_with(u"\\\\?\\") || rest.starts_with(u"\\\\.\\");
    if (prefixed) rest.remove_prefix(4);
    if (prefixed && startsWithNoCase(rest, u"UNC\\")) return shareFolder(u"\\" + std::u16string(rest.substr(3)));
    if (rest.size() >= 2 && isLetter(rest[0]) && rest[1] == u':') return driveFolder(rest);
    if (prefixed || !rest.starts_with(u"\\\\")) return std::nullopt;  // a device, a volume, a rooted or a relative path
    return shareFolder(rest);
}

std::optional<std::u16string> UsableFolder(std::u16string_view text) {
    auto folder = ResolveFolder(text);
    if (!folder || folder->root) return std::nullopt;
    return std::move(folder->path);
}

bool IsResolvedFolder(std::u16string_view folder) {
    const auto resolved = ResolveFolder(folder);
    return resolved && resolved->path == folder;
}

bool IsWithinFolder(std::u16string_view folder, std::u16string_view container) {
    if (container.empty() || !startsWithNoCase(folder, container)) return false;
    // "C:\Users\pat" holds "C:\Users\pat\x", not "C:\Users\patrick"; a drive root ends in '\'.
    return folder.size() == container.size() || container.back() == u'\\' || folder[container.size()] == u'\\';
}

UserFolderVerdict CheckUserFolder(std::u16string_view folder, const std::optional<std::u16string>& profile,
                                  const std::vector<std::u16string>& machineFolders) {
    if (!profile || profile->empty()) return UserFolderVerdict::NoProfile;
    if (folder.size() == profile->size() || !IsWithinFolder(folder, *profile)) return UserFolderVerdict::OutsideProfile;
    for (const auto& machine : machineFolders)
        if (IsWithinFolder(folder, machine) || IsWithinFolder(machine, folder)) return UserFolderVerdict::MachineFolder;
    return UserFolderVerdict::Allowed;
}

bool IsExactEntryName(std::u16string_view name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    for (char16_t c : name)
        if (forbidden(c)) return false;
    return true;
}

}  // namespace keltora
