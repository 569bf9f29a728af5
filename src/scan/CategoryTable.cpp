#include "scan/CategoryTable.h"

namespace keltora {

namespace {
constexpr auto R = Menu::Registry;
constexpr auto P = Menu::Privacy;
constexpr auto Own = PageButtons::Own;
constexpr auto Shared = PageButtons::Shared;
constexpr std::array<std::string_view, 4> kSharedButtons{"OBhis1", "", "OBhis3", "OBhis4"};

// clang-format off
const CategoryInfo kRows[] = {
    {"sp", "lvsp", "StartupExecute", "removespExecute", R, "Running While Startup", "RunningWhileStartup1Click",
     1, "Running While Startup", kGroupRegistry, Own, 0, "lvignoredsp",
     "Status : Scanning Startup Programs", "Status : Scanned Startup Programs", {"OBsp1", "OBsp2", "OBsp3", "OBsp4"}},
    {"ue", "lvue", "UninstallExecute", "removeueExecute", R, "Uninstaller Bugs", "UninstallerBugs1Click",
     2, "Uninstaller Bugs", kGroupRegistry, Own, 0, "lvignoredue",
     "Status : Scanning Uninstaller Bugs ", "Status : Scanned Uninstaller Bugs", {"OBue1", "obue2", "OBue3", "OBue4"}},
    {"fe", "lvfe", "FileExtExecute", "removefeExecute", R, "Unused Extensions", "UnusedExtensions1Click",
     3, "Unused Extensions", kGroupRegistry, Own, 0, "lvignoredfe",
     "Status : Scanning Unused Extension", "Status : Scanned Unused Extension", {"OBfe1", "obfe2", "OBfe3", "OBfe4"}},
    {"ax", "lvax", "ActiveXExecute", "removeaxExecute", R, "Missing ActiveX and DLLs", "MissingActiveXandDLLs1Click",
     4, "Missing ActiveX and DLLs", kGroupRegistry, Own, 0, "lvignoredax",
     "Status : Scanning ActiveX and DLLs", "Status : Scanned ActiveX and DLLs", {"OBax1", "obax2", "OBax3", "OBax4"}},
    {"help", "lvhelp", "helpfileExecute", "", R, "Help Files", "H1Click",
     5, "Help Files", kGroupRegistry, Shared, 12, "",
     "  Status : Scanning Help Files", "  Status : Scanned Help Files", kSharedButtons},
    {"font", "lvfont", "fontregExecute", "", R, "Fonts Registration", "FontsRegistra1Click",
     6, "Fonts Registration", kGroupRegistry, Shared, 11, "",
     "  Status : Scanning Fonts Registration", "  Status : Scanned Fonts Registration", kSharedButtons},
    {"vd", "lvvd", "VirtualDeviceExecute", "", R, "Virtual Components", "VirtualComponent1Click",
     7, "Virtual Components", kGroupRegistry, Own, 0, "",
     "  Status : Scanning Virtual Devices", "  Status : Scanned Virtual Devices", {"OBvd1", "obvd2", "OBvd3", "OBvd4"}},
    {"url", "lvurl", "type_urlExecute", "removeurlExecute", R, "Typed URLs", "URLTyped1Click",
     8, "Type URLs", kGroupRegistry, Shared, 10, "",
     "Status : Scanning Typed URLs", "Status : Scanned Typed URLs", kSharedButtons},
    {"run", "lvrun", "runExecute", "removerunExecute", R, "Run (Start Menu)", "RunStartMenu2Click",
     9, "Run (Start Menu)", kGroupRegistry, Shared, 4, "",
     "Status : Scanning Run (Start Menu)", "Status : Scanned Run (Start Menu)", kSharedButtons},
    {"pc", "lvpc", "PrivacyExecute", "removepcExecute", P, "Recent Documents", "RecentDocuments2Click",
     10, "Recent Documents", kGroupPrivacy, Own, 0, "lvignoredpc",
     "Status : Scanning Recent Documents", "Status : Scanned Recent Documents", {"OBpc1", "obpc2", "OBpc3", "OBpc4"}},
    {"bin", "lvbin", "recycleExecute", "removebinExecute", P, "Recycle Bin", "RecycleBin2Click",
     11, "Recycle Bin", kGroupPrivacy, Shared, 3, "",
     "  Status : Scanning Recycle Bin", "Status : Scanned Recycle Bin", kSharedButtons},
    {"temp", "lvdel", "temp_filesExecute", "removetempExecute", P, "Temporary Files", "emporaryFiles1Click",
     12, "Temporary Files", kGroupPrivacy, Shared, 2, "",
     "  Status : Scanning Temporary Files", "  Status : Scanned Temporary Files", kSharedButtons},
    {"clip", "lvclip", "clipExecute", "removeclipExecute", P, "Clipboard", "Clipboard1Click",
     13, "Clipboard", kGroupPrivacy, Shared, 5, "",
     "Status : Scanning Clipboard", "Status : Scanned Clipboard", kSharedButtons},
    {"dump", "lvdump", "dumpExecute", "removedumpExecute", P, "Memory Dumps", "MemoryDumps1Click",
     14, "Memory Dumps", kGroupPrivacy, Shared, 6, "",
     "Status : Scanning Memory Dumps", "Status : Scanned Memory Dumps", kSharedButtons},
    {"chk", "lvchk", "chkExecute", "removechkExecute", P, "Chkdsk Files", "ChkdskFiles2Click",
     15, "Chkdsk Files", kGroupPrivacy, Shared, 7, "",
     "Status : Scanning Chkdsk Files", "Status : Scanned Chkdsk Files", kSharedButtons},
    {"log", "lvlog", "logExecute", "removelogExecute", P, "Log Files", "LogFiles2Click",
     16, "Log Files", kGroupPrivacy, Shared, 8, "",
     "Status : Scanning Log Files", "Status : Scanned Log Files", kSharedButtons},
    {"co", "lvco", "CookiesExecute", "removecoExecute", P, "Cookies", "Cookies1Click",
     17, "Cookies", kGroupPrivacy, Own, 0, "",
     "  Status : Scanning Cookies", "  Status : Scanned Cookies", {"OBco1", "OBco2", "OBco3", "OBco4"}},
    {"his", "lvhis", "historyExecute", "removehisExecute", P, "History", "History1Click",
     18, "History", kGroupPrivacy, Shared, 1, "",
     "  Status : Scanning History", "  Status : Scanned History", kSharedButtons},
    {"tempie", "lvtempie", "tempieExecute", "removetempieExecute", P, "Temporary IE", "emporaryIE1Click",
     19, "Temporary IE", kGroupPrivacy, Shared, 9, "",
     "Status : Scanning Temporary IE", "Status : Scanned Temporary IE", kSharedButtons},
    {"da", "LV2", "DeepExecute", "removedaExecute", R, "Progressive Analysis", "ProgressiveClick",
     20, "Progressive Registry Analysis", kGroupRegistry, Own, 0, "lvignoredda",
     "Status : Progressive Registry Analyzing", "Status : Progressive Analyzing Completed",
     {"OBda1", "OBda2", "OBda3", "OBda4"}},
    {"utemp", "lvutemp", "utempExecute", "removeutempExecute", P, "User Temporary Files", "UserTemporaryFiles1Click",
     21, "User Temporary Files", kGroupWindows, Own, 0, "lvignoredutemp",
     "Status : Scanning User Temporary Files", "Status : Scanned User Temporary Files",
     {"OButemp1", "obutemp2", "OButemp3", "OButemp4"}},
    {"wer", "lvwer", "werExecute", "removewerExecute", P, "Windows Error Reports", "WindowsErrorReports1Click",
     22, "Windows Error Reports", kGroupWindows, Own, 0, "lvignoredwer",
     "Status : Scanning Windows Error Reports", "Status : Scanned Windows Error Reports",
     {"OBwer1", "obwer2", "OBwer3", "OBwer4"}},
    {"cdump", "lvcdump", "cdumpExecute", "removecdumpExecute", P, "Crash Dumps", "CrashDumps1Click",
     23, "Crash Dumps", kGroupWindows, Own, 0, "lvignoredcdump",
     "Status : Scanning Crash Dumps", "Status : Scanned Crash Dumps", {"OBcdump1", "obcdump2", "OBcdump3", "OBcdump4"}},
    {"thumb", "lvthumb", "thumbExecute", "removethumbExecute", P, "Thumbnail Cache", "ThumbnailCache1Click",
     24, "Thumbnail Cache", kGroupWindows, Own, 0, "lvignoredthumb",
     "Status : Scanning Thumbnail Cache", "Status : Scanned Thumbnail Cache",
     {"OBthumb1", "obthumb2", "OBthumb3", "OBthumb4"}},
    {"jump", "lvjump", "jumpExecute", "removejumpExecute", P, "Jump Lists", "JumpLists1Click",
     25, "Jump Lists", kGroupWindows, Own, 0, "lvignoredjump",
     "Status : Scanning Jump Lists", "Status : Scanned Jump Lists", {"OBjump1", "objump2", "OBjump3", "OBjump4"}},
    {"inet", "lvinet", "inetExecute", "removeinetExecute", P, "Internet Cache", "InternetCache1Click",
     26, "Internet Cache", kGroupWindows, Own, 0, "lvignoredinet",
     "Status : Scanning Internet Cache", "Status : Scanned Internet Cache", {"OBinet1", "obinet2", "OBinet3", "OBinet4"}},
    {"mru", "lvmru", "mruExecute", "removemruExecute", P, "Explorer History", "ExplorerHistory1Click",
     27, "Explorer History", kGroupWindows, Own, 0, "lvignoredmru",
     "Status : Scanning Explorer History", "Status : Scanned Explorer History", {"OBmru1", "obmru2", "OBmru3", "OBmru4"}},
};
// clang-format on

}  // namespace

const std::span<const CategoryInfo> kCategories{kRows};

bool CountsAsPrivacy(const CategoryInfo& info) { return info.group != kGroupRegistry; }

const CategoryInfo* FindCategory(std::string_view code) {
    for (const auto& info : kCategories)
        if (info.code == code) return &info;
    return nullptr;
}

const CategoryInfo* CategoryForPageType(int pageType) {
    if (pageType <= 0) return nullptr;
    for (const auto& info : kCategories)
        if (info.sharedPageType == pageType) return &info;
    return nullptr;
}

std::size_t CategoryIndex(const CategoryInfo& info) { return static_cast<std::size_t>(&info - kCategories.data()); }

}  // namespace keltora
