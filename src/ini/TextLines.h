#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

/// One replacement in a text: `length` bytes at `offset` become `text`.
struct TextEdit
{
    std::size_t offset = 0;
    std::size_t length = 0;
    std::string text;
};

std::string ApplyTextEdit(std::string_view text, const TextEdit& edit);

/// One line of a text, lines counted from 0 by line feeds. `content` ends before the line's
/// break (a line feed, or a carriage return and a line feed); `breakLength` is 0 on a last line
/// without one. A line past the end of the text is empty and starts at the end.
struct TextLine
{
    std::size_t start = 0;
    std::string_view content;
    std::size_t breakLength = 0;

    std::size_t ContentEnd() const { return start + content.size(); }
    std::size_t NextLineStart() const { return ContentEnd() + breakLength; }
};

TextLine LineOfText(std::string_view text, int line);

/// The line end that lines added to `text` get: the one the text uses most (ties go to a bare
/// line feed, then to a carriage return and line feed, then to a lone carriage return), or a
/// carriage return and line feed for a text without any. This matches the editor's own rule,
/// so a command gives the same bytes through the editor as through the tool.
std::string_view PreferredLineEnd(std::string_view text);

} // namespace kestrel
