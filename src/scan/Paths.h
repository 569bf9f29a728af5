#pragma once
// The folders the program computes at start and the folders of its own below them.
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace keltora {

// Raised by a feature that needs a folder whose setting is missing or unusable; its text names
// the setting.
class EMissingSetting : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Paths {
    // Each is the folder as the system resolves it, or empty when its value is missing, empty,
    // relative or a drive root (the folder rule): the program then creates nothing and writes
    // nothing below it.
    std::string programFiles;
    std::string commonFiles;
    // The same two as 32-bit programs know them ("C:\Program Files (x86)"); empty where the
    // system keeps no such folder.
    std::string programFilesX86;
    std::string commonFilesX86;
    std::string systemRoot;
    // The drive root of the system root ("C:\"), whatever the case of its folder name.
    std::string systemDrive;
    // The user's Local AppData folder as the system places it below the user's profile (never
    // where a per-user setting points), or empty when it is unknown or not usable.
    std::string localAppData;

    // The program's own folders below the program-files folder. Each raises EMissingSetting
    // when that folder is not usable, so every feature that keeps files there (backups, the
    // startbug folder, the ignore files, the undo journals) reports the missing setting the same way.
    std::string backups() const { return programFolder("\\Keltora Professional\\Backups"); }
    std::string startbug() const { return programFolder("\\Keltora Professional\\startbug"); }
    std::string undo() const { return programFolder("\\Keltora Professional\\Undo"); }
    std::string ignoreFolder() const { return programFolder("\\Keltora Pro"); }
    bool hasProgramFolders() const { return !programFiles.empty(); }
    // The folder of the user's own undo journals; empty when Local AppData is not known.
    std::string userUndo() const {
        return localAppData.empty() ? std::string() : localAppData + "\\Keltora Professional\\Undo";
    }
    std::string programFolder(std::string_view below) const;

    static constexpr const char* kMissingProgramFiles =
        "The program-files folder is not set: the value ProgramFilesDir of "
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion is missing, empty, relative or a drive "
        "root. Backups, the startbug folder, the ignore lists and the undo journals need it.";
};

// A folder value as the folder rule allows it: resolved, or empty.
std::string UsableFolderText(CodePage& codePage, const std::string& value);
// The same for a folder the system gives in UTF-16; empty also when the code page cannot carry it.
std::string UsableFolderText(CodePage& codePage, const std::u16string& value);

// "C:\" from "C:\WINDOWS", "C:\Windows" or "c:\winnt"; empty when the text names no drive.
std::string SystemDrivePrefix(const std::string& systemRoot);

}  // namespace keltora
