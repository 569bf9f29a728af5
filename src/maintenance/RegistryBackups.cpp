#include "maintenance/RegistryBackups.h"

#include "maintenance/BackupName.h"
#include "platform/Helpers.h"

namespace keltora {

namespace {

constexpr std::uint32_t kBackupStepMs = 150;
constexpr std::uint32_t kDeleteStepMs = 50;

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::string RegistryBackups::freshName() {
    auto& clock = context_.platform.clock;
    // A second backup within the same second waits for the next one rather than overwrite the
    // first, so every name keeps its pattern.
    std::string name = BackupFileName(clock.now());
    for (int waited = 0; context_.platform.files.exists(folder() + "\\" + name) && waited < 20; ++waited) {
        clock.sleep(100);
        name = BackupFileName(clock.now());
    }
    return name;
}

void RegistryBackups::stepWhileWaiting() {
    // The bar creeps towards 70 while the editor works, and the window keeps its messages.
    context_.stepBelow(70);
    context_.host.processMessages();
}

std::optional<std::uint32_t> RegistryBackups::runEditor(const std::string& parameters) {
    return context_.platform.shell.runAndWait(kEditor, parameters, kEditorTimeoutMs, [this] { stepWhileWaiting(); });
}

bool RegistryBackups::fileWritten(const std::string& path) {
    const auto found = context_.platform.files.find(path);
    return !found.empty() && !found.front().isDirectory() && found.front().size > 0;
}

bool RegistryBackups::create() {
    auto& host = context_.host;
    if (!context_.paths.hasProgramFolders()) {
        host.showMessage(Paths::kMissingProgramFiles);
        return false;
    }
    host.setCursor(Cursor::Hourglass);
    context_.progress.setPosition(0);
    const std::string name = freshName();
    const std::string path = folder() + "\\" + name;
    if (context_.platform.files.exists(path)) {
        context_.progress.setPosition(0);
        host.setCursor(Cursor::Default);
        host.showMessage("The registry backup was not made: " + name + " already exists.");
        return false;
    }
    const auto exitCode = runEditor("/e " + quoted(path));
    if (!exitCode || *exitCode != 0 || !fileWritten(path)) {
        context_.progress.setPosition(0);
        host.setCursor(Cursor::Default);
        host.showMessage(!exitCode ? "The registry backup was not made: the registry editor did not run to its end."
                                   : "The registry backup was not made: the registry editor wrote no file " + path + ".");
        return false;
    }
    context_.ramp(context_.progress.position(), 70, kBackupStepMs);
    const BackupNameParts parts = ParseBackupFileName(name);
    list_.add(Finding{name, {parts.date.value_or(""), parts.time.value_or("")}, false});
    context_.ramp(70, 100, kBackupStepMs);
    context_.progress.setPosition(0);
    host.setCursor(Cursor::Default);
    return true;
}

void RegistryBackups::fill() {
    list_.clear();
    for (const auto& name : FileNames(context_.platform.files, folder() + "\\", "*.reg")) {
        const BackupNameParts parts = ParseBackupFileName(name);
        std::vector<std::string> columns;
        if (parts.date) columns.push_back(*parts.date);
        if (parts.date && parts.time) columns.push_back(*parts.time);
        list_.add(Finding{name, columns, false});
        if (!parts.complete()) break;
    }
}

std::optional<std::string> RegistryBackups::restoreSelected() {
    const int row = list_.selected();
    if (row < 0) return std::string(kNoSelection);
    if (!context_.paths.hasProgramFolders()) return std::string(Paths::kMissingProgramFiles);
    const std::string path = folder() + "\\" + list_.at(static_cast<std::size_t>(row)).caption;
    if (!fileWritten(path)) return "The backup " + path + " is missing or empty.";
    context_.progress.setPosition(0);
    const auto exitCode = runEditor("/s " + quoted(path));
    context_.progress.setPosition(0);
    if (!exitCode) return std::string("The registry editor did not finish restoring ") + path + ".";
    if (*exitCode != 0) return "The registry editor could not restore " + path + ".";
    return std::nullopt;
}

void RegistryBackups::deleteSelected() {
    const int row = list_.selected();
    if (row < 0) return;
    const std::string path = folder() + "\\" + list_.at(static_cast<std::size_t>(row)).caption;
    auto& host = context_.host;
    host.setCursor(Cursor::Hourglass);
    context_.platform.files.deleteFile(path);
    host.processMessages();
    context_.ramp(0, 100, kDeleteStepMs);
    list_.remove(static_cast<std::size_t>(row));
    context_.progress.setPosition(0);
    host.setCursor(Cursor::Default);
}

}  // namespace keltora
