// The .reg reader and writer over the memory registry: value forms, deletions, encodings, errors
// naming their line, and export followed by import giving the same registry.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "platform/memory/AnsiCodePage.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RegFile.h"

namespace keltora {
namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
constexpr const char* kKey = "Software\\T";

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text, bool withNul = true) {
    Bytes bytes(text.begin(), text.end());
    if (withNul) bytes.push_back(0);
    return bytes;
}

TEST(RegFileTest, ValueForms) {
    struct Row {
        const char* line;
        const char* name;
        std::uint32_t type;
        Bytes data;
    };
    const Row rows[] = {
        {R"("s"="a \"q\" C:\\dir\\")", "s", kRegSz, Text("a \"q\" C:\\dir\\")},
        {R"(@="default")", "", kRegSz, Text("default")},
        {R"("na\\me"="")", "na\\me", kRegSz, Text("")},
        {R"("d"=dword:0000000a)", "d", kRegDword, {10, 0, 0, 0}},
        {R"("D"=DWORD:FFFFFFFF)", "D", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
        {R"("b"=hex:01,ff,10)", "b", kRegBinary, {1, 0xFF, 0x10}},
        {R"("e"=hex(2):25,00,54,00,25,00,00,00)", "e", kRegExpandSz, Text("%T%")},
        {R"("m"=hex(7):61,00,00,00,62,00,00,00,00,00)", "m", kRegMultiSz, {'a', 0, 'b', 0, 0}},
        {R"("euro"=hex(2):ac,20,e9,00,00,00)", "euro", kRegExpandSz, {0x80, 0xE9, 0}},
        {R"("other"=hex(2):00,04,00,00)", "other", kRegExpandSz, {'?', 0}},
        {R"("q"=hex(b):01,00,00,00,00,00,00,00)", "q", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}},
        {R"("none"=hex(0):)", "none", kRegNone, {}},
        {R"("c"=hex:01,02,\)" "\r\n" "  03,\\ \t\n\t04", "c", kRegBinary, {1, 2, 3, 4}},
        {"  \"padded\" = \"v\"  ", "padded", kRegSz, Text("v")},
        {R"("comment"="v" ; said so)", "comment", kRegSz, Text("v")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        MemoryRegistry reg;
        ApplyRegFile(reg, std::string(kHeader) + "[HKEY_CURRENT_USER\\" + kKey + "]\r\n" + row.line + "\r\n");
        auto value = reg.value(kHKeyCurrentUser, kKey, row.name);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(row.type, value->type);
        EXPECT_EQ(row.data, value->data);
    }
}

TEST(RegFileTest, Version4FilesCarryStringsInHexAsAnsi) {
    MemoryRegistry reg;
    ApplyRegFile(reg, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\T]\n\"e\"=hex(2):25,54,25,00\n");
    EXPECT_EQ(Text("%T%"), reg.value(kHKeyCurrentUser, kKey, "e")->data);
}

TEST(RegFileTest, RootNamesLongAndShort) {
    MemoryRegistry reg;
    ApplyRegFile(reg, std::string(kHeader) +
                          "[HKLM\\Software\\M]\r\n[HKCU\\Software\\U]\r\n[HKCR\\.x]\r\n"
                          "[HKEY_CLASSES_ROOT\\.y]\r\n[hkey_current_user\\Software\\Lower]\r\n");
    EXPECT_TRUE(reg.exists(kHKeyLocalMachine, "Software\\M"));
    EXPECT_TRUE(reg.exists(kHKeyCurrentUser, "Software\\U"));
    EXPECT_TRUE(reg.exists(kHKeyLocalMachine, "Software\\Classes\\.x"));
    EXPECT_TRUE(reg.exists(kHKeyClassesRoot, ".y"));
    EXPECT_TRUE(reg.exists(kHKeyCurrentUser, "Software\\Lower"));
}

TEST(RegFileTest, DeletionsOfSubtreesAndValues) {
    MemoryRegistry reg;
    reg.setString(kHKeyCurrentUser, "Software\\T\\Gone\\Mid\\Leaf", "v", "x");
    reg.setString(kHKeyCurrentUser, "Software\\T\\Keep", "drop", "x");
    reg.setString(kHKeyCurrentUser, "Software\\T\\Keep", "stay", "x");
    ApplyRegFile(reg, std::string(kHeader) +
                          "[-HKEY_CURRENT_USER\\Software\\T\\Gone]\r\n"
                          "\"ignored\"=\"values after a deletion go nowhere\"\r\n"
                          "[-HKEY_CURRENT_USER\\Software\\T\\NeverWas]\r\n"
                          "[HKEY_CURRENT_USER\\Software\\T\\Keep]\r\n"
                          "\"drop\"=-\r\n\"missing\"=-\r\n");
    EXPECT_FALSE(reg.exists(kHKeyCurrentUser, "Software\\T\\Gone"));
    EXPECT_FALSE(reg.exists(kHKeyCurrentUser, "Software\\T\\NeverWas"));
    EXPECT_EQ((std::vector<std::string>{"Keep"}), reg.subKeyNames(kHKeyCurrentUser, kKey));
    EXPECT_EQ((std::vector<std::string>{"stay"}), reg.valueNames(kHKeyCurrentUser, "Software\\T\\Keep"));
    EXPECT_EQ(0u, reg.openHandles());
}

