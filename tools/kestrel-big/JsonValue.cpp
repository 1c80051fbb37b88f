#include "JsonValue.h"

#include "strings/UnicodeText.h"

#include <charconv>
#include <cstdlib>

namespace kestrel::cli {
namespace {

constexpr int MaxDepth = 256;

class JsonReader
{
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    std::optional<JsonValue> Document()
    {
        JsonValue value;
        if (!Value(value, 0))
            return std::nullopt;
        SkipBlanks();
        if (m_pos != m_text.size())
            return std::nullopt;
        return value;
    }

private:
    void SkipBlanks()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' ||
                                         m_text[m_pos] == '\r'))
            ++m_pos;
    }

    bool Literal(std::string_view word)
    {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }

    bool Value(JsonValue& value, int depth)
    {
        SkipBlanks();
        if (m_pos >= m_text.size() || depth > MaxDepth)
            return false;
        switch (m_text[m_pos]) {
        case '{':
            value.type = JsonValue::Type::Object;
            return Members(value, depth);
        case '[':
            value.type = JsonValue::Type::Array;
            return Elements(value, depth);
        case '"':
            value.type = JsonValue::Type::String;
            return String(value.string);
        case 't':
            value.type = JsonValue::Type::Bool;
            value.boolean = true;
            return Literal("true");
        case 'f':
            value.type = JsonValue::Type::Bool;
            return Literal("false");
        case 'n':
            return Literal("null");
        default:
            value.type = JsonValue::Type::Number;
            return Number(value.number);
        }
    }

    bool Number(double& number)
    {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && std::string_view("+-0123456789.eE").find(m_text[m_pos]) != std::string_view::npos)
            ++m_pos;
        const std::string digits(m_text.substr(start, m_pos - start));
        char* end = nullptr;
        number = std::strtod(digits.c_str(), &end);
        return !digits.empty() && end == digits.c_str() + digits.size();
    }

    bool Hex4(unsigned& code)
    {
        if (m_pos + 4 > m_text.size())
            return false;
        const auto [end, error] = std::from_chars(m_text.data() + m_pos, m_text.data() + m_pos + 4, code, 16);
        if (error != std::errc() || end != m_text.data() + m_pos + 4)
            return false;
        m_pos += 4;
        return true;
    }

    bool Escape(std::string& out)
    {
        if (m_pos >= m_text.size())
            return false;
        const char c = m_text[m_pos++];
        static constexpr std::string_view From = "\"\\/bfnrt";
        static constexpr std::string_view To = "\"\\/\b\f\n\r\t";
        if (const std::size_t at = From.find(c); at != std::string_view::npos) {
            out += To[at];
            return true;
        }
        unsigned code = 0;
        if (c != 'u' || !Hex4(code))
            return false;
        // A surrogate pair joins into one character.
        if (code >= 0xD800 && code < 0xDC00 && Literal("\\u")) {
            unsigned low = 0;
            if (!Hex4(low) || low < 0xDC00 || low >= 0xE000)
                return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, static_cast<char32_t>(code));
        return true;
    }

    bool String(std::string& out)
    {
        ++m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\')
                out += c;
            else if (!Escape(out))
                return false;
        }
        return false;
    }

    template <typename Item>
    bool List(char close, Item item)
    {
        ++m_pos;
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == close) {
            ++m_pos;
            return true;
        }
        for (;;) {
            if (!item())
                return false;
            SkipBlanks();
            if (m_pos >= m_text.size())
                return false;
            const char c = m_text[m_pos++];
            if (c == close)
                return true;
            if (c != ',')
                return false;
        }
    }

    bool Elements(JsonValue& value, int depth)
    {
        return List(']', [&] {
            value.array.emplace_back();
            return Value(value.array.back(), depth + 1);
        });
    }

    bool Members(JsonValue& value, int depth)
    {
        return List('}', [&] {
            SkipBlanks();
            std::string key;
            if (m_pos >= m_text.size() || m_text[m_pos] != '"' || !String(key))
                return false;
            SkipBlanks();
            if (!Literal(":"))
                return false;
            value.members.emplace_back(std::move(key), JsonValue());
            return Value(value.members.back().second, depth + 1);
        });
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

const JsonValue& JsonValue::operator[](std::string_view key) const
{
    static const JsonValue none;
    for (const auto& [name, value] : members) {
        if (name == key)
            return value;
    }
    return none;
}

std::optional<JsonValue> ParseJson(std::string_view text)
{
    return JsonReader(text).Document();
}


} // namespace kestrel::cli
