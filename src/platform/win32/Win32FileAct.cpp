#include "platform/win32/Win32FileAct.h"

#include <windows.h>
#include <winternl.h>

#include <cstring>
#include <vector>

#include "platform/win32/Win32Folder.h"
#include "platform/win32/Win32Paths.h"

namespace keltora {

namespace {

// FileDispositionInfoEx and its flags (Windows 10 1709 and later; MinGW declares them only for
// newer targets than this program's).
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x01;
constexpr DWORD kDispositionPosixSemantics = 0x02;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;  // 1809 and later
constexpr DWORD kChunk = 64 * 1024;

bool notFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }
bool nameTaken(DWORD error) { return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS; }

FileActOutcome done() { return {FileActResult::Done}; }
FileActOutcome unsafe(FileActFault fault) { return {FileActResult::Unsafe, fault}; }
FileActOutcome failed(FileActFault fault, DWORD error = 0) {
    return {FileActResult::Failed, fault, static_cast<long>(error)};
}
FileActOutcome systemFailure(DWORD error) {
    return notFound(error) ? FileActOutcome{FileActResult::Absent} : failed(FileActFault::System, error);
}

// POSIX semantics where the system has them (Windows 10 1709 and later, on NTFS): the name goes
// when this handle closes, whoever else holds the file open with delete sharing, and from 1809 a
// read-only file too (posix, when given, tells so). Elsewhere (older systems, other file
// systems, Wine) the classic disposition. 0, or the system's error.
DWORD markDeleted(HANDLE file, bool* posix = nullptr) {
    for (DWORD flags : {kDispositionDelete | kDispositionPosixSemantics | kDispositionIgnoreReadOnly,
                        kDispositionDelete | kDispositionPosixSemantics}) {
        if (SetFileInformationByHandle(file, kFileDispositionInfoEx, &flags, sizeof flags)) {
            if (posix) *posix = true;
            return 0;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION)
            return error;
    }
    FILE_DISPOSITION_INFO classic{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &classic, sizeof classic) ? 0 : GetLastError();
}

// Once every handle of this program on it is closed: the name is gone from the folder (or is
// another file's now), or another program still holds the file, which the classic disposition
// deletes only when that program closes it.
FileActOutcome goneFrom(HANDLE folder, const std::u16string& name, const FileIdentity& was) {
    ScopedHandle probe;
    const DWORD error = OpenInFolder(folder, name, FILE_READ_ATTRIBUTES, FILE_OPEN, probe);
    if (notFound(error)) return done();
    HandleFacts facts;
    std::u16string placed;
    if (error == 0 && FactsOnVolume(probe.get(), was.volume, facts, placed) && facts.identity != was) return done();
    return failed(FileActFault::HeldOpen);
}

// The bytes of source into copy, from the start; 0, or the system's error.
DWORD copyBytes(HANDLE source, HANDLE copy) {
    std::vector<char> buffer(kChunk);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source, buffer.data(), kChunk, &read, nullptr)) return GetLastError();
        if (read == 0) return FlushFileBuffers(copy) ? 0 : GetLastError();
        for (DWORD at = 0; at < read;) {
            DWORD written = 0;
            if (!WriteFile(copy, buffer.data() + at, read - at, &written, nullptr) || written == 0)
                return GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
            at += written;
        }
    }
}

bool rewound(HANDLE file) { return SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN) != 0; }

// Both files read again from their start hold the same bytes.
bool sameBytes(HANDLE source, HANDLE copy) {
    if (!rewound(source) || !rewound(copy)) return false;
    std::vector<char> a(kChunk), b(kChunk);
    for (;;) {
        DWORD readA = 0, readB = 0;
        if (!ReadFile(source, a.data(), kChunk, &readA, nullptr) || !ReadFile(copy, b.data(), kChunk, &readB, nullptr))
            return false;
        if (readA != readB || std::memcmp(a.data(), b.data(), readA) != 0) return false;
        if (readA == 0) return true;
    }
}

// A move to another volume: a new file in the target folder, filled through the open source,
// flushed and read back, then told, then the original deleted through its own handle. Whatever
// fails on the way takes the copy away again.
FileActOutcome copyAcross(HANDLE folder, const std::u16string& name, const FileAct& act, HANDLE target,
                          const std::u16string& leaf, HANDLE entry) {
    ScopedHandle source;
    if (DWORD error = OpenInFolder(folder, name, FILE_READ_DATA | FILE_READ_ATTRIBUTES, FILE_OPEN, source))
        return systemFailure(error);
    HandleFacts facts;
    if (!FactsOf(source.get(), facts) || facts.identity != act.file) return unsafe(FileActFault::NotListed);
    ScopedHandle copy;
    if (DWORD error = OpenInFolder(target, leaf, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_CREATE, copy))
        return nameTaken(error) ? failed(FileActFault::NameTaken) : failed(FileActFault::System, error);
    HandleFacts made;
    FileActOutcome outcome = done();
    if (const DWORD written = copyBytes(source.get(), copy.get()))
        outcome = failed(FileActFault::System, written);
    else if (!sameBytes(source.get(), copy.get()) || !FactsOf(copy.get(), made))
        outcome = failed(FileActFault::CopyDiffers);
    else if (act.beforeMove && !act.beforeMove(made.identity))
        outcome = failed(FileActFault::Refused);
    else if (const DWORD deleted = markDeleted(entry))
        outcome = failed(FileActFault::System, deleted);
    if (outcome.result != FileActResult::Done) {
        markDeleted(copy.get());
        return outcome;
    }
    // The copy keeps the original's times and attributes (read-only last, once nothing is written).
    FILE_BASIC_INFO basic;
    if (GetFileInformationByHandleEx(source.get(), FileBasicInfo, &basic, sizeof basic))
        SetFileInformationByHandle(copy.get(), FileBasicInfo, &basic, sizeof basic);
    return done();
}

