// Names below a folder found through its listings: names compared as the system compares them,
// never as masks, and never through a link or a file in a folder's place.
#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/memory/MemoryPlatform.h"
#include "scan/FolderLookup.h"

namespace keltora::testing {
namespace {

constexpr const char* kBase = "C:\\Users\\pat\\AppData";

TEST(FolderLookup, FindsByNameOnlyWhatNoLinkOrFileStandsFor) {
    struct Row {
        const char16_t* relative;
        bool folder;                // ask for a folder (else a file)
        const char16_t* found;      // its full path; nullptr: nothing
    };
    const Row rows[] = {
        {u"Edge\\User Data", true, u"C:\\Users\\pat\\AppData\\Edge\\User Data"},
        {u"edge\\USER DATA", true, u"C:\\Users\\pat\\AppData\\Edge\\User Data"},
        {u"Edge\\User Data\\Local State", false, u"C:\\Users\\pat\\AppData\\Edge\\User Data\\Local State"},
        {u"Edge\\*", true, nullptr},                    // a mask is no name
        {u"Ed?e\\User Data", true, nullptr},
        {u"Linked\\Local State", false, nullptr},     // through a link
        {u"Edge\\User Data\\Local State", true, nullptr},  // a file where a folder is asked for
        {u"Edge\\User Data", false, nullptr},         // and the other way round
        {u"Edge\\\\User Data", true, nullptr},        // an empty part
        {u"Missing", true, nullptr},
    };
    MemoryPlatform machine;
    machine.files.addFile(std::string(kBase) + "\\Edge\\User Data\\Local State", 10);
    machine.files.addFile("C:\\Elsewhere\\Local State", 10);
    machine.files.addLink(std::string(kBase) + "\\Linked", "C:\\Elsewhere");
    for (const auto& row : rows) {
        SCOPED_TRACE(Utf16ToUtf8(row.relative));
        FolderLookup lookup(machine.platform(), *ValueFolder(machine.platform(), std::string(kBase)));
        std::optional<std::u16string> path;
        if (row.folder) {
            if (const auto folder = lookup.folder(row.relative)) {
                EXPECT_TRUE(folder->identity.known());  // what the listing saw of it
                path = folder->path;
            }
        } else if (const auto file = lookup.file(row.relative)) {
            path = file->folder().below(file->name());
        }
        EXPECT_EQ(row.found ? std::optional<std::u16string>(row.found) : std::nullopt, path);
    }
}

}  // namespace
}  // namespace keltora::testing
