#include "ToolTestSupport.h"

#include "image/ImageDecoders.h"
#include "sound/WavTestFile.h"
#include "sound/Waveform.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

using testing::HasSubstr;

using ConvertSound = ToolTest;

TEST_F(ConvertSound, WritesAWavEntrysWaveformAndDescribesTheSound)
{
    std::vector<std::int16_t> square;
    for (int i = 0; i < 2048; ++i)
        square.push_back(i % 2 ? -32768 : 32767);
    const WavBytes whole = Pcm16Wav(square);
    const WavBytes cut(whole.begin(), whole.begin() + 1000);
    BigArchiveBuilder().Add("data\\audio\\Boom.WAV", whole)
        .Add("data\\audio\\cut.wav", cut)
        .Add("data\\audio\\bad.wav", "RIFF but nothing more")
        .WriteTo(folder / "audio.big");

    const auto run = Run({"convert", "audio.big", "data/audio/boom.wav", "boom.png"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "data\\audio\\Boom.WAV: PCM 16-bit, 22050 Hz, mono, 0.09 s\n");
    DecodedImage picture;
    ASSERT_TRUE(DecodePNG(Read("boom.png"), picture));
    ASSERT_EQ(picture.width * picture.height, 512u * 128u);
    // Full scale reaches the top and bottom rows at both ends (pixels are blue-first here).
    const auto wave = WaveformStyle{}.wave;
    const std::vector<std::uint8_t> waveBgra{wave[2], wave[1], wave[0], wave[3]};
    for (const std::ptrdiff_t pixel : {0, 511, 512 * 127, 512 * 128 - 1}) {
        const auto at = picture.pixels.begin() + 4 * pixel;
        EXPECT_EQ(std::vector<std::uint8_t>(at, at + 4), waveBgra) << pixel;
    }

    const auto partial = Run({"convert", "audio.big", "data/audio/cut.wav", "cut.png"});
    EXPECT_EQ(partial.status, 1);
    EXPECT_THAT(partial.err, HasSubstr("cut short"));
    EXPECT_TRUE(fs::exists(folder / "cut.png"));

    const auto bad = Run({"convert", "audio.big", "data/audio/bad.wav", "bad.png"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_THAT(bad.err, HasSubstr("entry \"data/audio/bad.wav\" not converted: RIFF form at offset 8"));
    EXPECT_FALSE(fs::exists(folder / "bad.png"));
}
