#include "app/SettingsStore.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"

namespace keltora {

// clang-format off
const SettingInfo kSettings[10] = {
    {Setting::AlwaysOnTop, "alwaysontop", "CBontop", "Always on Top", true},
    {Setting::LoadWithWindows, "loadwithwin", "CBstartup", "Load on Windows Startup", false},
    {Setting::AutoRepair, "autorepair", "CBautorepair", "Repair Errors Automatically", true},
    {Setting::AutoClose, "autoclose", "CBautoexit", "Exit Programs When Complete", false},
    {Setting::PlaySounds, "playsounds", "CBsound", "Play Sounds", false},
    {Setting::AutoBackup, "autobackup", "CBbackup", "Automatically Create Registry Backups", true},
    {Setting::TaskbarStatus, "taskbarstatus", "CBtaskbar", "Hide Taskbar When Minimized", true},
    {Setting::TrayMinimize, "trayminimize", "CBtraymin", "Show System Tray Icon", true},
    {Setting::ShowSplash, "showsplash", "CBsplash", "Show Startup Splash Screen", false},
    {Setting::AutoScan, "autoscan", "", "", false},
};
// clang-format on

const SettingInfo& InfoOf(Setting setting) {
    for (const auto& info : kSettings)
        if (info.setting == setting) return info;
    return kSettings[0];
}

std::string SettingsStore::text(Setting setting) const {
    return RegReadString(registry_, kHKeyCurrentUser, kKey, std::string(InfoOf(setting).valueName));
}

std::optional<bool> SettingsStore::flag(Setting setting) const {
    const std::string value = text(setting);
    if (value == "1") return true;
    if (value == "0") return false;
    return std::nullopt;
}

void SettingsStore::write(Setting setting, bool on) {
    SettingsWrite(registry_, kHKeyCurrentUser, std::string("\\") + kKey, std::string(InfoOf(setting).valueName),
                  on ? "1" : "0", static_cast<int>(SettingType::String));
}

void SettingsStore::writeRunEntry(const std::string& executableFolder) {
    TRegistry reg(registry_);
    reg.SetRootKey(kHKeyCurrentUser);
    // The user asked to start with Windows: a Run key that cannot be opened is an error to show.
    if (!reg.OpenKey(kRunKey, true)) throw EOSError(registry_.systemMessage(reg.LastError()));
    reg.WriteString(kRunValue, executableFolder + kStarter);
}

void SettingsStore::deleteRunEntry() {
    TRegistry reg(registry_);
    reg.SetRootKey(kHKeyCurrentUser);
    if (reg.OpenKey(kRunKey, false)) reg.DeleteValue(kRunValue);
}

}  // namespace keltora
