#pragma once
// The folders the program computes at start and the folders of its own below them.
#include <string>

namespace keltora {

struct Paths {
    std::string programFiles;
    std::string commonFiles;
    std::string systemRoot;
    // The drive root of the system root ("C:\"), whatever the case of its folder name.
    std::string systemDrive;

    std::string backups() const { return programFiles + "\\Keltora Professional\\Backups"; }
    std::string startbug() const { return programFiles + "\\Keltora Professional\\startbug"; }
    std::string undo() const { return programFiles + "\\Keltora Professional\\Undo"; }
    std::string ignoreFolder() const { return programFiles + "\\Keltora Pro"; }
};

// "C:\" from "C:\WINDOWS", "C:\Windows" or "c:\winnt"; empty when the text names no drive.
std::string SystemDrivePrefix(const std::string& systemRoot);

}  // namespace keltora
