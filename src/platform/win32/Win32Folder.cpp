#include "platform/win32/Win32Folder.h"

#include <winternl.h>

#include <cstring>
#include <vector>

#include "platform/FolderRule.h"
#include "platform/win32/Win32Paths.h"

namespace keltora {

namespace {

// Only "not found" says a file is not there; access denied and every other failure say nothing.
bool notFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

FileActOutcome failed(DWORD error) {
    return notFound(error) ? FileActOutcome{FileActResult::Absent}
                           : FileActOutcome{FileActResult::Failed, FileActFault::System, static_cast<long>(error)};
}

constexpr auto kFileRenameInformation = static_cast<FILE_INFORMATION_CLASS>(10);
constexpr auto kBufferOverflow = static_cast<NTSTATUS>(0x80000005L);  // STATUS_BUFFER_OVERFLOW

bool sameNoCase(const std::u16string& a, const std::u16string& b) {
    return CompareStringOrdinal(WideText(a), static_cast<int>(a.size()), WideText(b), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace

bool FactsOf(HANDLE object, HandleFacts& facts) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(object, &info)) return false;
    facts.identity = {info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    facts.attributes = info.dwFileAttributes;
    return true;
}

bool AttributesOf(HANDLE object, DWORD& attributes) {
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(object, FileBasicInfo, &basic, sizeof basic)) return false;
    attributes = basic.FileAttributes;
    return true;
}

// FileAllInformation holds the attributes and file ID GetFileInformationByHandle reads from it,
// and the name FileNameInfo gives; it is the volume that costs.
bool FactsOnVolume(HANDLE object, std::uint32_t volume, HandleFacts& facts, std::u16string& pathOnVolume) {
    for (std::size_t units : {std::size_t{MAX_PATH}, std::size_t{32768}}) {
        std::vector<LONGLONG> buffer((sizeof(FILE_ALL_INFORMATION) + units * sizeof(WCHAR)) / sizeof(LONGLONG) + 1);
        IO_STATUS_BLOCK io{};
        const NTSTATUS status = NtQueryInformationFile(object, &io, buffer.data(),
                                                       static_cast<ULONG>(buffer.size() * sizeof(LONGLONG)),
                                                       FileAllInformation);
        if (status == kBufferOverflow) continue;
        if (status < 0) {
            SetLastError(RtlNtStatusToDosError(status));
            return false;
        }
        const auto* info = reinterpret_cast<const FILE_ALL_INFORMATION*>(buffer.data());
        facts.identity = {volume, static_cast<std::uint64_t>(info->InternalInformation.IndexNumber.QuadPart)};
        facts.attributes = info->BasicInformation.FileAttributes;
        const auto& name = info->NameInformation;
        pathOnVolume.assign(reinterpret_cast<const char16_t*>(name.FileName), name.FileNameLength / sizeof(WCHAR));
        return true;
    }
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

// FileNameInfo; the path of an open object at any length.
std::u16string PathOnVolume(HANDLE object) {
    for (std::size_t units : {std::size_t{MAX_PATH}, std::size_t{32768}}) {
        std::vector<LONGLONG> buffer((sizeof(FILE_NAME_INFO) + units * sizeof(WCHAR)) / sizeof(LONGLONG) + 1);
        const auto bytes = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
        if (GetFileInformationByHandleEx(object, FileNameInfo, buffer.data(), bytes)) {
            const auto* info = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
            return std::u16string(reinterpret_cast<const char16_t*>(info->FileName), info->FileNameLength / sizeof(WCHAR));
        }
        if (GetLastError() != ERROR_MORE_DATA) break;
    }
    return {};
}

bool SplitEntryPath(const std::u16string& path, std::u16string& folder, std::u16string& name) {
    const auto cut = path.find_last_of(u'\\');
    if (cut == std::u16string::npos) return false;
    folder = path.substr(0, cut);
    if (folder.size() == 2 && folder[1] == u':') folder += u'\\';
    name = path.substr(cut + 1);
    return true;
}

// Wine opens a Unix link to a folder as the folder it leads to even when asked not to, but its
// attributes read by name show a reparse point; Windows says so of the handle too.
FileActOutcome OpenPlainFolder(const std::u16string& folder, DWORD access, ScopedHandle& opened, HandleFacts* facts,
                               const FileIdentity& listedAs) {
    const std::u16string extended = ExtendedPath(folder);
    const auto resolved = ResolveFolder(folder);
    if (!resolved || resolved->path != folder) return {FileActResult::Failed, FileActFault::System, ERROR_INVALID_NAME};
    if (!resolved->root) {
        const DWORD attributes = GetFileAttributesW(WideText(extended));
        if (attributes == INVALID_FILE_ATTRIBUTES) return failed(GetLastError());
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return {FileActResult::Unsafe, FileActFault::Link};
    }
    opened.reset(CreateFileW(WideText(extended), access | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!opened.valid()) return failed(GetLastError());
    HandleFacts found;
    std::u16string placed;
    const bool asListed = listedAs.known() && FactsOnVolume(opened.get(), listedAs.volume, found, placed) &&
                          found.identity == listedAs;
    // Its identity only for a caller that asks what it is.
    const bool described = asListed || (facts ? FactsOf(opened.get(), found) : AttributesOf(opened.get(), found.attributes));
    if (!described) return failed(GetLastError());
    if (found.isReparsePoint()) return {FileActResult::Unsafe, FileActFault::Link};
    if (!found.isDirectory()) return {FileActResult::Absent};
    if (facts) *facts = found;
    return {FileActResult::Done};
}

DWORD OpenInFolder(HANDLE folder, const std::u16string& name, ACCESS_MASK access, ULONG disposition,
                   ScopedHandle& opened, ULONG share) {
    UNICODE_STRING text;
    text.Buffer = const_cast<PWSTR>(WideText(name));
    text.Length = static_cast<USHORT>(name.size() * sizeof(char16_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE handle = nullptr;
    ULONG options = FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT;
    if (disposition != FILE_OPEN) options |= FILE_NON_DIRECTORY_FILE;
    const NTSTATUS status = NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &io, nullptr,
                                         FILE_ATTRIBUTE_NORMAL, share, disposition, options, nullptr, 0);
    if (status < 0) return RtlNtStatusToDosError(status);
    opened.reset(handle);
    return 0;
}

DWORD RenameIntoFolder(HANDLE object, HANDLE folder, const std::u16string& name) {
    const std::size_t bytes = name.size() * sizeof(char16_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + bytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = folder;
    info->FileNameLength = static_cast<DWORD>(bytes);
    std::memcpy(info->FileName, name.data(), bytes);
    IO_STATUS_BLOCK io{};
    // kernelbase takes a rename's name as a path of its own; the native call takes it relative to
    // the folder handle, as Windows does.
    const NTSTATUS status =
        NtSetInformationFile(object, &io, info, static_cast<ULONG>(buffer.size()), kFileRenameInformation);
    return status < 0 ? RtlNtStatusToDosError(status) : 0;
}

bool ListOpenFolder(HANDLE folder, const std::function<void(const FolderEntry&)>& each) {
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));
    const auto bytes = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
    for (auto kind = FileIdBothDirectoryRestartInfo; GetFileInformationByHandleEx(folder, kind, buffer.data(), bytes);
         kind = FileIdBothDirectoryInfo) {
        const auto* at = reinterpret_cast<const unsigned char*>(buffer.data());
        for (;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            FolderEntry entry{std::u16string_view(reinterpret_cast<const char16_t*>(info->FileName),
                                                  info->FileNameLength / sizeof(char16_t)),
                              info->FileAttributes, static_cast<std::uint64_t>(info->EndOfFile.QuadPart),
                              static_cast<std::uint64_t>(info->FileId.QuadPart),
                              static_cast<std::uint64_t>(info->LastWriteTime.QuadPart)};
            if (entry.name != u"." && entry.name != u"..") each(entry);
            if (info->NextEntryOffset == 0) break;
            at += info->NextEntryOffset;
        }
    }
    return GetLastError() == ERROR_NO_MORE_FILES;
}

bool PlacedIn(HANDLE folder, HANDLE entry, const std::u16string& name) {
    return PlacedAt(PathOnVolume(folder), PathOnVolume(entry), name);
}

bool PlacedAt(const std::u16string& folderOnVolume, const std::u16string& entryPath, const std::u16string& name) {
    std::u16string folderPath = folderOnVolume;
    if (folderPath.ends_with(u'\\')) folderPath.pop_back();
    const auto cut = entryPath.find_last_of(u'\\');
    if (entryPath.empty() || cut == std::u16string::npos) return false;
    return sameNoCase(entryPath.substr(0, cut), folderPath) && sameNoCase(entryPath.substr(cut + 1), name);
}

bool IsHandleOfFile(HANDLE file, const std::u16string& path) {
    std::u16string folderPath, name;
    HandleFacts facts;
    if (!SplitEntryPath(path, folderPath, name) || !AttributesOf(file, facts.attributes) || facts.isReparsePoint() ||
        facts.isDirectory())
        return false;
    ScopedHandle folder;
    return OpenPlainFolder(folderPath, FILE_TRAVERSE | FILE_READ_ATTRIBUTES, folder).result == FileActResult::Done &&
           PlacedIn(folder.get(), file, name);
}

}  // namespace keltora
