#pragma once
// Whole-registry backups in the program's Backups folder, written and read by the system's
// registry editor; the backup list shows them with the time their names hold.
#include <optional>
#include <string>

#include "scan/ResultList.h"
#include "scan/ScanContext.h"

namespace keltora {

class RegistryBackups {
public:
    RegistryBackups(ScanContext& context, ResultList& list) : context_(context), list_(list) {}

    // backupregExecute: exports the whole registry into a new file and appends its row. A
    // backup counts only when the editor has ended and left a file that is not empty; otherwise
    // the error is shown, no row is added, and false comes back.
    bool create();
    // Refills the list from the folder with the regular files of plain backup names, stopping
    // at the first name that does not parse.
    void fill();
    // Imports the selected backup and waits for the editor; the error text, or nullopt on success.
    std::optional<std::string> restoreSelected();
    // Deletes the selected backup file and its row; the error text, and the row stays, when the
    // file is still there afterwards.
    std::optional<std::string> deleteSelected();
    bool hasSelection() const { return list_.selected() >= 0; }

    std::string folder() const { return context_.paths.backups(); }
    // The registry editor of the Windows folder, never one found by the search order.
    std::string editor() const;

    static constexpr const char* kNoSelection = "Please select backup file";
    static constexpr const char* kEditor = "regedit.exe";
    // How long the editor may take before the program stops waiting for it.
    static constexpr std::uint32_t kEditorTimeoutMs = 10 * 60 * 1000;

private:
    // Reserves a fresh name by creating its file; nullopt (the user told) when none could be had.
    std::optional<std::string> reserveName();
    // Runs the editor; the exit code, or nullopt with the reason in *why.
    std::optional<std::uint32_t> runEditor(const std::string& parameters, std::string& why);
    bool fileWritten(const std::string& path);
    bool createFailed(const std::string& name, const std::string& why);
    // The selected row's file when the commands may act on it: a plain backup name naming a
    // regular file of the folder (or nothing at all when gone is allowed); else the reason.
    std::optional<std::string> checkSelected(std::string& path, bool mayBeGone);
    void stepWhileWaiting();

    ScanContext& context_;
    ResultList& list_;
};

}  // namespace keltora
