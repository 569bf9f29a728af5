#include "platform/win32/Win32OpenFile.h"

#include <windows.h>

#include <algorithm>

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

std::unique_ptr<OpenedFile> OpenFileForUpdate(const std::string& path) {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    auto file = std::make_unique<Win32OpenFile>(handle);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return nullptr;
    return file;
}

std::unique_ptr<OpenedFile> OpenExactFile(const std::u16string& path, bool write, bool create) {
    const DWORD access = GENERIC_READ | (write ? GENERIC_WRITE : 0);
    const DWORD disposition = create && write ? OPEN_ALWAYS : OPEN_EXISTING;
    HANDLE handle = CreateFileW(WideText(ExtendedPath(path)), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    auto file = std::make_unique<Win32OpenFile>(handle);
    if (!IsHandleOfFile(handle, path)) return nullptr;
    return file;
}

}  // namespace keltora
