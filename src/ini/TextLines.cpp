#include "ini/TextLines.h"

#include <algorithm>
#include <array>

namespace kestrel {

std::string ApplyTextEdit(std::string_view text, const TextEdit& edit)
{
    const std::size_t offset = std::min(edit.offset, text.size());
    const std::size_t length = std::min(edit.length, text.size() - offset);
    std::string result;
    result.reserve(text.size() - length + edit.text.size());
    result.append(text.substr(0, offset));
    result.append(edit.text);
    result.append(text.substr(offset + length));
    return result;
}

TextLine LineOfText(std::string_view text, int line)
{
    std::size_t start = 0;
    for (int i = 0; i < line; ++i) {
        const std::size_t lineFeed = text.find('\n', start);
        if (lineFeed == std::string_view::npos)
            return TextLine{text.size(), {}, 0};
        start = lineFeed + 1;
    }
    const std::size_t lineFeed = text.find('\n', start);
    if (lineFeed == std::string_view::npos)
        return TextLine{start, text.substr(start), 0};
    const bool pair = lineFeed > start && text[lineFeed - 1] == '\r';
    const std::size_t contentEnd = pair ? lineFeed - 1 : lineFeed;
    return TextLine{start, text.substr(start, contentEnd - start), pair ? 2u : 1u};
}

std::string_view PreferredLineEnd(std::string_view text)
{
    static constexpr std::array<std::string_view, 3> Ends = {"\n", "\r\n", "\r"};
    std::array<std::size_t, 3> counts{};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++counts[0];
        } else if (text[i] == '\r') {
            const bool pair = i + 1 < text.size() && text[i + 1] == '\n';
            ++counts[pair ? 1 : 2];
            i += pair ? 1 : 0;
        }
    }
    if (counts[0] + counts[1] + counts[2] == 0)
        return Ends[1];
    return Ends[static_cast<std::size_t>(std::max_element(counts.begin(), counts.end()) - counts.begin())];
}

} // namespace kestrel
