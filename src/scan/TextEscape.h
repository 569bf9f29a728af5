#pragma once
// Bytes written as escapes by the texts that must keep any name on one line of its own: the
// ignore files (%XX) and the console's listing (\xXX).
#include <string>

namespace keltora {

// The C0 control characters and DEL: what would end a line or hide inside one.
inline bool IsControlByte(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// The byte as two uppercase hexadecimal digits.
inline void AppendHexByte(std::string& out, char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

}  // namespace keltora
