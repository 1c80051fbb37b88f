#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel::cli {

/// A parsed JSON value (RFC 8259), for the few JSON inputs the tool reads (the language
/// server's messages). Strings stay UTF-8.
struct JsonValue
{
    enum class Type { Null, Bool, Number, String, Array, Object };

    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<JsonValue> array;
    std::vector<std::pair<std::string, JsonValue>> members;

    /// The member `key` of an object; a null value when there is none (or this is no object).
    const JsonValue& operator[](std::string_view key) const;
    bool IsNull() const { return type == Type::Null; }
    int Int() const { return type == Type::Number ? static_cast<int>(number) : 0; }
};

/// Parses one JSON text; none when it is not valid JSON. Nesting is limited to 256 levels.
std::optional<JsonValue> ParseJson(std::string_view text);

} // namespace kestrel::cli
