#include "sound/Waveform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kestrel;
using testing::Each;
using testing::ElementsAre;

namespace {

// The columns of an 8 x 16 waveform, each top to bottom: '.' background, '#' wave, '-' centre
// line (row 7, where zero falls in 16 rows).
std::vector<std::string> Columns(int channels, std::vector<std::int16_t> samples)
{
    DecodedSound sound;
    sound.sampleRate = 22050;
    sound.channels = channels;
    sound.samples = std::move(samples);
    WaveformStyle style;
    style.width = 8;
    style.height = 16;
    const auto rgba = RenderWaveform(sound, style);
    std::vector<std::string> columns(8);
    for (size_t y = 0; y < 16; ++y) {
        for (size_t x = 0; x < 8; ++x) {
            const std::uint8_t* p = &rgba.at((y * 8 + x) * 4);
            const std::array<std::uint8_t, 4> colour{p[0], p[1], p[2], p[3]};
            columns[x] += colour == style.wave ? '#' : colour == style.centreLine ? '-' : colour == style.background ? '.' : '?';
        }
    }
    return columns;
}

std::vector<std::int16_t> Square(std::int16_t high, std::int16_t low)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 64; ++i)
        samples.push_back(i % 2 ? low : high);
    return samples;
}

} // namespace

TEST(Waveform, DrawsEachColumnsSampleRangeAroundTheCentreLine)
{
    // A full-scale square wave fills every column, the centre line drawn over it; at half scale
    // each column's bar runs from its highest sample to its lowest.
    EXPECT_THAT(Columns(1, Square(32767, -32768)), Each("#######-########"));
    EXPECT_THAT(Columns(1, Square(16384, -16384)), Each("....###-####...."));
    // Silence, stereo channels that cancel when mixed, and no sound at all leave the line alone.
    for (const auto& columns : {Columns(1, std::vector<std::int16_t>(64, 0)), Columns(2, {32767, -32767}), Columns(1, {})})
        EXPECT_THAT(columns, Each(".......-........"));
    // A sound shorter than the picture is wide is stretched over it; positive values are drawn
    // above the line, and a column whose samples all agree is a single point.
    const std::string up = "....#..-........", down = ".......-...#....", zero = ".......-........";
    EXPECT_THAT(Columns(1, {16384, 16384, -16384, 0}), ElementsAre(up, up, up, up, down, down, zero, zero));
}
