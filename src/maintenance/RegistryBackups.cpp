#include "maintenance/RegistryBackups.h"

#include <algorithm>
#include <cctype>

#include "maintenance/BackupFiles.h"
#include "maintenance/BackupName.h"
#include "platform/Helpers.h"
#include "scan/FileRemoval.h"

namespace keltora {

namespace {

constexpr std::uint32_t kBackupStepMs = 150;
constexpr std::uint32_t kDeleteStepMs = 50;
constexpr int kNameAttempts = 20;

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

// Names compare as Windows compares them: without regard to case.
bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string RegistryBackups::editor() const {
    const std::string windows = context_.platform.shell.windowsFolder();
    return windows.empty() ? std::string() : windows + "\\" + kEditor;
}

std::optional<std::string> RegistryBackups::reserveName() {
    auto& clock = context_.platform.clock;
    auto& files = context_.platform.files;
    // The file is made before the editor writes it: of two backups asked for in the same second,
    // by this process or another, the second waits for the next second's name rather than share
    // the first one's file; every name keeps its pattern.
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = BackupFileName(clock.now());
        const std::string path = folder() + "\\" + name;
        if (files.createNewFile(path)) return name;
        if (!files.attributes(path)) {
            context_.host.showMessage("The registry backup was not made: " + path + " cannot be created.");
            return std::nullopt;
        }
        clock.sleep(100);
    }
    context_.host.showMessage("The registry backup was not made: " + BackupFileName(clock.now()) +
                              " and the names before it already exist.");
    return std::nullopt;
}

void RegistryBackups::stepWhileWaiting() {
    // The bar creeps towards 70 while the editor works, and the window keeps its messages.
    context_.stepBelow(70);
    context_.host.processMessages();
}

std::optional<std::uint32_t> RegistryBackups::runEditor(const std::string& parameters, std::string& why) {
    const std::string program = editor();
    if (program.empty()) {
        why = "the Windows folder, where the registry editor lives, is unknown";
        return std::nullopt;
    }
    long startError = 0;
    const auto exitCode = context_.platform.shell.runAndWait(program, parameters, kEditorTimeoutMs,
                                                             [this] { stepWhileWaiting(); }, &startError);
    if (startError == Shell::kErrorElevationRequired)
        why = "the registry editor needs administrator rights; start Keltora Professional as an administrator";
    else if (startError != 0)
        why = "the registry editor " + program + " could not be started (" +
              context_.platform.registry.systemMessage(startError) + ")";
    else if (!exitCode)
        why = "the registry editor did not run to its end";
    return exitCode;
}

bool RegistryBackups::fileWritten(const std::string& path) {
    const auto found = context_.platform.files.find(path);
    return found.size() == 1 && IsRegularFile(found.front()) && found.front().size > 0;
}

bool RegistryBackups::createFailed(const std::string& name, const std::string& why) {
    // The file was reserved by this command; what the editor left of it is no backup.
    RemoveStoredFile(context_.platform, folder(), name);
    context_.progress.setPosition(0);
    context_.host.setCursor(Cursor::Default);
    context_.host.showMessage("The registry backup was not made: " + why + ".");
    return false;
}

bool RegistryBackups::create() {
    auto& host = context_.host;
    if (!context_.paths.hasProgramFolders()) {
        host.showMessage(Paths::kMissingProgramFiles);
        return false;
    }
    host.setCursor(Cursor::Hourglass);
    context_.progress.setPosition(0);
    const auto name = reserveName();
    if (!name) {
        host.setCursor(Cursor::Default);
        return false;
    }
    const std::string path = folder() + "\\" + *name;
    std::string why;
    const auto exitCode = runEditor("/e " + quoted(path), why);
    if (!exitCode) return createFailed(*name, why);
    if (*exitCode != 0 || !fileWritten(path)) return createFailed(*name, "the registry editor wrote no file " + path);
    context_.ramp(context_.progress.position(), 70, kBackupStepMs);
    const BackupNameParts parts = ParseBackupFileName(*name);
    list_.add(Finding{*name, {parts.date.value_or(""), parts.time.value_or("")}, false});
    context_.ramp(70, 100, kBackupStepMs);
    context_.progress.setPosition(0);
    host.setCursor(Cursor::Default);
    return true;
}

void RegistryBackups::fill() {
    list_.clear();
    for (const auto& found : context_.platform.files.find(folder() + "\\*.reg")) {
        // Only what the restore and the delete may act on is shown at all.
        if (!IsBackupFileName(found.name) || !IsRegularFile(found)) continue;
        const BackupNameParts parts = ParseBackupFileName(found.name);
        std::vector<std::string> columns;
        if (parts.date) columns.push_back(*parts.date);
        if (parts.date && parts.time) columns.push_back(*parts.time);
        list_.add(Finding{found.name, columns, false});
        if (!parts.complete()) break;
    }
}

std::optional<std::string> RegistryBackups::checkSelected(std::string& path, bool mayBeGone) {
    const int row = list_.selected();
    if (row < 0) return std::string(kNoSelection);
    if (!context_.paths.hasProgramFolders()) return std::string(Paths::kMissingProgramFiles);
    const std::string name = list_.at(static_cast<std::size_t>(row)).caption;
    if (!IsBackupFileName(name)) return "\"" + name + "\" is not the name of a backup in " + folder() + ".";
    path = folder() + "\\" + name;
    // The listing reports a link as itself, without following it.
    const auto found = context_.platform.files.find(path);
    if (found.empty()) return mayBeGone ? std::nullopt : std::optional<std::string>("The backup " + path + " is missing.");
    if (found.size() != 1 || !SameName(found.front().name, name) || !IsRegularFile(found.front()))
        return "The backup " + path + " is not a regular file (a folder or a link); it is left as it is.";
    return std::nullopt;
}

std::optional<std::string> RegistryBackups::restoreSelected() {
    std::string path;
    if (auto refused = checkSelected(path, false)) return refused;
    const auto start = context_.platform.files.readFileStart(path, kExportHeaderBytes);
    if (!start || !IsRegistryExport(*start))
        return "The file " + path + " is not a registry export; nothing was restored.";
    context_.progress.setPosition(0);
    std::string why;
    const auto exitCode = runEditor("/s " + quoted(path), why);
    context_.progress.setPosition(0);
    if (!exitCode) return "The backup " + path + " was not restored: " + why + ".";
    if (*exitCode != 0) return "The registry editor could not restore " + path + ".";
    return std::nullopt;
}

// Deleted as the file categories delete theirs: a link (which Wine lists as a file) is never
// followed, and what is still there keeps its row and is said with its reason.
std::optional<std::string> RegistryBackups::deleteSelected() {
    const int row = list_.selected();
    std::string path;
    if (auto refused = checkSelected(path, true)) return refused;
    auto& host = context_.host;
    host.setCursor(Cursor::Hourglass);
    const FileActOutcome outcome =
        RemoveStoredFile(context_.platform, folder(), list_.at(static_cast<std::size_t>(row)).caption);
    host.processMessages();
    context_.ramp(0, 100, kDeleteStepMs);
    const bool gone = outcome.result == FileActResult::Done || outcome.result == FileActResult::Absent;
    if (gone) list_.remove(static_cast<std::size_t>(row));
    context_.progress.setPosition(0);
    host.setCursor(Cursor::Default);
    if (outcome.result == FileActResult::Unsafe)
        return "The backup " + path + " is left as it is: " + WhyLeft(context_.platform, outcome) + ".";
    if (!gone) return "The backup " + path + " could not be deleted: " + WhyLeft(context_.platform, outcome) + ".";
    return std::nullopt;
}

}  // namespace keltora
