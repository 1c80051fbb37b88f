#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

/// Line comment markers a game accepts besides ";" (which every text knows), such as "//". A
/// marker starts a comment wherever it stands, as ";" does.
class CommentMarkers
{
public:
    CommentMarkers() = default;
    explicit CommentMarkers(std::vector<std::string> markers);

    bool empty() const { return m_markers.empty(); }
    /// True when one of the markers begins at `pos`.
    bool StartsAt(std::string_view text, std::size_t pos) const;
    /// The position of the first ";" or marker in `text`, or npos.
    std::size_t FindIn(std::string_view text) const;

private:
    std::vector<std::string> m_markers;
    std::string m_firstBytes; // the first byte of every marker, for a quick test
};

/// Passes white space and ";" comments from `pos`, adding 1 to `line` for every line feed passed.
/// Returns the position of the first other character, or kNoPosition at the end of the text.
std::size_t Skip(std::string_view text, std::size_t pos, std::int32_t& line);
/// As Skip, with the game's own comment markers as well.
std::size_t Skip(std::string_view text, std::size_t pos, std::int32_t& line, const CommentMarkers& markers);
/// The characters from `pos` up to the first white space or ";".
std::string_view Token(std::string_view text, std::size_t pos);
/// The characters from `pos` up to the first white space, ";" or comment marker.
std::string_view Token(std::string_view text, std::size_t pos, const CommentMarkers& markers);
/// The text before its first ";" or comment marker.
std::string_view CutBeforeComment(std::string_view text, const CommentMarkers& markers);
/// The first word of `line` as the games' engines read it: up to white space, a control
/// character, ";" or a comment marker.
std::string_view FirstWord(std::string_view line, const CommentMarkers& markers);
/// The characters from `pos` up to the first line feed, zero byte or the end of the text.
std::string_view RestOfLine(std::string_view text, std::size_t pos);
/// The position just after the next line feed from `pos`, or kNoPosition.
std::size_t NextLine(std::string_view text, std::size_t pos);
/// The number of line feeds in the text.
std::int32_t CountLineFeeds(std::string_view text);

} // namespace kestrel::ini
