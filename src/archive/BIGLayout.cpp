#include "archive/BIGLayout.h"

#include "base/ByteReader.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace kestrel {
namespace {

constexpr std::uint8_t MarkerBIGF[] = {'L', '2', '2', '5', 0, 0, 0, 0};
constexpr std::uint8_t MarkerBIG4[] = {'L', '2', '5', '3', 0x15, 0x05, 0, 0, 0};

void AppendU32BE(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t bytes[4];
    StoreU32BE(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

/// Marks entries whose bytes on disk overlap another entry's (archives may let two records point
/// at the same bytes). An empty entry counts when it sits strictly inside another entry's bytes,
/// because growing it in place would write over them.
std::vector<bool> FindSharedBytes(std::span<const BIGEntry> entries)
{
    std::vector<size_t> order;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].storedSize > 0)
            order.push_back(i);
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return entries[a].storedOffset < entries[b].storedOffset; });

    std::vector<bool> shared(entries.size(), false);
    std::vector<std::uint64_t> starts, furthestEnds; // furthest end of any range starting at or before
    std::uint64_t maxEnd = 0;
    size_t holder = 0;
    for (const size_t i : order) {
        const std::uint64_t start = entries[i].storedOffset;
        const std::uint64_t end = start + entries[i].storedSize;
        if (!starts.empty() && start < maxEnd)
            shared[i] = shared[holder] = true;
        if (end > maxEnd) {
            maxEnd = end;
            holder = i;
        }
        starts.push_back(start);
        furthestEnds.push_back(maxEnd);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].storedSize > 0)
            continue;
        const std::uint64_t at = entries[i].storedOffset;
        const auto before = std::lower_bound(starts.begin(), starts.end(), at); // first start >= at
        if (before != starts.begin() && furthestEnds[static_cast<size_t>(before - starts.begin()) - 1] > at)
            shared[i] = true;
    }
    return shared;
}

/// The offsets of all entries while a layout pass moves some of them: answers how many entries
/// currently start within a range.
class OffsetCensus
{
public:
    explicit OffsetCensus(std::span<const BIGEntry> entries)
    {
        for (const auto& entry : entries)
            m_initial.push_back(entry.offset);
        std::sort(m_initial.begin(), m_initial.end());
    }

    size_t CountIn(std::uint64_t low, std::uint64_t high) const
    {
        const auto inInitial = Count(m_initial, low, high);
        const auto inArrived = Count(m_arrived, low, high);
        const auto inLeft = static_cast<size_t>(std::distance(m_left.lower_bound(low), m_left.lower_bound(high)));
        return inInitial + inArrived - inLeft;
    }

    void Move(std::uint64_t from, std::uint64_t to)
    {
        m_left.insert(from);
        m_arrived.push_back(to); // append positions only grow, so this stays sorted
    }

private:
    static size_t Count(const std::vector<std::uint64_t>& sorted, std::uint64_t low, std::uint64_t high)
    {
        return static_cast<size_t>(std::lower_bound(sorted.begin(), sorted.end(), high) -
                                   std::lower_bound(sorted.begin(), sorted.end(), low));
    }

    std::vector<std::uint64_t> m_initial;
    std::vector<std::uint64_t> m_arrived;
    std::multiset<std::uint64_t> m_left;
};

} // namespace

std::string PrintableMagic(std::string_view magic)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : magic) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
        } else {
            shown += "\\x";
            shown += hex[byte >> 4];
            shown += hex[byte & 15];
        }
    }
    return shown;
}

bool IsKnownMagic(std::string_view magic)
{
    return magic == "BIGF" || magic == "BIG4";
}

std::span<const std::uint8_t> MarkerBytes(int format)
{
    if (format == BIGFormat_BIGF)
        return MarkerBIGF;
    if (format == BIGFormat_BIG4)
        return MarkerBIG4;
    return {};
}

std::uint32_t MarkerRoom(int format)
{
    return format == BIGFormat_BIG4 ? 9 : 8;
}

