#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

/// The lines of an entry's bytes as the raw-text preview shows them: broken at CR LF, LF and a
/// lone CR, tabs expanded to the next multiple of TabWidth columns. Indexing is one pass over
/// the bytes; painting then touches only the lines and columns on screen, so a 100 MB entry
/// scrolls as fast as a small one. The bytes are borrowed and must outlive the layout.
class RawTextLayout
{
public:
    static constexpr size_t TabWidth = 8;

    void SetBytes(std::string_view bytes);

    size_t LineCount() const { return m_lineStarts.size(); }
    /// Width of the widest line in columns, tabs expanded.
    size_t MaxColumns() const { return m_maxColumns; }
    /// A line's bytes without its line end.
    std::string_view Line(size_t index) const;

    /// The columns [firstColumn, firstColumn + columnCount) of `line` with tabs expanded to blanks.
    static std::string VisibleColumns(std::string_view line, size_t firstColumn, size_t columnCount);

private:
    std::string_view m_bytes;
    std::vector<std::uint32_t> m_lineStarts;
    std::vector<std::uint32_t> m_lineLengths;
    size_t m_maxColumns = 0;
};

} // namespace kestrel
