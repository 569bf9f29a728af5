#include "platform/win32/Win32OpenFile.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/Win32Folder.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Paths.h"

namespace keltora {

namespace {

constexpr DWORD kChunk = 1u << 20;

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

class Win32OpenFile final : public OpenedFile {
public:
    explicit Win32OpenFile(HANDLE handle) : file_(handle) {}

    bool writeAt(std::uint64_t offset, const std::string& bytes) override {
        for (std::size_t done = 0; done < bytes.size();) {
            OVERLAPPED at = At(offset + done);
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunk));
            DWORD written = 0;
            if (!WriteFile(file_.get(), bytes.data() + done, chunk, &written, &at) || written == 0) return false;
            done += written;
        }
        return true;
    }

    std::optional<std::string> readAt(std::uint64_t offset, std::size_t size) override {
        std::string bytes(size, '\0');
        for (std::size_t done = 0; done < size;) {
            OVERLAPPED at = At(offset + done);
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, kChunk));
            DWORD read = 0;
            if (!ReadFile(file_.get(), bytes.data() + done, chunk, &read, &at) || read == 0) return std::nullopt;
            done += read;
        }
        return bytes;
    }

    bool truncate(std::uint64_t size) override {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(size);
        return SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN) && SetEndOfFile(file_.get());
    }

    std::optional<std::uint64_t> size() override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file_.get(), &size)) return std::nullopt;
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    bool flush() override { return FlushFileBuffers(file_.get()) != 0; }

private:
    ScopedHandle file_;
};

}  // namespace

std::unique_ptr<OpenedFile> CreateNewFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32OpenFile>(file);
}

namespace {

// The folder opened as itself, the file by its name relative to it and as itself, then checked
// as the act on a listed file checks its entry.
FileActOutcome OpenPlainFile(const std::u16string& path, ACCESS_MASK access, bool create, ULONG share,
                             ScopedHandle& opened) {
    std::u16string folderPath, name;
    if (!SplitEntryPath(path, folderPath, name)) return {FileActResult::Failed, FileActFault::System, ERROR_INVALID_NAME};
    ScopedHandle folder;
    FileActOutcome why = OpenPlainFolder(folderPath, FILE_TRAVERSE | FILE_READ_ATTRIBUTES | (create ? FILE_ADD_FILE : 0), folder);
    if (why.result != FileActResult::Done) return why;
    if (const DWORD error = OpenInFolder(folder.get(), name, access, create ? FILE_OPEN_IF : FILE_OPEN, opened, share)) {
        return {error == ERROR_FILE_NOT_FOUND ? FileActResult::Absent : FileActResult::Failed, FileActFault::System,
                static_cast<long>(error)};
    }
    HandleFacts facts;
    if (!AttributesOf(opened.get(), facts.attributes)) why = {FileActResult::Failed, FileActFault::System, static_cast<long>(GetLastError())};
    else if (facts.isReparsePoint()) why = {FileActResult::Unsafe, FileActFault::Link};
    else if (facts.isDirectory()) why = {FileActResult::Failed, FileActFault::Folder};
    else if (!PlacedIn(folder.get(), opened.get(), name)) why = {FileActResult::Unsafe, FileActFault::Link};
    else why = {FileActResult::Done};
    if (why.result != FileActResult::Done) opened.reset();
    return why;
}

}  // namespace

std::unique_ptr<OpenedFile> OpenFileForUpdate(const std::u16string& path, bool create, FileActOutcome& why) {
    ScopedHandle opened;
    why = OpenPlainFile(path, GENERIC_READ | GENERIC_WRITE, create, FILE_SHARE_READ, opened);
    if (why.result != FileActResult::Done) return nullptr;
    auto file = std::make_unique<Win32OpenFile>(opened.get());
    opened.release();
    return file;
}

// Shared for reading, writing and deleting as other programs' database engines share their files.
std::unique_ptr<OpenedFile> OpenExactFile(const std::u16string& path, bool write, bool create) {
    ScopedHandle opened;
    const FileActOutcome why = OpenPlainFile(path, GENERIC_READ | (write ? GENERIC_WRITE : 0), create && write,
                                             kShareAll, opened);
    if (why.result != FileActResult::Done) return nullptr;
    auto file = std::make_unique<Win32OpenFile>(opened.get());
    opened.release();
    return file;
}

}  // namespace keltora
