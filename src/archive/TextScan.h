#pragma once

// The byte loops under a content search. A search over a 200 MB archive must cost little more
// than reading the archive, so the loops look at 16 or 32 bytes per step and stop only where the
// pattern can start.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kestrel {

/// One byte of a pattern, at its place in the pattern. With `fold`, a letter is found in both
/// cases: bit 5 is set on every byte looked at, and only the two cases of a letter then equal
/// its lower case.
struct PatternByte
{
    size_t offset = 0;
    std::uint8_t value = 0;
    bool fold = false;
};

/// Three bytes of a pattern looked for together: a place where all three sit at their offsets is
/// rare even when each byte alone is common (INI text repeats its words), so the caller's full
/// comparison seldom runs. A shorter pattern repeats a byte.
using PatternProbe = std::array<PatternByte, 3>;

/// How many bytes a step looks at; `Widest` is the best this processor has.
enum class ScanWidth { Byte, Sse2, Avx2, Widest };

/// Whether this build and processor can scan with `width`.
bool CanScanWith(ScanWidth width);

/// The first start in [begin, last] whose bytes at the probe's offsets match it; `last + 1` when
/// none does. Every byte read lies below `last` + the largest offset + 1.
const char* FindPatternProbe(const char* begin, const char* last, const PatternProbe& probe,
                             ScanWidth width = ScanWidth::Widest);

/// Line feeds in [begin, end).
std::uint64_t CountLineFeeds(const char* begin, const char* end);

} // namespace kestrel