TEST(RegFileTest, EncodingsAndLineEnds) {
    const std::string body = "[HKEY_CURRENT_USER\\Software\\T]\n\"s\"=\"caf\xE9\"\n";
    const Bytes utf16 = AnsiToUtf16Le(std::string(kHeader) + body);
    struct Row {
        const char* what;
        std::string text;
    };
    const Row rows[] = {
        {"UTF-16LE with BOM", std::string("\xFF\xFE") + std::string(utf16.begin(), utf16.end())},
        {"UTF-8 BOM", "\xEF\xBB\xBF" + std::string(kHeader) + body},
        {"8-bit, LF", "Windows Registry Editor Version 5.00\n\n" + body},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryRegistry reg;
        ApplyRegFile(reg, row.text);
        EXPECT_EQ("caf\xE9", reg.stringValue(kHKeyCurrentUser, kKey, "s"));
    }
}

TEST(RegFileTest, MalformedInputNamesItsLine) {
    struct Row {
        std::string text;
        const char* line;
    };
    const std::string key = "[HKEY_CURRENT_USER\\Software\\T]\r\n";
    const Row rows[] = {
        {"[HKEY_CURRENT_USER\\X]\r\n", "line 1:"},
        {"", "line 1:"},
        {std::string(kHeader) + "[HKEY_NOWHERE\\X]\r\n", "line 3:"},
        {std::string(kHeader) + "\"early\"=\"v\"\r\n", "line 3:"},
        {std::string(kHeader) + "[HKEY_CURRENT_USER\\Software\\T\r\n", "line 3:"},
        {std::string(kHeader) + "[-HKEY_CURRENT_USER]\r\n", "line 3:"},
        {std::string(kHeader) + key + "\"d\"=dword:xyz\r\n", "line 4:"},
        {std::string(kHeader) + key + "\"d\"=dword:123456789\r\n", "line 4:"},
        {std::string(kHeader) + key + "\"s\"=\"open\r\n", "line 4:"},
        {std::string(kHeader) + key + "\"s\"=\"bad \\x escape\"\r\n", "line 4:"},
        {std::string(kHeader) + key + "\"s\"=\"v\" junk\r\n", "line 4:"},
        {std::string(kHeader) + key + "\"b\"=hex:01,1g\r\n", "line 4:"},
        {std::string(kHeader) + key + "\"b\"=hex:01,,02\r\n", "line 4:"},
        {std::string(kHeader) + key + "\"b\"=hex(z):01\r\n", "line 4:"},
        {std::string(kHeader) + key + "\"b\"=hex:01,\\\r\n", "line 5:"},
        {std::string(kHeader) + key + "\"n\" \"v\"\r\n", "line 4:"},
        {std::string(kHeader) + key + "\"n\"=text\r\n", "line 4:"},
        {std::string(kHeader) + key + "\r\n; fine\r\ngarbage\r\n", "line 6:"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        MemoryRegistry reg;
        try {
            ApplyRegFile(reg, row.text);
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(0u, std::string(e.what()).find(row.line)) << e.what();
        }
        EXPECT_EQ(0u, reg.openHandles());
    }
}

TEST(RegFileTest, RefusedKeyIsAnError) {
    MemoryRegistry reg;
    reg.deny(kHKeyCurrentUser, kKey);
    EXPECT_THROW(ApplyRegFile(reg, std::string(kHeader) + "[HKEY_CURRENT_USER\\Software\\T]\r\n"), std::runtime_error);
}

TEST(RegFileTest, FixtureFileFromTheHost) {
    MemoryRegistry reg;
    ApplyRegFileAt(reg, KELTORA_FIXTURES "/unicode-export.reg");
    const std::string key = "Software\\KeltoraFixture";
    EXPECT_EQ("default text", reg.stringValue(kHKeyCurrentUser, key, ""));
    EXPECT_EQ("C:\\Program Files\\Caf\xE9 \"Quoted\"", reg.stringValue(kHKeyCurrentUser, key, "Path"));
    EXPECT_EQ((Bytes{42, 0, 0, 0}), reg.value(kHKeyCurrentUser, key, "Count")->data);
    EXPECT_EQ("%SystemRoot%\\\xE9\x80", reg.stringValue(kHKeyCurrentUser, key, "Expand"));
    EXPECT_EQ(26u, reg.value(kHKeyCurrentUser, key, "Blob")->data.size());
    EXPECT_EQ("child", reg.stringValue(kHKeyCurrentUser, key + "\\Child", "Name"));
}

TEST(RegFileTest, EveryFixtureApplies) {
    for (const auto& entry : std::filesystem::directory_iterator(KELTORA_FIXTURES)) {
        if (entry.path().extension() != ".reg") continue;
        SCOPED_TRACE(entry.path().string());
        MemoryRegistry reg;
        EXPECT_NO_THROW(ApplyRegFileAt(reg, entry.path().string()));
    }
}

TEST(RegFileTest, MissingFileNamesItself) {
    MemoryRegistry reg;
    try {
        ApplyRegFileAt(reg, "no-such-file.reg");
        ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("no-such-file.reg"));
    }
}

