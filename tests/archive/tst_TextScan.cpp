#include "archive/ContentSearch.h"
#include "archive/TextScan.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

// Every width must find the same first place as a plain loop, wherever the bytes sit relative to
// the steps and the end of the text: a wrong tail or an off-by-one offset shows as a place found
// late, early or not at all.
TEST(TextScan, EveryWidthFindsTheProbeWhereAPlainLoopDoes)
{
    const PatternProbe probe = {{{2, 'k', true}, {7, '=', false}, {7, '=', false}}}; // "..k....=", k in either case
    for (const ScanWidth width : {ScanWidth::Byte, ScanWidth::Sse2, ScanWidth::Avx2, ScanWidth::Widest}) {
        if (!CanScanWith(width))
            continue;
        for (size_t place = 0; place < 150; ++place) {
            // Decoys: the first byte alone, the second alone, and the other case-folding byte
            // ('K' | 0x20 is 'k', but '+' | 0x20 is '+' and 'K' ^ 0x20 stays a K).
            std::string text(160, 'a');
            for (size_t i = 0; i + 1 < place; i += 9)
                text[i + 2] = 'K';
            for (size_t i = 5; i + 1 < place; i += 11)
                text[i + 7] = '=';
            text[place + 2] = (place % 2) ? 'K' : 'k';
            text[place + 7] = '=';
            const char* last = text.data() + text.size() - 8;
            const char* found = FindPatternProbe(text.data(), last, probe, width);
            const char* expected = text.data();
            while (expected <= last && !((expected[2] | 0x20) == 'k' && expected[7] == '='))
                ++expected;
            ASSERT_EQ(found - text.data(), expected - text.data()) << "width " << int(width) << " place " << place;
        }
        std::string none(100, '=');
        EXPECT_EQ(FindPatternProbe(none.data(), none.data() + 92, probe, width), none.data() + 93);
    }
}

TEST(TextScan, PlainTextSearchMatchesOnlyTheWholePatternAtTheEndsOfTheText)
{
    struct Case
    {
        const char* pattern;
        bool ignoreCase;
        std::string text;
        long line; // where the matching line starts; -1: no match
    } cases[] = {
        {"DamageFX", false, std::string(40, ' ') + "\nx DamageFX", 41},
        {"DamageFX", false, "DamageF\nX DamageFx", -1},
        {"damagefx", true, "a\nb\nDAMAGEfX", 4},
        {"a@b", true, "A`B\na@B", 4}, // '@' is no letter: it must not fold to '`'
        {"z", false, std::string(70, 'y') + "z", 0},
        {"zz", false, std::string(70, 'z').replace(0, 69, std::string(69, 'y')), -1},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto search = ContentSearch::Create({c.pattern, false, c.ignoreCase}, error);
        ASSERT_TRUE(search) << error;
        const char* end = c.text.data() + c.text.size();
        const char* found = search->FindMatchingLine(c.text.data(), end);
        EXPECT_EQ(found == end ? -1 : found - c.text.data(), c.line) << c.pattern << " in " << c.text;
    }
}

} // namespace
} // namespace kestrel
