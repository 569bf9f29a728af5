#include "platform/win32/Win32Paths.h"

#include <cstring>
#include <vector>

#include "platform/win32/Win32Handle.h"

namespace keltora {
namespace {

constexpr std::u16string_view kExtended = u"\\\\?\\";
constexpr std::u16string_view kExtendedUnc = u"\\\\?\\UNC\\";

// The path without the "\\?\" of the extended form, shares as "\\server\share".
std::u16string withoutPrefix(std::u16string path) {
    if (path.starts_with(kExtendedUnc)) return u"\\\\" + path.substr(kExtendedUnc.size());
    if (path.starts_with(kExtended)) return path.substr(kExtended.size());
    return path;
}

bool sameNoCase(const std::u16string& a, const std::u16string& b) {
    return CompareStringOrdinal(WideText(a), static_cast<int>(a.size()), WideText(b), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// Only "not found" says a file is not there; access denied and every other failure say nothing.
bool notFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Where the system says the open object is (GetFinalPathNameByHandleW); empty when it does not say.
std::u16string finalPathOf(HANDLE file) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < buffer.size()) return withoutPrefix(FromWide(buffer.data()));
        buffer.resize(length + 1);
    }
    return {};
}

// The path the object must have: the folder in its long form, then the exact name.
std::u16string expectedPath(const std::u16string& path) {
    const auto cut = path.find_last_of(u'\\');
    std::u16string folder = path.substr(0, cut);
    if (folder.size() == 2 && folder[1] == u':') folder += u'\\';  // a drive root
    folder = LongPathOf(folder);
    if (folder.back() != u'\\') folder += u'\\';
    return folder + path.substr(cut + 1);
}

// The object opened is the entry named: no link, and where the system says it is. A folder can
// be moved as a whole (as MoveFile moves one), never deleted as a file.
FileActResult verify(HANDLE file, const std::u16string& path, bool moving) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag)) return FileActResult::Unsafe;
    if (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return FileActResult::Unsafe;
    const std::u16string final = finalPathOf(file);
    if (final.empty() || !sameNoCase(final, expectedPath(path))) return FileActResult::Unsafe;
    if ((tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !moving) return FileActResult::Failed;
    return FileActResult::Done;
}

bool deleteThrough(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// Renames through the handle; an existing target is never replaced.
bool moveThrough(HANDLE file, const std::u16string& target) {
    const std::u16string ntPath =
        target.starts_with(u"\\\\") ? u"\\??\\UNC\\" + target.substr(2) : u"\\??\\" + target;
    const std::size_t bytes = ntPath.size() * sizeof(char16_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + bytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(bytes);
    std::memcpy(info->FileName, ntPath.data(), bytes);
    return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != 0;
}

bool stillThere(const std::u16string& extended) {
    return GetFileAttributesW(WideText(extended)) != INVALID_FILE_ATTRIBUTES || !notFound(GetLastError());
}

}  // namespace

std::u16string ExtendedPath(const std::u16string& path) {
    if (path.starts_with(u"\\\\")) return std::u16string(kExtendedUnc) + path.substr(2);
    return std::u16string(kExtended) + path;
}

std::u16string LongPathOf(const std::u16string& path) {
    const std::u16string extended = ExtendedPath(path);
    const DWORD needed = GetLongPathNameW(WideText(extended), nullptr, 0);
    if (needed == 0) return path;
    std::vector<wchar_t> buffer(needed);
    const DWORD length = GetLongPathNameW(WideText(extended), buffer.data(), needed);
    if (length == 0 || length >= needed) return path;
    return withoutPrefix(FromWide(buffer.data()));
}

// Opened without following a final link where the system allows it (Wine follows it anyway, so
// the final path is what tells), checked, then deleted or renamed through the same handle, so
// nothing can be swapped in between.
FileActResult ActOnListedFile(const FileAct& act) {
    const std::u16string extended = ExtendedPath(act.path);
    ScopedHandle file(CreateFileW(WideText(extended), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return notFound(GetLastError()) ? FileActResult::Absent : FileActResult::Failed;
    const FileActResult checked = verify(file.get(), act.path, !act.moveTo.empty());
    if (checked != FileActResult::Done || act.dryRun) return checked;
    const bool done = act.moveTo.empty() ? deleteThrough(file.get()) : moveThrough(file.get(), act.moveTo);
    file.reset();
    return done && !stillThere(extended) ? FileActResult::Done : FileActResult::Failed;
}

// Opened and checked as a listed file is, then deleted through the same handle, which the system
// refuses for a folder that is not empty.
FileActResult RemoveListedEmptyFolder(const FileAct& act) {
    const std::u16string extended = ExtendedPath(act.path);
    ScopedHandle folder(CreateFileW(WideText(extended), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.valid()) return notFound(GetLastError()) ? FileActResult::Absent : FileActResult::Failed;
    const FileActResult checked = verify(folder.get(), act.path, true);
    if (checked != FileActResult::Done) return checked;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(folder.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FileActResult::Failed;
    if (act.dryRun) return FileActResult::Done;
    const bool done = deleteThrough(folder.get());
    folder.reset();
    return done && !stillThere(extended) ? FileActResult::Done : FileActResult::Failed;
}

// A delete is refused with a sharing violation while another program has the file open without
// letting others delete it.
bool HeldOpenByAnother(const std::u16string& path) {
    ScopedHandle file(CreateFileW(WideText(ExtendedPath(path)), DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.valid()) return false;
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

}  // namespace keltora
