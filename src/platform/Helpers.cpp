#include "platform/Helpers.h"

#include <cstdio>
#include <cstdlib>

#include "platform/FileMask.h"
#include "platform/Registry2.h"

namespace keltora {

namespace {

// RegOpenKeyA, then RegQueryValueExA into a buffer of `capacity` bytes, or of the data's own size
// when capacity is 0. Only a terminating NUL is dropped: data stored without one is read whole.
std::string ReadString(RegistryApi& api, HKey root, const std::string& path, const std::string& name,
                       std::uint32_t capacity) {
    HKey key = 0;
    // RegOpenKeyA asks for whatever access the caller may have.
    if (api.openKey(root, path, kMaximumAllowedAccess, key) != kErrorSuccess) return {};
    std::uint32_t size = capacity, type = 0;
    long rc = capacity != 0 ? kErrorSuccess : api.queryValue(key, name, &type, nullptr, &size);
    std::string text;
    bool read = false;
    // Another program may make the value longer between the two calls: ask again with its new size.
    for (int attempt = 0; rc == kErrorSuccess && !read && attempt < 8; ++attempt) {
        text.resize(size);
        rc = api.queryValue(key, name, &type, reinterpret_cast<std::uint8_t*>(text.data()), &size);
        read = rc == kErrorSuccess;
        if (rc == kErrorMoreData && capacity == 0) rc = kErrorSuccess;
    }
    api.closeKey(key);
    if (!read) return {};
    text.resize(size);
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

}  // namespace

std::string RegReadString(RegistryApi& api, HKey root, const std::string& path, const std::string& name) {
    return ReadString(api, root, path, name, kStringReadBuffer);
}

void SettingsWrite(RegistryApi& api, HKey root, const std::string& path, const std::string& name,
                   const std::string& value, int type) {
    TRegistry reg(api, kKeyWrite);
    reg.SetRootKey(root);
    if (!reg.OpenKey(path, true)) throw EOSError(api.systemMessage(reg.LastError()));
    if (type == static_cast<int>(SettingType::Present)) {
        switch (reg.GetDataType(name)) {
            case TRegDataType::String: type = 1; break;
            case TRegDataType::ExpandString: type = 2; break;
            case TRegDataType::Integer: type = 3; break;
            case TRegDataType::Binary: type = 4; break;
            case TRegDataType::Unknown: type = -1; break;
        }
    }
    switch (type) {
        case 1: reg.WriteString(name, value); break;
        case 2: reg.WriteExpandString(name, value); break;
        case 3: reg.WriteInteger(name, static_cast<std::int32_t>(std::strtol(value.c_str(), nullptr, 10))); break;
        case 4: reg.WriteBinaryData(name, std::vector<std::uint8_t>(value.begin(), value.end())); break;
        default: throw EOSError(api.systemMessage(kErrorBadConfiguration));
    }
}

std::vector<std::string> FileNames(FileSystem& fs, const std::string& folder, const std::string& mask) {
    std::vector<std::string> names;
    for (const auto& found : fs.find(folder + mask))
        if (MatchesMask(mask, found.name)) names.push_back(found.name);
    return names;
}

void ListFiles(FileSystem& fs, const std::string& folder, const std::string& mask, std::vector<std::string>& list) {
    list = FileNames(fs, folder, mask);
    for (auto& name : list) name.insert(name.begin(), ' ');
}

std::string FileSizeText(FileSystem& fs, const std::string& path) {
    auto found = fs.find(fs.fullPath(path));
    if (found.empty()) return "-1";
    return std::to_string(found.front().size);
}

std::string SizeText(std::int64_t n) {
    struct Unit {
        std::int64_t size;
        const char* suffix;
    };
    static constexpr Unit kUnits[] = {{1LL << 30, " GB"}, {1LL << 20, " MB"}, {1LL << 10, " KB"}};
    for (const auto& unit : kUnits) {
        if (n / unit.size != 0) {
            char text[64];
            std::snprintf(text, sizeof text, "%.2f%s", static_cast<double>(n) / static_cast<double>(unit.size),
                          unit.suffix);
            return text;
        }
    }
    return std::to_string(n) + " bytes";
}

std::string SizeText(const std::string& decimal) { return SizeText(std::strtoll(decimal.c_str(), nullptr, 10)); }

std::string RemoveSubstring(const std::string& pattern, const std::string& text) {
    if (pattern.empty()) return text;
    std::string result = text;
    for (auto pos = result.find(pattern); pos != std::string::npos; pos = result.find(pattern)) {
        result.erase(pos, pattern.size());
    }
    return result;
}

std::optional<std::string> ExpandVariables(const std::string& text,
                                           const std::function<std::optional<std::string>(const std::string&)>& lookup) {
    std::string expanded;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            expanded.append(text, at, std::string::npos);
            break;
        }
        expanded.append(text, at, open - at);
        // "%%": the first '%' stays, and the second may open a name.
        if (close == open + 1) {
            expanded += '%';
            at = close;
            continue;
        }
        const auto value = lookup(text.substr(open + 1, close - open - 1));
        if (!value) return std::nullopt;
        expanded += *value;
        at = close + 1;
    }
    return expanded;
}

// A folder of any length: a path longer than the string read's buffer is a folder all the same.
std::string ShellFolder(RegistryApi& api, const std::string& name) {
    return ReadString(api, kHKeyCurrentUser, kShellFoldersKey, name, 0);
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of("\\/:") == std::string::npos;
}

namespace {
std::u16string ExactEntryName(const FoundFile& entry, CodePage* codePage) {
    if (!entry.wideName.empty()) return entry.wideName;
    if (codePage) return codePage->toWide(entry.name);
    std::u16string ascii;
    for (const char c : entry.name) {
        if (static_cast<unsigned char>(c) >= 0x80) return {};
        ascii += static_cast<char16_t>(c);
    }
    return ascii;
}
}  // namespace

FileActOutcome DeleteListedEntry(FileSystem& files, CodePage* codePage, const std::u16string& folder,
                                 const std::u16string& name, bool emptyFolder) {
    const auto listing = files.listFolder(folder);
    if (!listing) return {FileActResult::Failed, FileActFault::Unlisted};
    return DeleteEntryOfListing(files, codePage, folder, *listing, name, emptyFolder);
}

FileActOutcome DeleteEntryOfListing(FileSystem& files, CodePage* codePage, const std::u16string& folder,
                                    const FolderListing& listing, const std::u16string& name, bool emptyFolder) {
    for (const auto& entry : listing.entries) {
        const std::u16string exact = ExactEntryName(entry, codePage);
        if (exact.empty()) continue;
        if (!MatchesMask(name, exact)) continue;
        if (entry.isReparsePoint()) return {FileActResult::Unsafe, FileActFault::Link};
        const std::u16string path = folder.ends_with(u'\\') ? folder + exact : folder + u'\\' + exact;
        FileAct act{path, u"", false, entry.identity, listing.folder};
        act.emptyFolder = emptyFolder;
        return files.act(act);
    }
    return {FileActResult::Absent};
}

bool FileSystem::heldElsewhere(const std::u16string& path) {
    const auto file = openExact(path, true, false);
    return !file || !file->lock(true);
}

bool FileSystem::createDirectories(const std::string& path) {
    if (path.empty()) return false;
    if (isDirectory(path)) return true;
    auto cut = path.find_last_of('\\');
    if (cut != std::string::npos && cut > 0) {
        std::string parent = path.substr(0, cut);
        if (parent.size() > 2 || (parent.size() == 2 && parent[1] != ':')) createDirectories(parent);
    }
    createDirectory(path);
    return isDirectory(path);
}

}  // namespace keltora
