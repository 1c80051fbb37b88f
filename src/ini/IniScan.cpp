#include "ini/IniScan.h"

#include <algorithm>
#include <cstring>

namespace kestrel::ini {

std::string_view Trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsTrimmed(text[begin]))
        ++begin;
    while (end > begin && IsTrimmed(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string_view CutBeforeComment(std::string_view text)
{
    return text.substr(0, text.find(';'));
}

CommentMarkers::CommentMarkers(std::vector<std::string> markers) : m_markers(std::move(markers))
{
    std::erase_if(m_markers, [](const std::string& marker) { return marker.empty(); });
    for (const std::string& marker : m_markers)
        m_firstBytes += marker.front();
}

bool CommentMarkers::StartsAt(std::string_view text, std::size_t pos) const
{
    if (m_firstBytes.find(text[pos]) == std::string::npos)
        return false;
    const std::string_view from = text.substr(pos);
    return std::any_of(m_markers.begin(), m_markers.end(),
                       [from](const std::string& marker) { return from.starts_with(marker); });
}

std::size_t CommentMarkers::FindIn(std::string_view text) const
{
    std::size_t first = text.find(';');
    for (const std::string& marker : m_markers)
        first = std::min(first, text.substr(0, first).find(marker));
    return first;
}

std::size_t Skip(std::string_view text, std::size_t pos, std::int32_t& line)
{
    return Skip(text, pos, line, CommentMarkers());
}

std::size_t Skip(std::string_view text, std::size_t pos, std::int32_t& line, const CommentMarkers& markers)
{
    const std::size_t end = text.size();
    while (pos < end) {
        const char c = text[pos];
        if (c == '\n') {
            ++line;
            ++pos;
        } else if (IsWhiteSpace(c)) {
            ++pos;
        } else if (c == ';' || (!markers.empty() && markers.StartsAt(text, pos))) {
            const std::size_t lineFeed = text.find('\n', pos);
            if (lineFeed == std::string_view::npos)
                return kNoPosition;
            ++line;
            pos = lineFeed + 1;
        } else {
            return pos;
        }
    }
    return kNoPosition;
}

std::string_view Token(std::string_view text, std::size_t pos)
{
    std::size_t end = pos;
    while (end < text.size() && !IsWhiteSpace(text[end]) && text[end] != ';')
        ++end;
    return text.substr(pos, end - pos);
}

std::string_view Token(std::string_view text, std::size_t pos, const CommentMarkers& markers)
{
    const std::string_view token = Token(text, pos);
    return markers.empty() ? token : CutBeforeComment(token, markers);
}

std::string_view CutBeforeComment(std::string_view text, const CommentMarkers& markers)
{
    return markers.empty() ? CutBeforeComment(text) : text.substr(0, markers.FindIn(text));
}

std::string_view FirstWord(std::string_view line, const CommentMarkers& markers)
{
    std::size_t end = 0;
    while (end < line.size() && !IsTrimmed(line[end]) && line[end] != ';')
        ++end;
    return CutBeforeComment(line.substr(0, end), markers);
}

std::string_view RestOfLine(std::string_view text, std::size_t pos)
{
    const std::string_view rest = text.substr(pos);
    if (rest.empty())
        return rest;
    const void* lineFeed = std::memchr(rest.data(), '\n', rest.size());
    const std::size_t lineLength =
        lineFeed ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - rest.data()) : rest.size();
    const void* zero = std::memchr(rest.data(), '\0', lineLength);
    return rest.substr(0, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - rest.data()) : lineLength);
}

std::size_t NextLine(std::string_view text, std::size_t pos)
{
    const std::size_t lineFeed = text.find('\n', pos);
    return lineFeed == std::string_view::npos ? kNoPosition : lineFeed + 1;
}

std::int32_t CountLineFeeds(std::string_view text)
{
    return static_cast<std::int32_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace kestrel::ini
