#include "archive/TextScan.h"

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define KESTREL_SCAN_X86_64 1
#endif

namespace kestrel {
namespace {

bool Matches(const char* start, const PatternByte& byte)
{
    const auto value = static_cast<std::uint8_t>(start[byte.offset]);
    return static_cast<std::uint8_t>(value | (byte.fold ? 0x20 : 0)) == byte.value;
}

const char* FindProbeByteByByte(const char* at, const char* last, const PatternProbe& probe)
{
    for (; at <= last; ++at) {
        if (Matches(at, probe[0]) && Matches(at, probe[1]) && Matches(at, probe[2]))
            return at;
    }
    return last + 1;
}

#if defined(KESTREL_SCAN_X86_64)
// SSE2 is part of every x86-64 processor; AVX2 (32 bytes a step) is used where the processor
// has it, chosen once at run time so that one build serves every machine.

const char* FindProbeSse2(const char* at, const char* last, const PatternProbe& probe)
{
    __m128i values[3], folds[3];
    for (size_t i = 0; i < 3; ++i) {
        values[i] = _mm_set1_epi8(static_cast<char>(probe[i].value));
        folds[i] = _mm_set1_epi8(probe[i].fold ? 0x20 : 0);
    }
    const auto lanes = [&](size_t i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + probe[i].offset));
        return _mm_cmpeq_epi8(_mm_or_si128(bytes, folds[i]), values[i]);
    };
    for (; last - at >= 15; at += 16) {
        if (const int mask = _mm_movemask_epi8(_mm_and_si128(_mm_and_si128(lanes(0), lanes(1)), lanes(2))))
            return at + __builtin_ctz(static_cast<unsigned>(mask));
    }
    return FindProbeByteByByte(at, last, probe);
}

struct ProbeVectors
{
    __m256i values[3];
    __m256i folds[3];
};

/// All ones in the lanes of the 32 starts from `starts` where the probe's three bytes match.
__attribute__((target("avx2"), always_inline)) inline __m256i ProbeCandidates(const char* starts, const PatternProbe& probe,
                                                                                const ProbeVectors& v)
{
    __m256i all = _mm256_set1_epi8(-1);
    for (size_t i = 0; i < 3; ++i) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(starts + probe[i].offset));
        all = _mm256_and_si256(all, _mm256_cmpeq_epi8(_mm256_or_si256(bytes, v.folds[i]), v.values[i]));
    }
    return all;
}

__attribute__((target("avx2"))) const char* FindProbeAvx2(const char* at, const char* last, const PatternProbe& probe)
{
    ProbeVectors v;
    for (size_t i = 0; i < 3; ++i) {
        v.values[i] = _mm256_set1_epi8(static_cast<char>(probe[i].value));
        v.folds[i] = _mm256_set1_epi8(probe[i].fold ? 0x20 : 0);
    }
    // Two steps' results are tested together: the branch, not the comparisons, limits the speed.
    for (; last - at >= 63; at += 64) {
        const __m256i low = ProbeCandidates(at, probe, v);
        const __m256i high = ProbeCandidates(at + 32, probe, v);
        const __m256i either = _mm256_or_si256(low, high);
        if (_mm256_testz_si256(either, either))
            continue;
        if (const int mask = _mm256_movemask_epi8(low))
            return at + __builtin_ctz(static_cast<unsigned>(mask));
        return at + 32 + __builtin_ctz(static_cast<unsigned>(_mm256_movemask_epi8(high)));
    }
    for (; last - at >= 31; at += 32) {
        if (const int mask = _mm256_movemask_epi8(ProbeCandidates(at, probe, v)))
            return at + __builtin_ctz(static_cast<unsigned>(mask));
    }
    return FindProbeByteByByte(at, last, probe);
}

const bool HasAvx2 = __builtin_cpu_supports("avx2");
#endif

} // namespace

bool CanScanWith(ScanWidth width)
{
    switch (width) {
    case ScanWidth::Byte:
    case ScanWidth::Widest:
        return true;
#if defined(KESTREL_SCAN_X86_64)
    case ScanWidth::Sse2:
        return true;
    case ScanWidth::Avx2:
        return HasAvx2;
#else
    case ScanWidth::Sse2:
    case ScanWidth::Avx2:
        return false;
#endif
    }
    return false;
}

const char* FindPatternProbe(const char* begin, const char* last, const PatternProbe& probe, ScanWidth width)
{
    if (begin > last)
        return last + 1;
#if defined(KESTREL_SCAN_X86_64)
    if (width == ScanWidth::Widest)
        width = HasAvx2 ? ScanWidth::Avx2 : ScanWidth::Sse2;
    if (width == ScanWidth::Avx2 && HasAvx2)
        return FindProbeAvx2(begin, last, probe);
    if (width != ScanWidth::Byte)
        return FindProbeSse2(begin, last, probe);
#else
    (void)width;
#endif
    return FindProbeByteByByte(begin, last, probe);
}

#if defined(__GNUC__)
std::uint64_t CountLineFeeds(const char* begin, const char* end)
{
    // Sixteen bytes a step through the compiler's portable vectors (SSE2 on x86-64, NEON on ARM).
    using Block = std::uint8_t __attribute__((vector_size(16)));
    std::uint64_t count = 0;
    while (end - begin >= 16) {
        // At most 255 blocks per round, so no lane of the sums overflows.
        const auto blocks = std::min<std::ptrdiff_t>((end - begin) / 16, 255);
        Block sums = {};
        for (const char* roundEnd = begin + blocks * 16; begin < roundEnd; begin += 16) {
            Block block;
            std::memcpy(&block, begin, sizeof block);
            sums -= reinterpret_cast<Block>(block == '\n'); // equal lanes are all ones: -1
        }
        for (int lane = 0; lane < 16; ++lane)
            count += sums[lane];
    }
    return count + static_cast<std::uint64_t>(std::count(begin, end, '\n'));
}
#else
std::uint64_t CountLineFeeds(const char* begin, const char* end)
{
    return static_cast<std::uint64_t>(std::count(begin, end, '\n'));
}
#endif

} // namespace kestrel
