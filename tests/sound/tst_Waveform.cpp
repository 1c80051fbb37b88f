#include "sound/Waveform.h"

#include <gtest/gtest.h>

using namespace kestrel;

namespace {

constexpr int Width = 8;
constexpr int Height = 16;
constexpr int Centre = 7;  // the row of a zero sample in a 16-row picture

enum class Pixel { Background, Wave, CentreLine, Other };

struct Picture
{
    std::vector<std::uint8_t> rgba;
    WaveformStyle style;

    Pixel At(int x, int y) const
    {
        const auto* p = rgba.data() + (static_cast<size_t>(y) * Width + static_cast<size_t>(x)) * 4;
        const std::array<std::uint8_t, 4> colour{p[0], p[1], p[2], p[3]};
        return colour == style.background ? Pixel::Background
            : colour == style.wave       ? Pixel::Wave
            : colour == style.centreLine ? Pixel::CentreLine
                                         : Pixel::Other;
    }
};

Picture Render(int channels, std::vector<std::int16_t> samples)
{
    DecodedSound sound;
    sound.sampleRate = 22050;
    sound.channels = channels;
    sound.samples = std::move(samples);
    Picture picture;
    picture.style.width = Width;
    picture.style.height = Height;
    picture.rgba = RenderWaveform(sound, picture.style);
    EXPECT_EQ(picture.rgba.size(), size_t{Width * Height * 4});
    return picture;
}

std::vector<std::int16_t> Square(std::int16_t high, std::int16_t low)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 64; ++i)
        samples.push_back(i % 2 ? low : high);
    return samples;
}

// The column's pixels from top to bottom as a string: '.' background, '#' wave, '-' centre line.
std::string Column(const Picture& picture, int x)
{
    std::string column;
    for (int y = 0; y < Height; ++y)
        column += ".#-?"[static_cast<int>(picture.At(x, y))];
    return column;
}

} // namespace

TEST(Waveform, DrawsEachColumnsSampleRangeAroundTheCentreLine)
{
    // A full-scale square wave fills every column; the centre line stays on top. At half scale
    // each column's bar runs from its highest sample to its lowest.
    for (int x = 0; x < Width; ++x) {
        EXPECT_EQ(Column(Render(1, Square(32767, -32768)), x), "#######-########") << x;
        EXPECT_EQ(Column(Render(1, Square(16384, -16384)), x), "....###-####....") << x;
    }

    // Silence, and stereo channels that cancel when mixed, leave the centre line alone.
    for (const auto& picture : {Render(1, std::vector<std::int16_t>(64, 0)), Render(2, {32767, -32767, 32767, -32767}),
                                Render(1, {})})
        for (int x = 0; x < Width; ++x)
            EXPECT_EQ(Column(picture, x), ".......-........") << x;

    // A sound shorter than the picture is wide is stretched over all of it; positive values are
    // drawn above the line, and a column whose samples all agree is a single point.
    const auto steps = Render(1, {16384, 16384, -16384, 0});
    for (int x = 0; x < Width; ++x)
        EXPECT_EQ(Column(steps, x), x < 4 ? "....#..-........" : x < 6 ? ".......-...#...." : ".......-........") << x;
}

TEST(Waveform, RefusesSizesItCannotDraw)
{
    DecodedSound sound;
    WaveformStyle style;
    style.width = 0;
    EXPECT_TRUE(RenderWaveform(sound, style).empty());
}
