#include <vector>

#include "platform/RegText.h"
#include "platform/RegistryWide.h"
#include "platform/memory/AnsiCodePage.h"
#include "platform/memory/RegFile.h"

namespace keltora {
namespace {

class RegFileWriter {
public:
    explicit RegFileWriter(RegistryApi& api) : api_(api) {}
    void key(HKey key, const std::u16string& path);
    std::u16string out = std::u16string(kRegFileHeader) + u"\r\n\r\n";

private:
    void values(HKey key);
    RegistryApi& api_;
};

void RegFileWriter::values(HKey key) {
    std::vector<std::u16string> names;
    ValueNamesW(api_, key, names);
    for (const auto& name : names) {
        RegistryData data;
        if (ReadValueW(api_, key, name, data) == kErrorSuccess) AppendRegValueLine(out, name, data.type, data.bytes);
    }
}

void RegFileWriter::key(HKey key, const std::u16string& path) {
    out += u"[" + path + u"]\r\n";
    values(key);
    out += u"\r\n";
    std::vector<std::u16string> subKeys;
    SubkeyNamesW(api_, key, subKeys);
    for (const auto& sub : subKeys) {
        ScopedKey child(api_);
        if (child.open(key, sub, 0, kKeyRead) != kErrorSuccess) continue;
        this->key(child.get(), path + u"\\" + sub);
    }
}

}  // namespace

std::string ExportRegFile(RegistryApi& registry) {
    RegFileWriter writer(registry);
    // HKEY_CLASSES_ROOT is a view of HKEY_LOCAL_MACHINE\Software\Classes, written there once.
    writer.key(kHKeyLocalMachine, u"HKEY_LOCAL_MACHINE");
    writer.key(kHKeyCurrentUser, u"HKEY_CURRENT_USER");
    MemoryCodePage codePage;
    return codePage.toAnsi(writer.out);
}

}  // namespace keltora
