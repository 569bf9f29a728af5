#pragma once
// The option values "1" / "0" under HKEY_CURRENT_USER Software\KeltoraPro, read afresh whenever
// a command needs one, and the Run entry that starts the program with Windows.
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryApi.h"

namespace keltora {

enum class Setting {
    AlwaysOnTop,
    LoadWithWindows,
    AutoRepair,
    AutoClose,
    PlaySounds,
    AutoBackup,
    TaskbarStatus,
    TrayMinimize,
    ShowSplash,
    AutoScan,
};

struct SettingInfo {
    Setting setting;
    std::string_view valueName;
    std::string_view checkBox;  // empty for autoscan, which no box shows
    std::string_view caption;
    bool checkedAtDesign;
};

// In the order the window applies them at start.
extern const SettingInfo kSettings[10];
const SettingInfo& InfoOf(Setting setting);

class SettingsStore {
public:
    explicit SettingsStore(RegistryApi& registry) : registry_(registry) {}

    // The stored text, empty when missing.
    std::string text(Setting setting) const;
    // true for exactly "1", false for exactly "0", nullopt for anything else or nothing.
    std::optional<bool> flag(Setting setting) const;
    bool isExactlyOne(Setting setting) const { return text(setting) == "1"; }
    // Writes "1" or "0"; raises EOSError naming the setting, its key and the system's reason.
    void write(Setting setting, bool on);

    // The Run entry: the program's folder (with its '\') followed by "autostart.exe", in double
    // quotes. Each brings the entry in line with loadwithwin and changes nothing that already is
    // (an unquoted entry of an earlier version is not); each raises EOSError naming the entry,
    // its key, the setting and the system's reason when the registry refuses.
    void writeRunEntry(const std::string& executableFolder);
    void deleteRunEntry();
    static std::string RunEntryFor(const std::string& executableFolder);

    static constexpr const char* kKey = "Software\\KeltoraPro";
    static constexpr const char* kRunKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kRunValue = "KeltoraPro";
    static constexpr const char* kStarter = "autostart.exe";

private:
    // The stored string, nullopt when missing or not a string.
    std::optional<std::string> readString(const char* key, const std::string& name) const;
    // Writes a string value under HKEY_CURRENT_USER; raises EOSError "Cannot write <what>: ...".
    void writeString(const char* key, const std::string& name, const std::string& data, const std::string& what);
    std::string failure(const std::string& verb, const std::string& what, long code) const;

    RegistryApi& registry_;
};

}  // namespace keltora
