#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>

#include "platform/FileMask.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32OpenFile.h"

namespace keltora {
namespace {

// Writes all of content at the handle's position; WriteFile may take less than it is given.
bool writeAll(HANDLE file, const std::string& content) {
    const char* next = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, next, chunk, &written, nullptr) || written == 0) return false;
        next += written;
        left -= written;
    }
    return true;
}

}  // namespace

// FindFirstFileA is FindFirstFileW with the names converted to the ANSI code page; doing the
// conversion here keeps the exact name beside the ANSI one.
std::vector<FoundFile> Win32FileSystem::find(const std::string& pattern) { return findWide(codePage_.toWide(pattern)); }

std::vector<FoundFile> Win32FileSystem::findWide(const std::u16string& pattern) {
    std::vector<FoundFile> result;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(WideText(pattern), &data);
    if (search == INVALID_HANDLE_VALUE) return result;
    do {
        const std::u16string_view name(reinterpret_cast<const char16_t*>(data.cFileName));
        // A name in ASCII is its own ANSI form in every code page; only the others are converted.
        const bool ascii = std::all_of(name.begin(), name.end(), [](char16_t c) { return c < 0x80; });
        bool exact = true;
        FoundFile found{ascii ? Narrowed(name) : codePage_.toAnsi(std::u16string(name), &exact), data.dwFileAttributes,
                        (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
        if (!exact) found.wideName = name;
        found.lastWritten =
            (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
        result.push_back(std::move(found));
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return result;
}

FileActResult Win32FileSystem::act(const FileAct& act) { return ActOnListedFile(act); }

FileActResult Win32FileSystem::removeEmptyFolder(const FileAct& act) { return RemoveListedEmptyFolder(act); }

bool Win32FileSystem::heldOpen(const std::u16string& path) { return HeldOpenByAnother(path); }

std::u16string Win32FileSystem::temporaryFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return {};
    return LongPathOf(FromWide(buffer));
}

std::optional<std::uint32_t> Win32FileSystem::attributes(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

PathPresence Win32FileSystem::probe(const std::string& path, std::uint32_t* attributes) {
    const DWORD found = GetFileAttributesA(path.c_str());
    if (found != INVALID_FILE_ATTRIBUTES) {
        if (attributes != nullptr) *attributes = found;
        return PathPresence::Present;
    }
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:  // characters no file name can hold
            return PathPresence::Missing;
        default:
            return PathPresence::Unknown;
    }
}

bool Win32FileSystem::deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool Win32FileSystem::moveFile(const std::string& from, const std::string& to) {
    return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool Win32FileSystem::createDirectory(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

std::string Win32FileSystem::fullPath(const std::string& path) {
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

std::optional<std::string> Win32FileSystem::readFile(const std::string& path) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return std::nullopt;
    std::string content;
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        content.append(buffer, read);
    }
    return content;
}

bool Win32FileSystem::writeFile(const std::string& path, const std::string& content) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && writeAll(file.get(), content);
}

bool Win32FileSystem::appendFile(const std::string& path, const std::string& content) {
    // With only FILE_APPEND_DATA every write goes to the end, whatever else writes the file.
    ScopedHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && writeAll(file.get(), content);
}

bool Win32FileSystem::createNewFile(const std::string& path) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

std::optional<std::string> Win32FileSystem::readFileStart(const std::string& path, std::size_t maxBytes) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return std::nullopt;
    std::string content(maxBytes, '\0');
    std::size_t filled = 0;
    while (filled < content.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), content.data() + filled, static_cast<DWORD>(std::min<std::size_t>(content.size() - filled, 1u << 20)), &read, nullptr))
            return std::nullopt;
        if (read == 0) break;
        filled += read;
    }
    content.resize(filled);
    return content;
}

std::unique_ptr<OpenedFile> Win32FileSystem::createNew(const std::string& path) { return CreateNewFile(path); }

std::unique_ptr<OpenedFile> Win32FileSystem::openForUpdate(const std::string& path) { return OpenFileForUpdate(path); }

}  // namespace keltora
