#include <gtest/gtest.h>

#include <span>

#include "RegistryTestSupport.h"
#include "scanners/registry/ActiveX.h"

namespace keltora::testing {
namespace {

// A class key with its InprocServer32 default value; in .reg text a backslash is doubled.
std::string Class(const std::string& clsid, const std::string& server, const std::string& more = "",
                  const std::string& classes = "HKEY_CLASSES_ROOT\\CLSID") {
    std::string escaped;
    for (char c : server) escaped += c == '\\' ? std::string("\\\\") : c == '"' ? std::string("\\\"") : std::string(1, c);
    return "[" + classes + "\\" + clsid + "\\InprocServer32]\n@=\"" + escaped + "\"\n\n" + more;
}

std::vector<std::string> Scan(World& world) {
    TForm1& form = world.start();
    EXPECT_TRUE(form.invoke("ActiveXExecute"));
    return Captions(form.category("ax").list());
}

// Base machine: program files C:\Program Files, common files below it, system root C:\Windows.
TEST(ActiveX, EachFormOfTheServerPathIsTried) {
    struct Row {
        const char* server;
        const char* existing;  // the file that is there
        bool reported;
    };
    const Row rows[] = {
        {"\"C:\\Apps\\q.dll\"", "C:\\Apps\\q.dll", false},
        {"%ProgramFiles%\\App\\a.dll", "C:\\Program Files\\App\\a.dll", false},
        {"%programFiles%\\App\\a.dll", "C:\\Program Files\\App\\a.dll", false},
        {"%SystemRoot%\\system32\\b.dll", "C:\\Windows\\system32\\b.dll", false},
        {"%systemroot%\\b.dll", "C:\\Windows\\b.dll", false},
        {"%Systemroot%\\b.dll", "C:\\Windows\\b.dll", false},
        {"%windir%\\b.dll", "C:\\Windows\\b.dll", false},
        {"%Windir%\\b.dll", "C:\\Windows\\b.dll", false},
        {"%CommonProgramFiles%\\Shared\\c.dll", "C:\\Program Files\\Common Files\\Shared\\c.dll", false},
        {"C:\\Apps\\plain.dll", "C:\\Apps\\plain.dll", false},
        {"bare.dll", "C:\\Windows\\system32\\bare.dll", false},
        // Variables are expanded as Windows expands them: any spelling, every variable there is,
        // before the quotes go.
        {"%SYSTEMROOT%\\b.dll", "C:\\Windows\\b.dll", false},
        {"%WINDIR%\\b.dll", "C:\\Windows\\b.dll", false},
        {"%SystemDrive%\\Apps\\s.dll", "C:\\Apps\\s.dll", false},
        {"%ProgramFiles(x86)%\\App\\x.dll", "C:\\Program Files (x86)\\App\\x.dll", false},
        {"%COMMONPROGRAMFILES%\\Shared\\c.dll", "C:\\Program Files\\Common Files\\Shared\\c.dll", false},
        {"%ProgramData%\\App\\d.dll", "C:\\ProgramData\\App\\d.dll", false},
        {"\"%SystemRoot%\\b.dll\"", "C:\\Windows\\b.dll", false},
        // A variable without a value leaves the path unjudged: the class is not called missing.
        {"%KeltoraNoSuchVariable%\\gone.dll", "C:\\Apps\\other.dll", false},
        {"%SystemRoot%\\gone.dll", "C:\\Windows\\b.dll", true},
        {"bare.dll", "C:\\Windows\\bare.dll", true},
        {"C:\\Apps\\gone.dll", "C:\\Apps\\other.dll", true},
    };
    // A 32-bit class names its files as a 32-bit program does.
    const Row rows32[] = {
        {"C:\\Windows\\system32\\w.dll", "C:\\Windows\\SysWOW64\\w.dll", false},
        {"bare.dll", "C:\\Windows\\SysWOW64\\bare.dll", false},
        {"%ProgramFiles%\\App\\a.dll", "C:\\Program Files (x86)\\App\\a.dll", false},
        {"C:\\Windows\\Sysnative\\n.dll", "C:\\Windows\\System32\\n.dll", false},
        {"C:\\Windows\\System32\\spool\\d.dll", "C:\\Windows\\System32\\spool\\d.dll", false},
        {"C:\\Windows\\system32\\w.dll", "C:\\Windows\\system32\\w.dll", true},
        {"%ProgramFiles%\\App\\a.dll", "C:\\Program Files\\App\\a.dll", true},
    };
    const std::string x86 =
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\n"
        "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\n\n";
    for (const std::span<const Row> table : {std::span<const Row>(rows), std::span<const Row>(rows32)}) {
        const std::string classes = table.data() == rows ? "HKEY_CLASSES_ROOT\\CLSID"
                                                         : "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\WOW6432Node\\CLSID";
        for (const auto& row : table) {
            World world(RegText(x86 + Class("{00000000-0000-0000-0000-000000000001}", row.server, "", classes)));
            world.touch(row.existing);
            EXPECT_EQ(Scan(world).size(), row.reported ? 1u : 0u) << classes << " " << row.server;
        }
    }
}

TEST(ActiveX, FolderEmptyValueAndMissingServerKey) {
    World world(RegText(Class("{A}", "C:\\Apps") + Class("{B}", "") +
                        "[HKEY_CLASSES_ROOT\\CLSID\\{C}\\LocalServer32]\n@=\"C:\\\\gone.exe\"\n\n" +
                        Class("{D}", std::string(256, 'x'))));
    world.files().createDirectories("C:\\Apps");
    // A folder is no server file; an empty or unreadable value and a class without
    // InprocServer32 are passed over.
    EXPECT_EQ(Scan(world), (std::vector<std::string>{"C:\\Apps"}));
}

TEST(ActiveX, OneFindingPerClassAndOneIgnoreEntryForAll) {
    const std::string text = RegText(Class("{1}", "C:\\gone.dll") + Class("{2}", "C:\\gone.dll") +
                                     Class("{3}", "C:\\other.dll"));
    World world(text);
    TForm1& form = world.start();
    form.invoke("ActiveXExecute");
    const auto& list = form.category("ax").list();
    ASSERT_EQ(Captions(list), (std::vector<std::string>{"C:\\gone.dll", "C:\\gone.dll", "C:\\other.dll"}));
    EXPECT_EQ(list.at(1).subItems,
              (std::vector<std::string>{"Missing Path(Removable)", "{2}", "HKLM\\SOFTWARE\\Classes\\CLSID"}));
    EXPECT_EQ(list.columns(), (std::vector<Column>{{"Error Items", 200}, {"Repair Report", 150},
                                                   {"Detail Info", 200}, {"Registry Location", 150}}));
    EXPECT_EQ(form.lastCount, 3);
    form.category("ax").list().select(0);
    form.invoke("obax2Click");
    form.invoke("OBax4Click");
    EXPECT_EQ(Captions(form.category("ax").list()), (std::vector<std::string>{"C:\\other.dll"}));
}

TEST(ActiveX, RemovalDeletesTheWholeClassKey) {
    World world(RegText(Class("{1}", "C:\\gone.dll",
                              "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\LocalServer32]\n@=\"C:\\\\x.exe\"\n\n"
                              "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\TypeLib]\n@=\"{9}\"\n\n") +
                        Class("{2}", "C:\\gone2.dll") + Class("{3}", "C:\\gone3.dll") +
                        Class("{4}", "C:\\present.dll")));
    world.touch("C:\\present.dll");
    TForm1& form = world.start();
    form.invoke("ActiveXExecute");
    auto& list = form.category("ax").list();
    ASSERT_EQ(list.size(), 3u);
    list.setChecked(1, false);
    auto& reg = world.machine.registry;
    reg.deny(kHKeyClassesRoot, "CLSID\\{3}\\InprocServer32", kDeleteAccess);
    form.invoke("removeaxExecute");
    // {2} stays unchecked, {3} could not be deleted and stays checked.
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(0).subItem(2), "{2}");
    EXPECT_FALSE(list.at(0).checked);
    EXPECT_EQ(list.at(1).subItem(2), "{3}");
    EXPECT_TRUE(list.at(1).checked);
    EXPECT_EQ(form.lastCount, 2);
    EXPECT_FALSE(reg.exists(kHKeyClassesRoot, "CLSID\\{1}"));
    EXPECT_TRUE(reg.exists(kHKeyClassesRoot, "CLSID\\{2}"));
    EXPECT_TRUE(reg.exists(kHKeyClassesRoot, "CLSID\\{4}"));
    EXPECT_EQ(reg.openHandles(), 0u);
}

TEST(ActiveX, FaultRowsAndNamesAsData) {
    World world(RegText(Class("{Denied}", "C:\\gone.dll") + Class("..", "C:\\dots.dll") +
                        Class("%CLSID%", "C:\\percent.dll") + Class(std::string(255, 'c'), "C:\\long.dll")));
    auto& reg = world.machine.registry;
    reg.deny(kHKeyClassesRoot, "CLSID\\{Denied}\\InprocServer32");
    TForm1& form = world.start();
    form.invoke("ActiveXExecute");
    auto& list = form.category("ax").list();
    EXPECT_EQ(list.size(), 3u);
    form.invoke("removeaxExecute");
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(reg.subKeyNames(kHKeyClassesRoot, "CLSID"), (std::vector<std::string>{"{Denied}"}));

    World closed(RegText(Class("{1}", "C:\\gone.dll")));
    closed.machine.registry.deny(kHKeyClassesRoot, "CLSID");
    EXPECT_TRUE(Scan(closed).empty());
}

}  // namespace
}  // namespace keltora::testing
