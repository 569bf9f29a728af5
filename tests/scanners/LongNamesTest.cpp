#include <gtest/gtest.h>

#include "RegistryTestSupport.h"

namespace keltora::testing {
namespace {

// Key names of the longest length the registry keeps make key paths longer than an ANSI
// registry call takes in one piece (as under Wine); each finding is still listed and removed.
const std::string kLong(255, 'k');

TEST(LongNames, EveryCategoryListsAndRemovesThemThroughShortPaths) {
    struct Row {
        const char* code;
        std::string keys;
        const char* scan;
        const char* remove;
    };
    const Row rows[] = {
        {"ue", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kLong + "]\n",
         "UninstallExecute", "removeueExecute"},
        {"ax", "[HKEY_CLASSES_ROOT\\CLSID\\" + kLong + "\\InprocServer32]\n@=\"gone.dll\"\n", "ActiveXExecute",
         "removeaxExecute"},
        {"da", "[HKEY_CURRENT_USER\\Software\\" + kLong + "\\" + kLong + "]\n\"V\"=\"C:\\\\Gone\\\\v.exe\"\n",
         "DeepExecute", "removedaExecute"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        World world(RegText(row.keys));
        AddBaseFolders(world);
        CountedForm counted(world);
        counted.registry.ansiPathLimit = true;
        TForm1& form = counted.form;
        form.invoke(row.scan);
        ASSERT_EQ(form.category(row.code).list().size(), 1u);
        form.invoke(row.remove);
        EXPECT_TRUE(form.category(row.code).list().empty());
        form.invoke(row.scan);
        EXPECT_TRUE(form.category(row.code).list().empty());
        EXPECT_EQ(world.machine.registry.openHandles(), 0u);
    }
}

// A finding whose key cannot be reached stays: the removal does not take "cannot open" for gone.
TEST(LongNames, ADeepFindingWhoseKeyDoesNotOpenStays) {
    World world(RegText("[HKEY_CURRENT_USER\\Software\\" + kLong + "\\" + kLong + "]\n\"V\"=\"C:\\\\Gone\\\\v.exe\"\n"));
    AddBaseFolders(world);
    TForm1& form = world.start();
    form.invoke("DeepExecute");
    ASSERT_EQ(form.category("da").list().size(), 1u);
    world.machine.registry.deny(kHKeyCurrentUser, "Software\\" + kLong + "\\" + kLong, kKeySetValue);
    form.invoke("removedaExecute");
    EXPECT_EQ(form.category("da").list().size(), 1u);
    EXPECT_TRUE(world.machine.registry.valueExists(kHKeyCurrentUser, "Software\\" + kLong + "\\" + kLong, "V"));
}

}  // namespace
}  // namespace keltora::testing
