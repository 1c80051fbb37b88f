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

std::size_t Skip(std::string_view text, std::size_t pos, std::int32_t& line)
{
    const std::size_t end = text.size();
    while (pos < end) {
        const char c = text[pos];
        if (c == '\n') {
            ++line;
            ++pos;
        } else if (IsWhiteSpace(c)) {
            ++pos;
        } else if (c == ';') {
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
