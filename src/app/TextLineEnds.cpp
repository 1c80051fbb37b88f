#include "app/TextLineEnds.h"

#include <algorithm>
#include <array>

namespace kestrel {

TextLineEnds TextLineEnds::FromBytes(std::string_view bytes, std::string& editorText)
{
    TextLineEnds ends;
    editorText.clear();
    editorText.reserve(bytes.size());
    std::array<size_t, 3> counts{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            editorText += c;
            continue;
        }
        End end = End::LF;
        if (c == '\r') {
            const bool pair = i + 1 < bytes.size() && bytes[i + 1] == '\n';
            end = pair ? End::CRLF : End::CR;
            i += pair ? 1 : 0;
        }
        editorText += '\n';
        ends.m_ends.push_back(end);
        ++counts[static_cast<size_t>(end)];
    }
    if (!ends.m_ends.empty())
        ends.m_newLineEnd = static_cast<End>(std::max_element(counts.begin(), counts.end()) - counts.begin());
    return ends;
}

void TextLineEnds::Follow(std::string_view before, std::string_view after)
{
    const size_t shorter = std::min(before.size(), after.size());
    size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;

    const auto lineBreaks = [](std::string_view text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); };
    Replace(lineBreaks(before.substr(0, prefix)), lineBreaks(before.substr(prefix, before.size() - suffix - prefix)),
            lineBreaks(after.substr(prefix, after.size() - suffix - prefix)));
}

void TextLineEnds::Replace(size_t firstLine, size_t removed, size_t added)
{
    const auto first = m_ends.begin() + static_cast<std::ptrdiff_t>(std::min(firstLine, m_ends.size()));
    const auto last = first + static_cast<std::ptrdiff_t>(std::min(removed, static_cast<size_t>(m_ends.end() - first)));
    m_ends.insert(m_ends.erase(first, last), added, m_newLineEnd);
}

std::string TextLineEnds::ToBytes(std::string_view editorText) const
{
    std::string bytes;
    bytes.reserve(editorText.size() + m_ends.size());
    size_t line = 0;
    // Whole lines at a time: this runs over multi-megabyte entries while the user types.
    for (size_t start = 0; start < editorText.size();) {
        const size_t lineEnd = std::min(editorText.find('\n', start), editorText.size());
        bytes.append(editorText.substr(start, lineEnd - start));
        if (lineEnd == editorText.size())
            break;
        const End end = line < m_ends.size() ? m_ends[line] : m_newLineEnd;
        ++line;
        bytes += end == End::LF ? "\n" : end == End::CR ? "\r" : "\r\n";
        start = lineEnd + 1;
    }
    return bytes;
}

} // namespace kestrel
