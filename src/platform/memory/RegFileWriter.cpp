#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/memory/AnsiCodePage.h"
#include "platform/memory/RegFile.h"

namespace keltora {
namespace {

constexpr std::uint32_t kMaxKeyName = 256;      // 255 characters and the NUL
constexpr std::uint32_t kMaxValueName = 16384;  // 16383 characters and the NUL
constexpr std::size_t kWrapColumn = 76;         // where the registry editor breaks hex lists

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

// REG_SZ data the quoted form carries exactly: one NUL at the end and no line breaks.
bool IsPlainString(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') return false;
    }
    return true;
}

// "xx,xx,..." broken as the registry editor breaks it: '\' at the end of a full line and two
// blanks before the next.
std::string HexList(const std::vector<std::uint8_t>& bytes, std::size_t column) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        out += digits;
        if (i + 1 == bytes.size()) break;
        out += ',';
        column += 3;
        if (column > kWrapColumn) {
            out += "\\\r\n  ";
            column = 2;
        }
    }
    return out;
}

std::string ValueLine(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    std::string line = name.empty() ? "@=" : Quote(name) + "=";
    if (type == kRegSz && IsPlainString(data)) return line + Quote(std::string(data.begin(), data.end() - 1));
    if (type == kRegDword && data.size() == 4) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x",
                      static_cast<unsigned>(data[0] | (data[1] << 8) | (data[2] << 16) | (data[3] << 24)));
        return line + "dword:" + digits;
    }
    std::vector<std::uint8_t> bytes = data;
    // Version 5.00 keeps string types as UTF-16LE.
    if (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz) {
        bytes = AnsiToUtf16Le(std::string(data.begin(), data.end()));
    }
    if (type == kRegBinary) {
        line += "hex:";
    } else {
        char kind[16];
        std::snprintf(kind, sizeof kind, "hex(%x):", static_cast<unsigned>(type));
        line += kind;
    }
    return line + HexList(bytes, line.size());
}

class RegFileWriter {
public:
    explicit RegFileWriter(RegistryApi& api) : api_(api) {}
    void key(HKey key, const std::string& path);
    std::string out = "Windows Registry Editor Version 5.00\r\n\r\n";

private:
    void values(HKey key);
    RegistryApi& api_;
};

void RegFileWriter::values(HKey key) {
    std::string name;
    for (std::uint32_t i = 0; api_.enumValue(key, i, kMaxValueName, name) == kErrorSuccess; ++i) {
        std::uint32_t type = 0, size = 0;
        if (api_.queryValue(key, name, &type, nullptr, &size) != kErrorSuccess) continue;
        std::vector<std::uint8_t> data(size);
        if (api_.queryValue(key, name, &type, data.data(), &size) != kErrorSuccess) continue;
        data.resize(size);
        out += ValueLine(name, type, data) + "\r\n";
    }
}

void RegFileWriter::key(HKey key, const std::string& path) {
    out += "[" + path + "]\r\n";
    values(key);
    out += "\r\n";
    std::vector<std::string> subKeys;
    std::string name;
    for (std::uint32_t i = 0; api_.enumKey(key, i, kMaxKeyName, name) == kErrorSuccess; ++i) subKeys.push_back(name);
    for (const auto& sub : subKeys) {
        HKey child = 0;
        if (api_.openKey(key, sub, kKeyRead, child) != kErrorSuccess) continue;
        this->key(child, path + "\\" + sub);
        api_.closeKey(child);
    }
}

}  // namespace

std::string ExportRegFile(RegistryApi& registry) {
    RegFileWriter writer(registry);
    // HKEY_CLASSES_ROOT is a view of HKEY_LOCAL_MACHINE\Software\Classes, written there once.
    writer.key(kHKeyLocalMachine, "HKEY_LOCAL_MACHINE");
    writer.key(kHKeyCurrentUser, "HKEY_CURRENT_USER");
    return writer.out;
}

}  // namespace keltora
