#include "ToolTestSupport.h"

#include "image/ImageDecoders.h"
#include "sound/WavTestFile.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;
using testing::HasSubstr;

using ConvertSound = ToolTest;

TEST_F(ConvertSound, WritesAWavEntrysWaveformAndDescribesTheSound)
{
    WavBytes square;
    for (int i = 0; i < 1024; ++i)
        square.insert(square.end(), {0xFF, 0x7F, 0x00, 0x80});
    const WavBytes whole = PcmWav(1, 16, square);
    BigArchiveBuilder().Add("data\\audio\\Boom.WAV", whole)
        .Add("data\\audio\\cut.wav", WavBytes(whole.begin(), whole.begin() + 1000))
        .Add("data\\audio\\bad.wav", "RIFF but nothing more")
        .WriteTo(folder / "audio.big");

    const auto run = Run({"convert", "audio.big", "data/audio/boom.wav", "boom.png"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "data\\audio\\Boom.WAV: PCM 16-bit, 22050 Hz, mono, 0.09 s\n");
    DecodedImage picture;
    ASSERT_TRUE(DecodePNG(Read("boom.png"), picture));
    EXPECT_EQ(picture.width * picture.height, 512u * 128u);
    // Full scale reaches the bottom right corner in the wave's colour (blue first once decoded).
    EXPECT_EQ(std::vector<std::uint8_t>(picture.pixels.end() - 4, picture.pixels.end()),
              (std::vector<std::uint8_t>{0xF7, 0xC3, 0x4F, 0xFF}));

    const auto partial = Run({"convert", "audio.big", "data/audio/cut.wav", "cut.png"});
    EXPECT_EQ(partial.status, 1);
    EXPECT_THAT(partial.err, HasSubstr("cut short"));
    EXPECT_TRUE(std::filesystem::exists(folder / "cut.png"));

    const auto bad = Run({"convert", "audio.big", "data/audio/bad.wav", "bad.png"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_THAT(bad.err, HasSubstr("entry \"data/audio/bad.wav\" not converted: RIFF form at offset 8"));
    EXPECT_FALSE(std::filesystem::exists(folder / "bad.png"));
}