void Populate(MemoryRegistry& reg) {
    reg.setString(kHKeyCurrentUser, "Software\\App", "", "default");
    reg.setString(kHKeyCurrentUser, "Software\\App", "quoted", "a \"b\" C:\\c\\");
    reg.setRaw(kHKeyCurrentUser, "Software\\App", "lines", kRegSz, Text("one\r\ntwo"));
    reg.setRaw(kHKeyCurrentUser, "Software\\App", "unterminated", kRegSz, Text("abc", false));
    reg.setExpandString(kHKeyCurrentUser, "Software\\App", "expand", "%WINDIR%\\\x80");
    reg.setRaw(kHKeyCurrentUser, "Software\\App", "multi", kRegMultiSz, {'a', 0, 'b', 0, 0});
    reg.setDword(kHKeyCurrentUser, "Software\\App", "dword", 42);
    reg.setRaw(kHKeyCurrentUser, "Software\\App", "short dword", kRegDword, {1, 2});
    Bytes blob(100);
    for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<std::uint8_t>(i * 7);
    reg.setBinary(kHKeyCurrentUser, "Software\\App", "blob", blob);
    reg.setRaw(kHKeyCurrentUser, "Software\\App", "qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8});
    reg.setRaw(kHKeyCurrentUser, "Software\\App", "none", kRegNone, {});
    reg.addKey(kHKeyCurrentUser, "Software\\App\\Empty\\Deeper");
    reg.setString(kHKeyClassesRoot, ".ext", "", "extfile");
}

TEST(RegFileTest, ExportThenImportGivesTheSameRegistry) {
    MemoryRegistry original;
    Populate(original);
    const std::string exported = ExportRegFile(original);

    MemoryRegistry copy;
    ApplyRegFile(copy, exported);
    EXPECT_EQ(exported, ExportRegFile(copy));
    for (const auto& name : original.valueNames(kHKeyCurrentUser, "Software\\App")) {
        SCOPED_TRACE(name);
        auto a = original.value(kHKeyCurrentUser, "Software\\App", name);
        auto b = copy.value(kHKeyCurrentUser, "Software\\App", name);
        ASSERT_TRUE(b.has_value());
        EXPECT_EQ(a->type, b->type);
        EXPECT_EQ(a->data, b->data);
    }
    EXPECT_TRUE(copy.exists(kHKeyCurrentUser, "Software\\App\\Empty\\Deeper"));
    EXPECT_EQ("extfile", copy.stringValue(kHKeyClassesRoot, ".ext", ""));
    EXPECT_EQ(0u, original.openHandles());
}

TEST(RegFileTest, ExportWritesTheEditorsForms) {
    MemoryRegistry reg;
    Populate(reg);
    const std::string text = ExportRegFile(reg);
    EXPECT_EQ(0u, text.find(kHeader));
    for (const char* expected : {
             "[HKEY_CURRENT_USER\\Software\\App]\r\n@=\"default\"\r\n",
             "\r\n\"quoted\"=\"a \\\"b\\\" C:\\\\c\\\\\"\r\n",
             "\r\n\"dword\"=dword:0000002a\r\n",
             "\r\n\"short dword\"=hex(4):01,02\r\n",
             "\r\n\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n",
             "\r\n\"none\"=hex(0):\r\n",
             "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.ext]\r\n",
             "\"blob\"=hex:00,07,0e,15,1c,23,2a,31,38,3f,46,4d,54,5b,62,69,70,77,7e,85,8c,93,\\\r\n  9a,",
         }) {
        EXPECT_NE(std::string::npos, text.find(expected)) << expected;
    }
    EXPECT_EQ(std::string::npos, text.find("HKEY_CLASSES_ROOT"));
}

}  // namespace
}  // namespace keltora
