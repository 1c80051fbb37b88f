#include "JsonText.h"

#include <cmath>
#include <cstdio>

namespace kestrel::cli {

void AppendJsonString(std::string& out, std::string_view latin1)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else if (byte >= 0x80) {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string FormattedNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string JsonNumber(double value)
{
    return std::isfinite(value) ? FormattedNumber(value) : "null";
}

} // namespace kestrel::cli
