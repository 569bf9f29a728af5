#include <gtest/gtest.h>

#include "RegistryTestSupport.h"

namespace keltora::testing {
namespace {

// A key directly below HKEY_CLASSES_ROOT (the machine's classes) with the given lines.
std::string Root(const std::string& name, const std::string& values = "") {
    return "[HKEY_CLASSES_ROOT\\" + name + "]\n" + values + "\n";
}
// The same in the user's classes.
std::string UserRoot(const std::string& name, const std::string& values = "") {
    return "[HKEY_CURRENT_USER\\Software\\Classes\\" + name + "]\n" + values + "\n";
}

std::vector<std::string> Scan(World& world) {
    TForm1& form = world.start();
    EXPECT_TRUE(form.invoke("FileExtExecute"));
    return Captions(form.category("fe").list());
}

TEST(FileExtensions, ReportsExtensionKeysWithoutAFileType) {
    struct Row {
        std::string keys;
        std::vector<std::string> reported;
    };
    const std::string longType(256, 't');
    const Row rows[] = {
        {Root(".abc", "@=\"\"\n"), {".abc"}},
        {Root(".nov"), {".nov"}},
        {Root(".typ", "@=\"typfile\"\n"), {}},  // a file type, existing or not, is enough
        {Root(".sub") + Root(".sub\\ShellNew", "\"NullFile\"=\"\"\n"), {".sub"}},
        {Root(".big", "@=\"" + longType + "\"\n"), {".big"}},  // too long to read counts as empty
        // A file-type key stands for the extension of its name less its first character.
        {Root("abcfile", "@=\"A file\"\n"), {}},
        {Root(".bcfile", "@=\"\"\n") + Root("abcfile"), {".bcfile"}},
        {Root("*", "@=\"\"\n"), {}},
        {Root("*") + Root("."), {"."}},
        // A key that names its handlers carries the associations of installed apps.
        {Root(".owp") + Root(".owp\\OpenWithProgids", "\"owpfile\"=\"\"\n"), {}},
        {Root(".owl") + Root(".owl\\openwithlist", "\"a\"=\"app.exe\"\n"), {}},
        {Root(".vrb") + Root(".vrb\\Shell\\open\\command"), {}},
        {Root(".emp") + Root(".emp\\OpenWithProgids") + Root(".emp\\shell") + Root(".emp\\OpenWithList\\x"),
         {".emp"}},
        // Each hive's classes by themselves: the user's handlers do not make the machine's key used.
        {Root(".own") + UserRoot(".own\\OpenWithProgids", "\"ownfile\"=\"\"\n") + UserRoot(".usr"), {".own", ".usr"}},
    };
    for (const auto& row : rows) {
        World world(RegText(row.keys));
        EXPECT_EQ(Scan(world), row.reported) << row.keys;
    }
}

TEST(FileExtensions, RepeatsInAllUpperOrAllLowerCaseAreDropped) {
    struct Row {
        std::string keys;
        std::vector<std::string> reported;
    };
    // Root names are listed without regard to case; "X..." yields the extension "." + "...".
    const Row rows[] = {
        {Root(".abc") + Root("XABC"), {".abc"}},
        {Root(".abc") + Root("XAbc"), {".abc"}},
        {Root(".Abc") + Root("Xabc"), {".Abc", ".abc"}},
        {Root(".Abc") + Root("XAbc"), {".Abc", ".Abc"}},
        {Root(".abc") + UserRoot(".ABC"), {".abc", ".ABC"}},  // a repeat only within one hive's classes
    };
    for (const auto& row : rows) {
        World world(RegText(row.keys));
        EXPECT_EQ(Scan(world), row.reported) << row.keys;
    }
}

TEST(FileExtensions, FindingColumnsAndIgnoreList) {
    World world(RegText(Root(".abc") + Root(".ABD") + Root(".keep")));
    world.touch(std::string(kIgnoreFolder) + "\\Datafe.dat", ".abd=HKCR\r\n.keep=HKCR\r\n");
    TForm1& form = world.start();
    form.invoke("FileExtExecute");
    const auto& list = form.category("fe").list();
    ASSERT_EQ(Captions(list), (std::vector<std::string>{".abc", ".ABD"}));
    EXPECT_EQ(list.at(0).subItems,
              (std::vector<std::string>{"Unused Extension(Removable)", "Empty Key", "HKLM\\SOFTWARE\\Classes"}));
    EXPECT_EQ(list.columns(), (std::vector<Column>{{"Error Items", 100}, {"Repair Report", 200},
                                                   {"Detail Info", 150}, {"Registry Location", 150}}));
    EXPECT_EQ(form.lastCount, 2);
}

TEST(FileExtensions, RemovalDeletesTheKeyWithItsSubtree) {
    World world(RegText(Root(".sub") + Root(".sub\\ShellNew", "\"NullFile\"=\"\"\n") + Root(".two") +
                        Root(".three") + Root(".used", "@=\"usedfile\"\n")));
    TForm1& form = world.start();
    form.invoke("FileExtExecute");
    auto& list = form.category("fe").list();
    ASSERT_EQ(Captions(list), (std::vector<std::string>{".sub", ".three", ".two"}));
    list.setChecked(2, false);
    form.invoke("removefeExecute");
    EXPECT_EQ(Captions(list), (std::vector<std::string>{".two"}));
    EXPECT_EQ(form.lastCount, 1);
    auto& reg = world.machine.registry;
    EXPECT_FALSE(reg.exists(kHKeyClassesRoot, ".sub"));
    EXPECT_FALSE(reg.exists(kHKeyClassesRoot, ".three"));
    EXPECT_TRUE(reg.exists(kHKeyClassesRoot, ".two"));
    EXPECT_TRUE(reg.exists(kHKeyClassesRoot, ".used"));
    EXPECT_EQ(reg.openHandles(), 0u);
}

TEST(FileExtensions, FaultRowsAndNamesAsData) {
    World world(RegText(Root(".locked") + Root(".locked\\inner") + Root(".a%b%") + Root(".q\"x") + Root(".gone")));
    TForm1& form = world.start();
    form.invoke("FileExtExecute");
    auto& list = form.category("fe").list();
    ASSERT_EQ(list.size(), 4u);
    auto& reg = world.machine.registry;
    // A subtree that cannot be deleted stays listed; a key deleted meanwhile leaves the list.
    reg.deny(kHKeyClassesRoot, ".locked\\inner", kDeleteAccess);
    reg.removeKey(kHKeyClassesRoot, ".gone");
    form.invoke("removefeExecute");
    EXPECT_EQ(Captions(list), (std::vector<std::string>{".locked"}));
    EXPECT_TRUE(list.at(0).checked);
    EXPECT_EQ(form.lastCount, 1);
    EXPECT_FALSE(reg.exists(kHKeyClassesRoot, ".a%b%"));
    EXPECT_FALSE(reg.exists(kHKeyClassesRoot, ".q\"x"));

    World closed(RegText(Root(".abc")));
    closed.machine.registry.deny(kHKeyClassesRoot, ".abc");
    // An extension key that cannot be opened at all is passed over.
    EXPECT_TRUE(Scan(closed).empty());
}

}  // namespace
}  // namespace keltora::testing
