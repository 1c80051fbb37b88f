#pragma once

#include "ini/IniScan.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CIniBlock;

/// Parses blocks of one text into CIniBlock nodes. Nesting is kept on an explicit stack, so a text
/// of a million nested blocks needs no more machine stack than a flat one.
///
/// "Implements" copies earlier blocks into the block being parsed. A hostile text can make such
/// copies grow exponentially (blocks that each implement two copies of the previous one), so the
/// copying work of one parse is limited to a budget proportional to the text; what exceeds it is
/// left out.
class IniBlockParser
{
public:
    /// Texts are limited to this length so that offsets and line numbers fit 32 bits.
    static constexpr std::size_t kMaxTextLength = 0x7FFFFFF0;

    IniBlockParser(std::string_view text, std::int32_t& line);

    /// Parses the block that starts at `offset` into `block`. Returns the bytes consumed, or -1
    /// when the block's header is the last line of the text and has no line feed.
    std::int64_t Parse(CIniBlock& block, std::size_t offset);

private:
    struct Frame
    {
        CIniBlock* block;
        std::unique_ptr<CIniBlock> owned; // the block itself while it is parsed, except the outermost
        std::size_t start;
        std::size_t pos;
    };
    struct Step
    {
        bool complete;           // false: the block goes on with its body at `pos`
        std::int64_t consumed;   // when complete
        std::size_t pos;
    };

    Step ReadHeader(CIniBlock& block, std::size_t offset);
    Step ReadDirective(CIniBlock& block, std::size_t offset, std::size_t pos);
    /// The comment markers of the dialect `block` is parsed in.
    const ini::CommentMarkers& Markers(const CIniBlock& block);
    bool ReadRawText(CIniBlock& block, std::size_t offset, std::size_t pos, std::int64_t& consumed);
    void FoldModuleName(CIniBlock& block);
    void ApplyImplements(CIniBlock& block);
    void Implement(CIniBlock& block, const std::string& target);
    static std::string WithListMarker(std::string_view rest);

    /// Runs the body of the top frame until it ends (complete) or a line opens a child (its
    /// position in `pos`).
    Step ReadBody(Frame& frame);
    void AddValue(CIniBlock& block, std::string_view line, std::size_t eq);
    bool ChildEnded(Frame& parent, std::unique_ptr<CIniBlock> child, std::size_t childStart, std::int64_t consumed,
                    std::int64_t& parentConsumed);
    bool TakeFromBudget(std::size_t units);

    std::string_view m_text;
    std::int32_t& m_line;
    std::size_t m_copyBudget;
    ini::CommentMarkers m_markers;
    const CIniBlock* m_markersFrom = nullptr;
};

} // namespace kestrel
