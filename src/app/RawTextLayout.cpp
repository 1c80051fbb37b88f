#include "app/RawTextLayout.h"

#include <algorithm>

namespace kestrel {

void RawTextLayout::SetBytes(std::string_view bytes)
{
    m_bytes = bytes;
    m_lineStarts.clear();
    m_lineLengths.clear();
    m_maxColumns = 0;
    size_t start = 0;
    size_t column = 0;
    const auto endLine = [&](size_t end, size_t next) {
        m_lineStarts.push_back(static_cast<std::uint32_t>(start));
        m_lineLengths.push_back(static_cast<std::uint32_t>(end - start));
        m_maxColumns = std::max(m_maxColumns, column);
        start = next;
        column = 0;
    };
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\t') {
            column += TabWidth - column % TabWidth;
        } else if (c == '\n') {
            endLine(i, i + 1);
        } else if (c == '\r') {
            const size_t next = (i + 1 < bytes.size() && bytes[i + 1] == '\n') ? i + 2 : i + 1;
            endLine(i, next);
            i = next - 1;
        } else {
            ++column;
        }
    }
    if (start < bytes.size() || m_lineStarts.empty())
        endLine(bytes.size(), bytes.size());
}

std::string_view RawTextLayout::Line(size_t index) const
{
    if (index >= m_lineStarts.size())
        return {};
    return m_bytes.substr(m_lineStarts[index], m_lineLengths[index]);
}

std::string RawTextLayout::VisibleColumns(std::string_view line, size_t firstColumn, size_t columnCount)
{
    std::string visible;
    const size_t lastColumn = firstColumn + columnCount;
    size_t column = 0;
    for (size_t i = 0; i < line.size() && column < lastColumn; ++i) {
        const size_t width = line[i] == '\t' ? TabWidth - column % TabWidth : 1;
        for (size_t cell = column; cell < column + width; ++cell)
            if (cell >= firstColumn && cell < lastColumn)
                visible += line[i] == '\t' ? ' ' : line[i];
        column += width;
    }
    return visible;
}

} // namespace kestrel
