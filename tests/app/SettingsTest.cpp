#include <gtest/gtest.h>

#include <optional>

#include "support/World.h"

namespace keltora::testing {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kStarter = "\"C:\\Program Files\\Keltora Professional\\autostart.exe\"";

// Registry text with the given option values (nullopt: the value is missing) and an old Run
// entry that only loadwithwin may touch.
std::string Machine(const std::string& value, const std::optional<std::string>& text) {
    std::string reg = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n";
    if (text) reg += "\"" + value + "\"=\"" + *text + "\"\n";
    reg += "\n[HKEY_CURRENT_USER\\" + std::string(kRunKey) + "]\n\"KeltoraPro\"=\"old\"\n";
    return reg;
}

struct Row {
    std::optional<std::string> text;
    std::optional<bool> applied;  // nullopt: the box keeps its design state and nothing is applied
};
const Row kRows[] = {
    {"1", true}, {"0", false}, {std::nullopt, std::nullopt}, {"yes", std::nullopt}, {"", std::nullopt}};

std::string Show(const std::optional<std::string>& text) { return text ? "\"" + *text + "\"" : "missing"; }

TEST(SettingsAtStart, EachBoxFollowsOneOrZeroAndKeepsItsDesignOtherwise) {
    for (const auto& info : kSettings) {
        if (info.checkBox.empty()) continue;
        for (const auto& row : kRows) {
            World world(Machine(std::string(info.valueName), row.text));
            TForm1& form = world.start();
            EXPECT_EQ(form.options.at(info.setting)->checked(), row.applied.value_or(info.checkedAtDesign))
                << info.valueName << " " << Show(row.text);
        }
    }
}

TEST(SettingsAtStart, AlwaysOnTopIsAppliedOnlyForOneOrZero) {
    for (const auto& row : kRows) {
        World world(Machine("alwaysontop", row.text));
        world.start();
        EXPECT_EQ(world.host.topmostCalls, row.applied ? 1 : 0) << Show(row.text);
        EXPECT_EQ(world.host.topmost, row.applied.value_or(false)) << Show(row.text);
    }
}

TEST(SettingsAtStart, LoadWithWindowsWritesDeletesOrLeavesTheRunEntry) {
    for (const auto& row : kRows) {
        World world(Machine("loadwithwin", row.text));
        world.start();
        const bool exists = world.valueExists(kHKeyCurrentUser, kRunKey, "KeltoraPro");
        if (row.applied == false) {
            EXPECT_FALSE(exists);
        } else {
            EXPECT_EQ(world.read(kHKeyCurrentUser, kRunKey, "KeltoraPro"), row.applied ? kStarter : "old")
                << Show(row.text);
        }
    }
}

// An entry not in line with loadwithwin "1" (an earlier version's unquoted one among them) is
// rewritten; one in line is left alone, even in a Run key the user may only read; a refusal is
// shown with what, where and why, and the start goes on to load the ignore lists.
TEST(SettingsAtStart, TheRunEntryIsBroughtInLineOrTheRefusalShown) {
    struct EntryRow {
        const char* entry;
        std::uint32_t denied;
        const char* message;  // nullptr: none
    };
    const std::string refused = "Cannot write the Run entry KeltoraPro in HKCU\\SOFTWARE\\Microsoft\\Windows\\"
                                "CurrentVersion\\Run for the setting loadwithwin: Access is denied.";
    const EntryRow rows[] = {
        {"C:\\\\Program Files\\\\Keltora Professional\\\\autostart.exe", 0, nullptr},
        {"\\\"C:\\\\Program Files\\\\Keltora Professional\\\\autostart.exe\\\"", 0x2, nullptr},
        {"old", 0x2, refused.c_str()},
    };
    for (const auto& row : rows) {
        World world("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\KeltoraPro]\n"
                    "\"loadwithwin\"=\"1\"\n\n[HKEY_CURRENT_USER\\" + std::string(kRunKey) + "]\n\"KeltoraPro\"=\"" +
                    row.entry + "\"\n");
        world.touch(std::string(kIgnoreFolder) + "\\Datasp.dat", "Kept=HKCU\r\n");
        if (row.denied) world.machine.registry.deny(kHKeyCurrentUser, kRunKey, row.denied);
        TForm1& form = world.start();
        EXPECT_EQ(world.host.messages, row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{});
        if (!row.message) {
            EXPECT_EQ(world.read(kHKeyCurrentUser, kRunKey, "KeltoraPro"), kStarter) << row.entry;
        }
        EXPECT_TRUE(form.ignoreList("sp")->contains("Kept")) << row.entry;
    }
}

TEST(OptionBoxes, AFailedWriteNamesTheSettingTheKeyAndTheReason) {
    World world;
    TForm1& form = world.start();
    world.machine.registry.deny(kHKeyCurrentUser, "Software\\KeltoraPro");
    try {
        form.invoke("CBontopClick");
        ADD_FAILURE() << "no error raised";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Cannot write the setting alwaysontop in HKCU\\Software\\KeltoraPro: Access is denied.");
    }
}

TEST(SettingsAtStart, TrayIconAndTaskbarBoxFollowTrayMinimize) {
    for (const auto& row : kRows) {
        World world(Machine("trayminimize", row.text));
        TForm1& form = world.start();
        // Missing or unreadable: the box shows checked, yet no icon is added.
        EXPECT_EQ(world.host.trayCalls, row.applied ? 1 : 0) << Show(row.text);
        EXPECT_EQ(world.host.tray, row.applied.value_or(false)) << Show(row.text);
        EXPECT_EQ(form.options.at(Setting::TaskbarStatus)->enabled(), row.applied.value_or(true)) << Show(row.text);
    }
}

TEST(SettingsAtStart, AutoBackupChecksTheBackupRowOnlyForOne) {
    for (const auto& row : kRows) {
        World world(Machine("autobackup", row.text));
        EXPECT_EQ(world.start().lvall.at(0).checked, row.applied == true) << Show(row.text);
    }
}

TEST(SettingsAtStart, AutoscanIsOffOnlyForZero) {
    for (const auto& row : kRows) {
        World world(Machine("autoscan", row.text));
        EXPECT_EQ(world.start().autoscanOnStart, row.applied != false) << Show(row.text);
    }
}

TEST(OptionBoxes, EveryClickWritesOneOrZero) {
    World world;
    TForm1& form = world.start();
    for (const auto& info : kSettings) {
        if (info.checkBox.empty()) continue;
        CheckBox& box = *form.options.at(info.setting);
        for (bool on : {true, false}) {
            box.setChecked(on);
            EXPECT_TRUE(form.invoke(std::string(info.checkBox) + "Click")) << info.checkBox;
            EXPECT_EQ(world.read(kHKeyCurrentUser, "Software\\KeltoraPro", std::string(info.valueName)), on ? "1" : "0")
                << info.checkBox;
        }
    }
}

TEST(OptionBoxes, ClicksApplyTopmostRunEntryAndTray) {
    World world(Machine("", std::nullopt));
    TForm1& form = world.start();
    auto click = [&](Setting setting, bool on) {
        form.options.at(setting)->setChecked(on);
        form.invoke(std::string(InfoOf(setting).checkBox) + "Click");
    };
    click(Setting::AlwaysOnTop, true);
    EXPECT_TRUE(world.host.topmost);
    click(Setting::AlwaysOnTop, false);
    EXPECT_FALSE(world.host.topmost);

    click(Setting::LoadWithWindows, true);
    EXPECT_EQ(world.read(kHKeyCurrentUser, kRunKey, "KeltoraPro"), kStarter);
    click(Setting::LoadWithWindows, false);
    EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, kRunKey, "KeltoraPro"));
    EXPECT_EQ(world.read(kHKeyCurrentUser, "Software\\KeltoraPro", "loadwithwin"), "0");

    click(Setting::TrayMinimize, false);
    EXPECT_FALSE(world.host.tray);
    EXPECT_FALSE(form.options.at(Setting::TaskbarStatus)->enabled());
    click(Setting::TrayMinimize, true);
    EXPECT_TRUE(world.host.tray);
    EXPECT_TRUE(form.options.at(Setting::TaskbarStatus)->enabled());
}

