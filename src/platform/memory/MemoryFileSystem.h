#pragma once
// An in-memory file system with the observable behaviour of kernel32 (and, where the two differ
// and the program must guard against it, of Wine): drive letters, names without case that keep
// their case, UTF-16 names that the ANSI calls reach through the Windows-1252 code page (best fit
// included, so an ANSI name can name another file), Windows wildcards that also match 8.3 short
// names, "." and ".." in folder listings, attributes, 64-bit sizes, MoveFileA that never
// overwrites, files another program holds, entries the user may not open, links, file
// identities (a serial number per drive, a file ID per entry; a move to another drive copies),
// and drive letters for folders of another drive. The current
// folder is "C:\". Test setup goes through the helpers below.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/memory/AnsiCodePage.h"

namespace keltora {

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem();  // drive C: with an empty root
    ~MemoryFileSystem() override;

    // The ANSI calls: a path is made UTF-16 with the code page and resolved as Windows does; a
    // link met on the way, or at the end, is followed, as Wine follows a Unix link.
    std::vector<FoundFile> find(const std::string& pattern) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    PathPresence probe(const std::string& path, std::uint32_t* attributes = nullptr) override;
    bool deleteFile(const std::string& path) override;
    bool moveFile(const std::string& from, const std::string& to) override;
    bool createDirectory(const std::string& path) override;
    std::string fullPath(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& content) override;
    bool appendFile(const std::string& path, const std::string& content) override;
    bool createNewFile(const std::string& path) override;

    // A pattern with "\\?\" is taken as written.
    std::vector<FoundFile> findWide(const std::u16string& pattern) override;
    // As written, as through "\\?\": a link on the way is followed, a final one is not opened.
    // listedAs changes nothing here: every identity is known at once.
    std::optional<FolderListing> listFolder(const std::u16string& folder, const FileIdentity& listedAs = {}) override;
    FileActOutcome act(const FileAct& act) override;
    std::u16string temporaryFolder() override { return temporaryPath; }
    std::optional<std::u16string> environmentVariable(const std::u16string& name) override;
    std::unique_ptr<OpenedFile> createNew(const std::string& path) override;
    std::unique_ptr<OpenedFile> openForUpdate(const std::string& path, bool create = false,
                                              FileActOutcome* why = nullptr) override;
    std::unique_ptr<OpenedFile> openExact(const std::u16string& path, bool write, bool create) override;

    // Setup: missing folders, and the drive, are made on the way. A path that is not of the
    // form "X:\..." or that runs through a file throws std::invalid_argument.
    void addDirectory(const std::string& path);
    // A file that reports size bytes; reading it gives content.
    void addFile(const std::string& path, std::uint64_t size, const std::string& content = "");
    void addTextFile(const std::string& path, const std::string& content);
    // A file by its exact UTF-16 path, taken as written, as another program may make it: a name
    // with a trailing dot or blank, or with characters outside the code page.
    void addFile(const std::u16string& path, std::uint64_t size, const std::string& content = "");
    // A symbolic link (a junction when target is a folder) that points at target, a full path.
    // Listed with the reparse-point attribute, or, with showsAsReparsePoint false, as Wine lists
    // a Unix link to a file: like the file itself.
    void addLink(const std::string& path, const std::string& target, bool showsAsReparsePoint = true);
    // Hidden, system, read-only...; the directory bit stays as it is. A read-only file cannot be
    // deleted or written, as on Windows.
    void setAttributes(const std::string& path, std::uint32_t attributes);
    // A file another program holds open: deleting, moving and writing it fail, reading works
    // (writes through a file opened earlier fail too, as on a volume that went away).
    // A folder with a held file below it cannot be moved.
    void lock(const std::string& path);
    // When the entry was last written (a FILETIME); 0 (the year 1601) unless set.
    void setLastWritten(const std::string& path, std::uint64_t fileTime);
    void setLastWritten(const std::u16string& exactPath, std::uint64_t fileTime);
    void unlock(const std::string& path);
    // A file another program holds open with delete sharing: a POSIX delete takes its name at
    // once; the classic one only marks it, and the name stays until that program closes it.
    void holdWithDeleteSharing(const std::string& path);
    // A drive letter that names a folder of another drive, as subst or a mapped share makes
    // one: the same entries, the same identities, the volume of that folder.
    void addDriveLetter(char letter, const std::string& folder);
    // Whether deletes have POSIX semantics, as on Windows 10 1709 and later; false: the classic
    // disposition alone, as on older systems and under Wine.
    bool posixDeletes = true;
    // An entry the user may not open: it is listed, but every other call on it (and below it)
    // fails as access denied, its attributes included.
    void deny(const std::string& path);

    // The system will not tell about path and what is below it, whether it exists or not (access
    // denied, a drive not ready): probe answers Unknown there.
    void denyProbes(const std::string& path);

    // Every file and folder below the drive roots, as full ANSI paths in listing order.
    std::vector<std::string> paths() const;
    // Whether the entry of this exact UTF-16 path is there (links on the way followed).
    bool hasExact(const std::u16string& path);

    // What temporaryFolder() reports.
    std::u16string temporaryPath;
    // The process environment, names in any case: the variables of a 64-bit process on a system
    // installed in C:\Windows, unless a test changes them.
    std::map<std::u16string, std::u16string> environment;

    struct Entry;  // one file, folder or link; defined with the implementation
    struct Lookup;

private:
    friend class MemoryOpenFile;
    Lookup resolve(const std::u16string& fullPath, bool followLast);
    Entry* lookup(const std::string& path, bool followLast = true);
    Entry* parentFor(const std::string& path, std::u16string& leaf);
    FileActOutcome moveEntry(Entry& entry, const FileAct& act);
    FileActOutcome deleteEntry(Entry& entry, bool dryRun);
    FileActOutcome deleteEmptyFolder(Entry& entry, bool dryRun);
    std::u16string asWritten(const std::u16string& path);
    Entry* make(const std::u16string& path, bool directory, bool exact);
    Entry& existing(const std::string& path);
    bool store(const std::string& path, const std::string& content, bool append);
    std::u16string wide(const std::string& path);
    FoundFile found(const Entry& entry);

    MemoryCodePage codePage_;
    std::map<char, std::unique_ptr<Entry>> drives_;
    std::map<char, std::u16string> driveLetters_;  // a letter for a folder of another drive
    std::u16string current_ = u"C:\\";
    std::vector<std::string> deniedProbes_;  // upper-cased
};

}  // namespace keltora
