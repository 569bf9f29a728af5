// The profile readers on what a browser may leave behind and what someone may plant: each row a
// settings file (or none), the folders there, and what is listed and what is said.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "scanners/browsers/BrowserMachine.h"

namespace keltora::testing {
namespace {

struct Listed {
    std::string name;
    std::string folder;
    std::string cache;  // empty: none
    bool operator==(const Listed&) const = default;
};

std::vector<Listed> listed(const BrowserProfiles& found) {
    std::vector<Listed> out;
    for (const auto& profile : found.profiles)
        out.push_back({profile.displayName, Utf16ToUtf8(profile.folder.path),
                       profile.cacheFolder ? Utf16ToUtf8(profile.cacheFolder->path) : std::string()});
    return out;
}

struct Row {
    const char* name;
    std::optional<std::string> settings;  // Local State or profiles.ini; none: no such file
    std::function<void(BrowserMachine&)> setUp;
    std::vector<Listed> expected;
    std::size_t said;  // texts of what was skipped
};

void check(const char* code, const std::string& settingsFile, const Row& row) {
    SCOPED_TRACE(row.name);
    BrowserMachine m;
    m.files().addDirectory(settingsFile.substr(0, settingsFile.find_last_of('\\')));
    if (row.settings) m.files().addTextFile(settingsFile, *row.settings);
    if (row.setUp) row.setUp(m);
    const auto found = m.discover(code);
    EXPECT_EQ(row.expected, listed(found));
    EXPECT_EQ(row.said, found.skipped.size());
}

const std::string kDefault = kEdgeData + "\\Default";
const std::string kProfile1 = kEdgeData + "\\Profile 1";

void chromiumFolders(BrowserMachine& m) {
    for (const char* name : {"Default", "Profile 1", "Profile x", "System Profile", "Guest Profile"})
        m.files().addDirectory(kEdgeData + "\\" + name);
    m.files().addFile(kEdgeData + "\\Profile 2", 1);  // a file, no folder
}

TEST(BrowserProfiles, ChromiumLocalStateRows) {
    const std::string localState = kEdgeData + "\\Local State";
    const auto cache = [](const std::string& entries) { return "{\"profile\":{\"info_cache\":{" + entries + "}}}"; };
    const Row rows[] = {
        {"no Local State: the profile folders",
         std::nullopt,
         chromiumFolders,
         {{"Default", kDefault, kDefault}, {"Profile 1", kProfile1, kProfile1}},
         1},
        {"empty", "", chromiumFolders, {{"Default", kDefault, kDefault}, {"Profile 1", kProfile1, kProfile1}}, 1},
        {"truncated",
         cache("\"Default\":{\"name\":\"Pat\"}").substr(0, 30),
         chromiumFolders,
         {{"Default", kDefault, kDefault}, {"Profile 1", kProfile1, kProfile1}},
         1},
        {"no info_cache",
         "{\"profile\":{\"info_cache\":[]}}",
         chromiumFolders,
         {{"Default", kDefault, kDefault}, {"Profile 1", kProfile1, kProfile1}},
         1},
        {"the names the browser shows",
         cache("\"Default\":{\"name\":\"Pat\"},\"Profile 1\":{\"name\":\"Work \xE2\x9C\x93\"}"),
         chromiumFolders,
         {{"Pat", kDefault, kDefault}, {"Work \xE2\x9C\x93", kProfile1, kProfile1}},
         0},
        {"a name missing: the folder's",
         cache("\"Default\":{}"),
         chromiumFolders,
         {{"Default", kDefault, kDefault}},
         0},
        {"hostile folder names",
         cache("\"..\":{},\"..\\\\..\\\\..\":{},\"C:\\\\Windows\":{},\"Default\\\\..\\\\..\":{},\"Default:x\":{},"
               "\"Profile 2\":{},\"Profile 9\":{},\"Default\":{}"),
         chromiumFolders,
         {{"Default", kDefault, kDefault}},
         7},
        {"a link as a profile",
         cache("\"Default\":{},\"Profile 1\":{}"),
         [](BrowserMachine& m) {
             m.files().addDirectory(kDefault);
             m.files().addDirectory("C:\\Windows\\System32");
             m.files().addLink(kProfile1, "C:\\Windows\\System32");
         },
         {{"Default", kDefault, kDefault}},
         1},
    };
    for (const auto& row : rows) check("edge", localState, row);
}

TEST(BrowserProfiles, NoDataFolderListsNothing) {
    BrowserMachine m;
    const auto found = m.discover("chrome");
    EXPECT_FALSE(found.dataFolder);
    EXPECT_TRUE(found.profiles.empty());
    // A data folder that is a link is not entered either.
    m.files().addDirectory("C:\\Elsewhere\\Default");
    m.files().addDirectory(kLocal + "\\Google\\Chrome");
    m.files().addLink(kLocal + "\\Google\\Chrome\\User Data", "C:\\Elsewhere");
    EXPECT_FALSE(m.discover("chrome").dataFolder);
}

const std::string kFirefoxProfile = kFirefoxData + "\\Profiles\\abc.default";
const std::string kFirefoxCache = kLocal + "\\Mozilla\\Firefox\\Profiles\\abc.default";
const std::string kElsewhere = "C:\\Users\\pat\\Portable\\ff";

void firefoxFolders(BrowserMachine& m) {
    m.files().addDirectory(kFirefoxProfile);
    m.files().addDirectory(kFirefoxCache);
    m.files().addDirectory(kElsewhere);
    m.files().addDirectory("C:\\Windows\\System32");
    m.files().addDirectory("D:\\Profiles\\x");
}

std::string ini(const std::string& path, const std::string& relative = "1", const std::string& name = "default") {
    return "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=" + name + "\r\nIsRelative=" + relative +
           "\r\nPath=" + path + "\r\n";
}

TEST(BrowserProfiles, FirefoxProfilesIniRows) {
    const std::string profilesIni = kFirefoxData + "\\profiles.ini";
    const Row rows[] = {
        {"relative, with its cache below Local AppData",
         ini("Profiles/abc.default"),
         firefoxFolders,
         {{"default", kFirefoxProfile, kFirefoxCache}},
         0},
        {"absolute inside the user's folders: the cache in itself",
         ini(kElsewhere, "0", "portable"),
         firefoxFolders,
         {{"portable", kElsewhere, kElsewhere}},
         0},
        {"absolute outside the user's folders",
         ini("C:\\Windows\\System32", "0") + ini("D:\\Profiles\\x", "0"),
         firefoxFolders,
         {},
         2},
        {"relative climbing out", ini("../../../../../../Windows/System32"), firefoxFolders, {}, 1},
        {"the user's own folder", ini("../.."), firefoxFolders, {}, 1},
        {"relative, no cache folder",
         ini("Profiles/abc.default"),
         [](BrowserMachine& m) { m.files().addDirectory(kFirefoxProfile); },
         {{"default", kFirefoxProfile, ""}},
         0},
        {"missing", std::nullopt, firefoxFolders, {}, 1},
        {"empty", "", firefoxFolders, {}, 0},
        {"truncated in a path", ini("Profiles/abc.def"), firefoxFolders, {}, 1},
        {"no path, a device, a stream",
         ini("") + ini("\\\\.\\PhysicalDrive0", "0") + ini("Profiles/abc.default:x"),
         firefoxFolders,
         {},
         3},
        {"listed twice",
         ini("Profiles/abc.default") + ini("Profiles/ABC.default"),
         firefoxFolders,
         {{"default", kFirefoxProfile, kFirefoxCache}},
         1},
        {"through a link",
         ini("Profiles/linked"),
         [](BrowserMachine& m) {
             firefoxFolders(m);
             m.files().addLink(kFirefoxData + "\\Profiles\\linked", "C:\\Windows\\System32");
         },
         {},
         1},
    };
    for (const auto& row : rows) check("firefox", profilesIni, row);
}

}  // namespace
}  // namespace keltora::testing
