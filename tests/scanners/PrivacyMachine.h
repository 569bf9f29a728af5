#pragma once
// The user folders the privacy scanners read, on top of the test machine every test starts from.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/World.h"

namespace keltora::testing {

inline constexpr const char* kUserFolders = R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders]
"Cookies"="C:\\Users\\pat\\Cookies"
"History"="C:\\Users\\pat\\Local Settings\\History"
"Local Settings"="C:\\Users\\pat\\Local Settings"
"Cache"="C:\\Users\\pat\\Local Settings\\Temporary Internet Files"
)";

inline const std::string kCookies = "C:\\Users\\pat\\Cookies\\";
inline const std::string kHistoryStore = "C:\\Users\\pat\\Local Settings\\History\\History.IE5\\";
inline const std::string kUserTemp = "C:\\Users\\pat\\Local Settings\\Temp\\";
inline const std::string kCacheStore = "C:\\Users\\pat\\Local Settings\\Temporary Internet Files\\Content.IE5\\";
inline const std::string kWindows = "C:\\Windows\\";

// A text that sets one of the user folders to value.
inline std::string ShellFolderValue(const std::string& name, const std::string& value) {
    std::string escaped;
    for (char c : value) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
           "Explorer\\Shell Folders]\n\"" + name + "\"=\"" + escaped + "\"\n";
}

// A text that takes one of the user folders away.
inline std::string WithoutShellFolder(const std::string& name) {
    return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
           "Explorer\\Shell Folders]\n\"" + name + "\"=-\n";
}

// The path each finding names: its folder column followed by its caption.
inline std::vector<std::string> Paths(const ResultList& list) {
    std::vector<std::string> paths;
    for (const auto& finding : list.findings()) paths.push_back(finding.subItem(3) + finding.caption);
    return paths;
}

// Runs a handler of the window by its name, as its button or menu item does.
inline void Invoke(TForm1& form, std::string_view handler) { EXPECT_TRUE(form.invoke(handler)) << handler; }

}  // namespace keltora::testing
