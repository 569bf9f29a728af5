#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>

#include "platform/FileMask.h"
#include "platform/win32/Win32FileAct.h"
#include "platform/win32/Win32Folder.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32OpenFile.h"
#include "platform/win32/Win32Paths.h"

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

Win32FileSystem::Win32FileSystem(CodePage& codePage) : codePage_(codePage) {}
Win32FileSystem::~Win32FileSystem() = default;

// FindFirstFileA is FindFirstFileW with the names converted to the ANSI code page; doing the
// conversion here keeps the exact name beside the ANSI one.
std::vector<FoundFile> Win32FileSystem::find(const std::string& pattern) { return findWide(codePage_.toWide(pattern)); }

// An entry with the ANSI name the ANSI calls would give, and its exact name where that is not exact.
FoundFile Win32FileSystem::found(std::u16string_view name, std::uint32_t attributes, std::uint64_t size,
                                 std::uint64_t lastWritten) {
    // A name in ASCII is its own ANSI form in every code page; only the others are converted.
    const bool ascii = std::all_of(name.begin(), name.end(), [](char16_t c) { return c < 0x80; });
    bool exact = true;
    FoundFile file{ascii ? Narrowed(name) : codePage_.toAnsi(std::u16string(name), &exact), attributes, size};
    if (!exact) file.wideName = name;
    file.lastWritten = lastWritten;
    return file;
}

// A pattern too long for the plain form is made full and read through "\\?\", as a program
// that declares itself aware of long paths would have it read.
std::vector<FoundFile> Win32FileSystem::findWide(const std::u16string& pattern) {
    std::u16string text = pattern;
    if (text.size() >= MAX_PATH && !text.starts_with(u"\\\\?\\")) {
        std::vector<wchar_t> full(32768);
        const DWORD length = GetFullPathNameW(WideText(text), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length > 0 && length < full.size()) text = ExtendedPath(FromWide(full.data()));
    }
    std::vector<FoundFile> result;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(WideText(text), &data);
    if (search == INVALID_HANDLE_VALUE) return result;
    do {
        result.push_back(found(reinterpret_cast<const char16_t*>(data.cFileName), data.dwFileAttributes,
                               (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                               (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                   data.ftLastWriteTime.dwLowDateTime));
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return result;
}

std::optional<FolderListing> Win32FileSystem::listFolder(const std::u16string& folder, const FileIdentity& listedAs) {
    ScopedHandle handle;
    HandleFacts facts;
    if (OpenPlainFolder(folder, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES, handle, &facts, listedAs).result !=
        FileActResult::Done)
        return std::nullopt;
    FolderListing listing{facts.identity, {}};
    const bool whole = ListOpenFolder(handle.get(), [&](const FolderEntry& entry) {
        FoundFile file = found(entry.name, entry.attributes, entry.size, entry.lastWritten);
        file.identity = {facts.identity.volume, entry.fileId};
        file.folderIdentity = facts.identity;
        listing.entries.push_back(std::move(file));
    });
    if (!whole) return std::nullopt;
    return listing;
}

FileActOutcome Win32FileSystem::act(const FileAct& act) {
    return ActOnListedFile(act, keepActFolder_ ? &actFolder_ : nullptr);
}

void Win32FileSystem::keepActFolder(bool keep) {
    keepActFolder_ = keep;
    if (!keep) actFolder_.reset();
}

std::u16string Win32FileSystem::temporaryFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return {};
    return LongPathOf(FromWide(buffer));
}

std::optional<std::u16string> Win32FileSystem::environmentVariable(const std::u16string& name) {
    std::vector<wchar_t> buffer(256);
    for (int attempt = 0; attempt < 4; ++attempt) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(name.c_str()), buffer.data(),
                                                     static_cast<DWORD>(buffer.size()));
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        if (length < buffer.size()) return FromWide(buffer.data());
        buffer.resize(length);
    }
    return std::nullopt;
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

std::unique_ptr<OpenedFile> Win32FileSystem::openForUpdate(const std::string& path, bool create, FileActOutcome* why) {
    FileActOutcome outcome;
    auto file = OpenFileForUpdate(codePage_.toWide(fullPath(path)), create, outcome);
    if (why) *why = outcome;
    return file;
}

std::unique_ptr<OpenedFile> Win32FileSystem::openExact(const std::u16string& path, bool write, bool create) {
    return OpenExactFile(path, write, create);
}

}  // namespace keltora
