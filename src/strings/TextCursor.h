#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

/// Appends `text` in double quotes with the C escapes the STR and PO forms share: \n, \r, \t,
/// \" and \\.
void AppendQuoted(std::string& out, std::string_view text);

/// A reading position in a text form that counts lines (from 1) for error messages.
class TextCursor
{
public:
    explicit TextCursor(std::string_view text) : m_text(text) {}

    size_t Line() const { return m_line; }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }

    /// Skips white space, line ends and lines whose first non-blank characters are `comment`.
    void SkipBlank(std::string_view comment);
    /// The rest of the current line without surrounding blanks; the line end is consumed.
    std::string_view RestOfLine();
    /// Skips blanks (not line ends) on the current line.
    void SkipSpaces();
    /// A quoted string at the position, unescaped; it may span lines. Nullopt (position after
    /// the opening quote) when it does not end.
    std::optional<std::string> ReadQuoted();

private:
    std::string_view m_text;
    size_t m_pos = 0;
    size_t m_line = 1;
};

} // namespace kestrel