TEST(FormClose, WritesAutoscanZeroSoTheNextStartWaits) {
    World world;
    world.start().FormClose();
    EXPECT_EQ(world.read(kHKeyCurrentUser, "Software\\KeltoraPro", "autoscan"), "0");
    EXPECT_FALSE(world.start().autoscanOnStart);
}

TEST(FormDestroy, RemovesTheTrayIconAndBringsTheRunEntryInLine) {
    for (const auto& row : kRows) {
        World world(Machine("trayminimize", std::string("1")));
        TForm1& form = world.start();
        ASSERT_TRUE(world.host.tray);
        // What loadwithwin says now, whatever it said at start.
        world.load(Machine("loadwithwin", row.text));
        form.FormDestroy();
        EXPECT_FALSE(world.host.tray);
        const bool exists = world.valueExists(kHKeyCurrentUser, kRunKey, "KeltoraPro");
        if (row.applied == false) {
            EXPECT_FALSE(exists) << Show(row.text);
        } else {
            EXPECT_EQ(world.read(kHKeyCurrentUser, kRunKey, "KeltoraPro"), row.applied ? kStarter : "old")
                << Show(row.text);
        }
        // Only closing by the frame writes autoscan.
        EXPECT_FALSE(world.valueExists(kHKeyCurrentUser, "Software\\KeltoraPro", "autoscan"));
    }
}

}  // namespace
}  // namespace keltora::testing
