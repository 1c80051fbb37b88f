#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The low-level scanning of the INI dialect. Positions are byte offsets into the whole text; a
// scan never reads past its end. Bytes from 128 up are ordinary characters.
namespace kestrel::ini {

inline constexpr std::size_t kNoPosition = static_cast<std::size_t>(-1);

/// Blank, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool IsWhiteSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

/// What trimming removes: white space and the control characters 0-31 and 127.
constexpr bool IsTrimmed(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 32 || byte == 127;
}

std::string_view Trim(std::string_view text);
/// The text before its first ";".
std::string_view CutBeforeComment(std::string_view text);

/// Passes white space and ";" comments from `pos`, adding 1 to `line` for every line feed passed.
/// Returns the position of the first other character, or kNoPosition at the end of the text.
std::size_t Skip(std::string_view text, std::size_t pos, std::int32_t& line);
/// The characters from `pos` up to the first white space or ";".
std::string_view Token(std::string_view text, std::size_t pos);
/// The characters from `pos` up to the first line feed, zero byte or the end of the text.
std::string_view RestOfLine(std::string_view text, std::size_t pos);
/// The position just after the next line feed from `pos`, or kNoPosition.
std::size_t NextLine(std::string_view text, std::size_t pos);
/// The number of line feeds in the text.
std::int32_t CountLineFeeds(std::string_view text);

} // namespace kestrel::ini
