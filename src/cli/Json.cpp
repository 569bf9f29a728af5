#include "cli/Json.h"

#include <ostream>

namespace keltora {

namespace {

void writeString(std::ostream& out, const std::string& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out << '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out << "\\\""; break;
            case '\\': out << "\\\\"; break;
            case '\n': out << "\\n"; break;
            case '\r': out << "\\r"; break;
            case '\t': out << "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) out << "\\u00" << kHex[byte >> 4] << kHex[byte & 0x0F];
                else out << c;
        }
    }
    out << '"';
}

}  // namespace

JsonValue& JsonValue::operator[](const std::string& key) {
    if (!isObject()) value_ = JsonObject{};
    auto& members = std::get<JsonObject>(value_);
    for (auto& [name, value] : members)
        if (name == key) return value;
    members.emplace_back(key, JsonValue());
    return members.back().second;
}

void JsonValue::write(std::ostream& out) const {
    struct Writer {
        std::ostream& out;
        void operator()(std::nullptr_t) const { out << "null"; }
        void operator()(bool value) const { out << (value ? "true" : "false"); }
        void operator()(std::int64_t value) const { out << value; }
        void operator()(const std::string& value) const { writeString(out, value); }
        void operator()(const JsonArray& values) const {
            out << '[';
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (i) out << ',';
                values[i].write(out);
            }
            out << ']';
        }
        void operator()(const JsonObject& members) const {
            out << '{';
            for (std::size_t i = 0; i < members.size(); ++i) {
                if (i) out << ',';
                writeString(out, members[i].first);
                out << ':';
                members[i].second.write(out);
            }
            out << '}';
        }
    };
    std::visit(Writer{out}, value_);
}

}  // namespace keltora
