#include "app/SettingsStore.h"

#include "platform/Helpers.h"

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

namespace {

// The key as messages name it.
std::string Shown(const char* key) {
    std::string path = key;
    if (!path.empty() && path[0] == '\\') path.erase(0, 1);
    return "HKCU\\" + path;
}

std::string RunEntryText() {
    return std::string("the Run entry ") + SettingsStore::kRunValue + " in " + Shown(SettingsStore::kRunKey) +
           " for the setting " + std::string(InfoOf(Setting::LoadWithWindows).valueName);
}

}  // namespace

std::string SettingsStore::failure(const std::string& verb, const std::string& what, long code) const {
    std::string reason = registry_.systemMessage(code);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) reason.pop_back();
    if (!reason.empty() && reason.back() != '.') reason += '.';
    return "Cannot " + verb + " " + what + ": " + reason;
}

std::optional<std::string> SettingsStore::readString(const char* key, const std::string& name) const {
    HKey opened = 0;
    if (registry_.openKey(kHKeyCurrentUser, key[0] == '\\' ? key + 1 : key, kKeyRead, opened) != kErrorSuccess)
        return std::nullopt;
    std::uint32_t type = 0, size = 0;
    std::optional<std::string> text;
    if (registry_.queryValue(opened, name, &type, nullptr, &size) == kErrorSuccess && type == kRegSz) {
        std::string data(size, '\0');
        if (registry_.queryValue(opened, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size) ==
            kErrorSuccess) {
            data.resize(size);
            while (!data.empty() && data.back() == '\0') data.pop_back();
            text = std::move(data);
        }
    }
    registry_.closeKey(opened);
    return text;
}

void SettingsStore::writeString(const char* key, const std::string& name, const std::string& data,
                                const std::string& what) {
    HKey opened = 0;
    long rc = registry_.createKey(kHKeyCurrentUser, key[0] == '\\' ? key + 1 : key, kKeyWrite, opened);
    if (rc == kErrorSuccess) {
        rc = registry_.setValue(opened, name, kRegSz, reinterpret_cast<const std::uint8_t*>(data.c_str()),
                                static_cast<std::uint32_t>(data.size() + 1));
        registry_.closeKey(opened);
    }
    if (rc != kErrorSuccess) throw EOSError(failure("write", what, rc));
}

void SettingsStore::write(Setting setting, bool on) {
    const std::string name(InfoOf(setting).valueName);
    writeString(kKey, name, on ? "1" : "0", "the setting " + name + " in " + Shown(kKey));
}

std::string SettingsStore::RunEntryFor(const std::string& executableFolder) {
    // Quoted: unquoted, a folder with blanks ("C:\Program Files\...") is tried as C:\Program.exe
    // first.
    return "\"" + executableFolder + kStarter + "\"";
}

void SettingsStore::writeRunEntry(const std::string& executableFolder) {
    const std::string entry = RunEntryFor(executableFolder);
    if (readString(kRunKey, kRunValue) == entry) return;
    writeString(kRunKey, kRunValue, entry, RunEntryText());
}

void SettingsStore::deleteRunEntry() {
    HKey opened = 0;
    long rc = registry_.openKey(kHKeyCurrentUser, kRunKey + 1, kKeyWrite, opened);
    if (rc == kErrorSuccess) {
        rc = registry_.deleteValue(opened, kRunValue);
        registry_.closeKey(opened);
    }
    // No Run key or no entry: nothing starts the program, which is what the setting asks.
    if (rc != kErrorSuccess && rc != kErrorFileNotFound) throw EOSError(failure("delete", RunEntryText(), rc));
}

}  // namespace keltora