std::uint64_t TableLength(std::span<const BIGEntry> entries)
{
    std::uint64_t length = 16;
    for (const auto& entry : entries)
        length += 8 + entry.name.size() + 1;
    return length;
}

std::uint64_t TableNeed(std::span<const BIGEntry> entries, int format)
{
    return TableLength(entries) + MarkerRoom(format);
}

std::vector<std::uint8_t> BuildTableBlock(const std::array<char, 4>& magic, int format, std::span<const BIGEntry> entries,
                                          std::span<const std::uint32_t> offsets, std::uint32_t dataStart,
                                          std::uint32_t archiveSize, bool fillUnknownMarker)
{
    std::vector<std::uint8_t> block;
    block.reserve(static_cast<size_t>(TableNeed(entries, format)));
    block.insert(block.end(), magic.begin(), magic.end());
    std::uint8_t size[4];
    StoreU32LE(size, archiveSize);
    block.insert(block.end(), size, size + 4);
    AppendU32BE(block, static_cast<std::uint32_t>(entries.size()));
    AppendU32BE(block, dataStart - 1);
    for (size_t i = 0; i < entries.size(); ++i) {
        AppendU32BE(block, offsets[i]);
        AppendU32BE(block, entries[i].size);
        block.insert(block.end(), entries[i].name.begin(), entries[i].name.end());
        block.push_back(0);
    }
    const auto marker = MarkerBytes(format);
    block.insert(block.end(), marker.begin(), marker.end());
    if (marker.empty() && fillUnknownMarker)
        block.insert(block.end(), MarkerRoom(format), 0);
    return block;
}

InPlacePlan PlanInPlace(std::span<const BIGEntry> entries, int format, std::uint32_t storedDataStart,
                        std::uint64_t fileLength)
{
    InPlacePlan plan;
    const std::uint64_t need = TableNeed(entries, format);
    plan.dataStart = std::max<std::uint64_t>(need, storedDataStart);
    plan.archiveSize = std::accumulate(entries.begin(), entries.end(), plan.dataStart,
                                       [](std::uint64_t sum, const BIGEntry& e) { return sum + e.size; });
    // Appending at the old end of a file shorter than the new table would let the table overwrite
    // the appended bytes, so nothing is appended before the data start. A damaged table may also
    // place entries beyond the end of the file; appending starts behind those too, so no appended
    // entry lands on bytes that an entry staying in place claims or is rewritten into.
    std::uint64_t append = std::max(fileLength, plan.dataStart);
    for (const auto& entry : entries)
        if (entry.storedOffset >= plan.dataStart)
            append = std::max(append, std::uint64_t{entry.storedOffset} + entry.storedSize);
    const auto shared = FindSharedBytes(entries);
    OffsetCensus census(entries);

    for (size_t k = 0; k < entries.size(); ++k) {
        const BIGEntry& entry = entries[k];
        const bool grown = entry.modified && entry.size > entry.storedSize;
        bool move = entry.storedOffset + std::uint64_t{1} <= plan.dataStart || (entry.modified && shared[k]);
        // Counting includes the entry itself: a grown entry always starts within its own range.
        if (!move && grown)
            move = census.CountIn(entry.offset, std::uint64_t{entry.offset} + entry.size) > 1;

        std::uint64_t offset = entry.offset;
        if (move) {
            offset = append;
            append += entry.size;
            census.Move(entry.offset, offset);
            plan.moved.push_back(static_cast<int>(k));
        } else {
            append = std::max(append, offset + entry.size);
            if (entry.size != entry.storedSize || offset != entry.storedOffset || entry.modified)
                plan.rewrittenInPlace.push_back(static_cast<int>(k));
        }
        plan.offsets.push_back(static_cast<std::uint32_t>(offset));
    }
    plan.endOfFile = std::max({fileLength, append, need});
    plan.tooLarge = plan.endOfFile > MaxArchiveLength || plan.archiveSize > MaxArchiveLength;
    return plan;
}

} // namespace kestrel
