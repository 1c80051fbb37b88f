#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

/// Keeps an entry's line ends while its text is edited in a control that knows only one kind of
/// line break. The control gets the text with every line end (CR LF, LF or a lone CR) turned into
/// LF; each edit is followed so that unchanged lines keep their own line end, and new lines get
/// the entry's most common one (CR LF when it had none). Bytes are Latin-1, one per character.
class TextLineEnds
{
public:
    /// Splits `bytes`; `editorText` receives the text for the control.
    static TextLineEnds FromBytes(std::string_view bytes, std::string& editorText);

    /// Follows one change of the control's text from `before` to `after`.
    void Follow(std::string_view before, std::string_view after);
    /// Follows a change the control described: from line `firstLine` on, `removed` line breaks
    /// went and `added` new ones came.
    void Replace(std::size_t firstLine, std::size_t removed, std::size_t added);

    /// The entry's bytes for the control's text `editorText` (which must be what the last
    /// Follow ended with).
    std::string ToBytes(std::string_view editorText) const;

private:
    enum class End : std::uint8_t { LF, CRLF, CR };

    std::vector<End> m_ends; // one per LF of the control's text
    End m_newLineEnd = End::CRLF;
};

} // namespace kestrel
