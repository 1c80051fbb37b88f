#pragma once

#include "archive/BIGEntry.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

/// The largest archive 32-bit offsets and sizes can describe.
constexpr std::uint64_t MaxArchiveLength = 0xFFFFFFFFull;

/// Magic bytes fit for a message: printable characters as they are, others as \xNN, so a file
/// that starts with zero bytes (a TGA picture) still shows something.
std::string PrintableMagic(std::string_view magic);

/// True when `magic` (the first four bytes of a file) is one Kestrel knows: BIGF or BIG4.
bool IsKnownMagic(std::string_view magic);

/// Bytes written behind the table: "L225" and four zeros for BIGF, "L253" 15 05 00 00 00 for BIG4,
/// nothing for an unknown magic.
std::span<const std::uint8_t> MarkerBytes(int format);
/// Room the marker takes before the data start: 9 for BIG4, 8 otherwise (an unknown magic keeps
/// the room of a BIGF marker but writes nothing into it).
std::uint32_t MarkerRoom(int format);
/// Header plus one record per entry; the offset at which the marker begins.
std::uint64_t TableLength(std::span<const BIGEntry> entries);
/// The smallest data start the table and marker of `format` leave room for.
std::uint64_t TableNeed(std::span<const BIGEntry> entries, int format);

/// Header, table records (with `offsets` instead of the entries' own) and marker, ready to be
/// written at offset 0. With `fillUnknownMarker` an unknown magic gets zeros in the marker's room.
std::vector<std::uint8_t> BuildTableBlock(const std::array<char, 4>& magic, int format, std::span<const BIGEntry> entries,
                                          std::span<const std::uint32_t> offsets, std::uint32_t dataStart,
                                          std::uint32_t archiveSize, bool fillUnknownMarker);

/// Where a rewrite in place puts every entry, computed before anything is written.
struct InPlacePlan
{
    std::uint64_t dataStart = 0;
    /// Data start + sum of sizes, the value of the header's size field.
    std::uint64_t archiveSize = 0;
    /// New offset per entry, in table order.
    std::vector<std::uint32_t> offsets;
    /// Entries whose bytes are written at their new offset, in table order. Those in `moved`
    /// land at or behind the old end of the file; the rest overwrite their own old bytes.
    std::vector<int> moved;
    std::vector<int> rewrittenInPlace;
    /// The file length once every write is done (never less than it was).
    std::uint64_t endOfFile = 0;
    /// True when a new offset would not fit 32 bits.
    bool tooLarge = false;
};

/// Lays out an in-place rewrite: the data start is the larger of what the table needs and the
/// `storedDataStart` read from the header; entries keep their place unless they grew into another
/// entry, were added, sit where the table will be, or share their old bytes with another entry
/// (rewriting those in place would damage the other); the rest go behind the end of the file.
InPlacePlan PlanInPlace(std::span<const BIGEntry> entries, int format, std::uint32_t storedDataStart,
                        std::uint64_t fileLength);

} // namespace kestrel