FileActOutcome moveListed(HANDLE folder, const std::u16string& name, ScopedHandle& entry, const HandleFacts& facts,
                          const FileAct& act) {
    std::u16string targetPath, leaf;
    if (!SplitEntryPath(act.moveTo, targetPath, leaf)) return failed(FileActFault::System, ERROR_INVALID_NAME);
    ScopedHandle target;
    HandleFacts targetFacts;
    const DWORD access = FILE_TRAVERSE | FILE_READ_ATTRIBUTES | (facts.isDirectory() ? FILE_ADD_SUBDIRECTORY : FILE_ADD_FILE);
    const FileActOutcome opened = OpenPlainFolder(targetPath, access, target, &targetFacts);
    if (opened.result == FileActResult::Absent) return failed(FileActFault::System, ERROR_PATH_NOT_FOUND);
    if (opened.result != FileActResult::Done) return opened;
    ScopedHandle there;
    const DWORD lookedUp = OpenInFolder(target.get(), leaf, FILE_READ_ATTRIBUTES, FILE_OPEN, there);
    if (lookedUp == 0) return failed(FileActFault::NameTaken);
    if (!notFound(lookedUp)) return failed(FileActFault::System, lookedUp);
    const bool sameVolume = targetFacts.identity.volume == facts.identity.volume;
    if (!sameVolume && facts.isDirectory()) return failed(FileActFault::Folder);
    if (act.dryRun) return done();
    if (!sameVolume) {
        const FileActOutcome copied = copyAcross(folder, name, act, target.get(), leaf, entry.get());
        entry.reset();
        return copied.result == FileActResult::Done ? goneFrom(folder, name, act.file) : copied;
    }
    if (act.beforeMove && !act.beforeMove(facts.identity)) return failed(FileActFault::Refused);
    const DWORD error = RenameIntoFolder(entry.get(), target.get(), leaf);
    if (error == 0) return done();
    return nameTaken(error) ? failed(FileActFault::NameTaken) : failed(FileActFault::System, error);
}

// The folder of an act opened as itself and checked against the listing; nullptr, with why, when
// it cannot be.
std::unique_ptr<ActFolder> openActFolder(const std::u16string& path, const FileAct& act, FileActOutcome& why) {
    auto folder = std::make_unique<ActFolder>();
    folder->path = path;
    why = OpenPlainFolder(path, FILE_TRAVERSE | FILE_READ_ATTRIBUTES, folder->handle, &folder->facts);
    if (why.result != FileActResult::Done) return nullptr;
    if (act.folder.known() && folder->facts.identity != act.folder) {
        why = unsafe(FileActFault::NotListed);
        return nullptr;
    }
    // Without it no entry could be placed in the folder.
    folder->onVolume = PathOnVolume(folder->handle.get());
    if (folder->onVolume.empty()) {
        why = unsafe(FileActFault::NotListed);
        return nullptr;
    }
    return folder;
}

// The entry by its exact name relative to its folder and as itself, checked against what the
// listing saw, then deleted or renamed through that same handle, so nothing can be swapped in
// between.
FileActOutcome actIn(const ActFolder& folder, const std::u16string& name, const FileAct& act) {
    ScopedHandle entry;
    if (DWORD error = OpenInFolder(folder.handle.get(), name, DELETE | FILE_READ_ATTRIBUTES, FILE_OPEN, entry))
        return systemFailure(error);
    // What was opened is there, whatever keeps the system from saying what it is.
    HandleFacts facts;
    std::u16string placed;
    if (!FactsOnVolume(entry.get(), folder.facts.identity.volume, facts, placed)) return unsafe(FileActFault::NotListed);
    if (facts.isReparsePoint()) return unsafe(FileActFault::Link);
    if (!act.file.known() || facts.identity != act.file || !PlacedAt(folder.onVolume, placed, name))
        return unsafe(FileActFault::NotListed);
    if (!act.moveTo.empty()) return moveListed(folder.handle.get(), name, entry, facts, act);
    if (act.emptyFolder != facts.isDirectory())
        return act.emptyFolder ? failed(FileActFault::System, ERROR_DIRECTORY) : failed(FileActFault::Folder);
    if (act.dryRun) return done();
    // The system refuses to mark a folder that is not empty (ERROR_DIR_NOT_EMPTY).
    bool posix = false;
    if (DWORD marked = markDeleted(entry.get(), &posix)) return failed(FileActFault::System, marked);
    entry.reset();
    // The POSIX delete took the name at that close; the classic one may not have (another program
    // holds the file, or under Wine, which deletes by name, the name leads elsewhere now).
    return posix ? done() : goneFrom(folder.handle.get(), name, act.file);
}

}  // namespace

// The folder opened as itself, the entry by its exact name relative to it and as itself, both
// checked against what the listing saw, then acted on through the entry's handle.
FileActOutcome ActOnListedFile(const FileAct& act, std::unique_ptr<ActFolder>* kept) {
    std::u16string folderPath, name;
    if (!SplitEntryPath(act.path, folderPath, name)) return failed(FileActFault::System, ERROR_INVALID_NAME);
    std::unique_ptr<ActFolder> folder;
    if (kept && *kept && (*kept)->path == folderPath && (!act.folder.known() || (*kept)->facts.identity == act.folder))
        folder = std::move(*kept);
    if (kept) kept->reset();
    FileActOutcome outcome;
    if (!folder) folder = openActFolder(folderPath, act, outcome);
    if (!folder) return outcome;
    outcome = actIn(*folder, name, act);
    if (kept) *kept = std::move(folder);
    return outcome;
}

}  // namespace keltora
