#include "strings/TextCursor.h"

namespace kestrel {

void AppendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    out += '"';
}

void TextCursor::SkipBlank(std::string_view comment)
{
    while (!AtEnd()) {
        const char c = m_text[m_pos];
        if (c == '\n')
            ++m_line;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            ++m_pos;
        else if (!comment.empty() && m_text.substr(m_pos, comment.size()) == comment)
            RestOfLine();
        else
            return;
    }
}

void TextCursor::SkipSpaces()
{
    while (!AtEnd() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t'))
        ++m_pos;
}

std::string_view TextCursor::RestOfLine()
{
    const size_t end = std::min(m_text.find('\n', m_pos), m_text.size());
    std::string_view line = m_text.substr(m_pos, end - m_pos);
    m_pos = end;
    if (!AtEnd()) {
        ++m_pos;
        ++m_line;
    }
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
}

std::optional<std::string> TextCursor::ReadQuoted()
{
    std::string out;
    ++m_pos;
    for (size_t pos = m_pos, line = m_line; pos < m_text.size(); ++pos) {
        char c = m_text[pos];
        if (c == '"') {
            m_pos = pos + 1;
            m_line = line;
            return out;
        }
        if (c == '\n')
            ++line;
        if (c == '\r' && pos + 1 < m_text.size() && m_text[pos + 1] == '\n')
            continue; // a value running over lines of a CRLF file keeps a plain line feed
        if (c == '\\' && pos + 1 < m_text.size()) {
            c = m_text[++pos];
            switch (c) {
            case 'n': c = '\n'; break;
            case 'r': c = '\r'; break;
            case 't': c = '\t'; break;
            case '"':
            case '\\': break;
            default: out += '\\';
            }
            if (c == '\n' && m_text[pos] == '\n')
                ++line;
        }
        out += c;
    }
    return std::nullopt;
}

} // namespace kestrel
