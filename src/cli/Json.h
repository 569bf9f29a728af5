#pragma once
// The JSON documents of the console: a value tree and its writer. Strings are UTF-8 already;
// the console converts the program's ANSI texts before they get here.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace keltora {

class JsonValue;
using JsonArray = std::vector<JsonValue>;
// Members in the order they were added, as a reader sees them.
using JsonObject = std::vector<std::pair<std::string, JsonValue>>;

class JsonValue {
public:
    JsonValue() : value_(nullptr) {}
    JsonValue(bool value) : value_(value) {}
    JsonValue(int value) : value_(static_cast<std::int64_t>(value)) {}
    JsonValue(std::int64_t value) : value_(value) {}
    JsonValue(std::string value) : value_(std::move(value)) {}
    JsonValue(const char* value) : value_(std::string(value)) {}
    JsonValue(JsonArray value) : value_(std::move(value)) {}
    JsonValue(JsonObject value) : value_(std::move(value)) {}

    // The member of an object, added at the end when missing.
    JsonValue& operator[](const std::string& key);
    bool isObject() const { return std::holds_alternative<JsonObject>(value_); }
    // The members of an object; null for any other value.
    JsonObject* members() { return std::get_if<JsonObject>(&value_); }

    // Compact JSON text on one line: quotes, backslashes and control characters escaped, all
    // other bytes written as they are (the UTF-8 they are).
    void write(std::ostream& out) const;

private:
    std::variant<std::nullptr_t, bool, std::int64_t, std::string, JsonArray, JsonObject> value_;
};

}  // namespace keltora
