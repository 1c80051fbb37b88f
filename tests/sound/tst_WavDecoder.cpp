#include "sound/WavDecoder.h"
#include "sound/WavTestFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::HasSubstr;

namespace {

DecodedSound Decoded(const WavBytes& file)
{
    DecodedSound sound;
    std::string error;
    EXPECT_TRUE(DecodeWav(file, sound, error)) << error;
    return sound;
}

// IMA ADPCM blocks worked out by hand from the step and index tables. The mono block starts at
// 0 with step index 0; nibbles 4, 7, 15, 8 give +7 (index 2), +16 (index 10), -34 (index 18)
// and -5 (index 17).
const WavBytes MonoBlock{0x00, 0x00, 0x00, 0x00, 0x74, 0x8F};

WavBytes ImaWav(std::uint16_t channels, std::uint16_t blockAlign, std::uint16_t samplesPerBlock, const WavBytes& data,
             const WavBytes& fact = {})
{
    const WavBytes format = FormatChunk(0x11, channels, 22050, blockAlign, 4,
                                     {static_cast<std::uint8_t>(samplesPerBlock), static_cast<std::uint8_t>(samplesPerBlock >> 8)});
    return fact.empty() ? WavFile({format, RiffChunk("data", data)})
                        : WavFile({format, RiffChunk("fact", fact), RiffChunk("data", data)});
}

} // namespace

TEST(WavDecoder, WidensEveryPcmDepthToSixteenBitsKeepingFramesAndPeaks)
{
    const auto mono8 = Decoded(PcmWav(1, 8, {0x00, 0x80, 0xFF}, 44100));
    EXPECT_THAT(mono8.samples, ElementsAre(-32768, 0, 32512));
    EXPECT_EQ(mono8.formatName, "PCM 8-bit");
    EXPECT_EQ(mono8.sampleRate, 44100);

    const auto stereo16 = Decoded(PcmWav(2, 16, {0x01, 0x80, 0xFF, 0x7F, 0x00, 0x00, 0x34, 0x12}));
    EXPECT_THAT(stereo16.samples, ElementsAre(-32767, 32767, 0, 0x1234));
    EXPECT_EQ(stereo16.Frames(), 2);
    EXPECT_DOUBLE_EQ(stereo16.Seconds(), 2.0 / 22050);
    EXPECT_EQ(DescribeSound(stereo16), "PCM 16-bit, 22050 Hz, stereo, 0.00 s");

    EXPECT_THAT(Decoded(PcmWav(1, 24, {0xAA, 0x00, 0x80, 0x55, 0xFF, 0x7F})).samples, ElementsAre(-32768, 32767));
}

TEST(WavDecoder, DecodesImaAdpcmBlocksFromTheirHeaders)
{
    // Two blocks and a "fact" chunk that keeps 8 of their 10 frames: each block restarts from
    // its own header.
    WavBytes twoBlocks = MonoBlock;
    twoBlocks.insert(twoBlocks.end(), MonoBlock.begin(), MonoBlock.end());
    const auto mono = Decoded(ImaWav(1, 6, 5, twoBlocks, {8, 0, 0, 0}));
    EXPECT_THAT(mono.samples, ElementsAre(0, 7, 23, -11, -16, 0, 7, 23));
    EXPECT_EQ(mono.formatName, "IMA ADPCM");

    // Stereo: both headers, then four bytes of the left channel, four of the right. The left
    // goes on from index 17 with zero nibbles (steps 37, 34, 31, 28 give +4, +4, +3, +3); the
    // right starts near full scale at the top step index and saturates.
    const WavBytes block{0x00, 0x00, 0x00, 0x00, 0xF8, 0x7F, 88, 0x00, 0x74, 0x8F, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00};
    const auto stereo = Decoded(ImaWav(2, 16, 9, block));
    std::vector<std::int16_t> left, right;
    for (size_t i = 0; i < stereo.samples.size(); i += 2) {
        left.push_back(stereo.samples[i]);
        right.push_back(stereo.samples[i + 1]);
    }
    EXPECT_THAT(left, ElementsAre(0, 7, 23, -11, -16, -12, -8, -5, -2));
    EXPECT_THAT(right, ElementsAre(32760, 32767, 32767, 32767, 32767, 32767, 32767, 32767, 32767));
}

TEST(WavDecoder, ToleratesPaddingAndCutShortDataWithANote)
{
    // An odd-sized chunk before the data is followed by a pad byte.
    const auto padded = Decoded(WavFile({FormatChunk(1, 1, 22050, 2, 16), RiffChunk("LIST", {1, 2, 3}),
                                         RiffChunk("data", {0x10, 0x00, 0x20, 0x00})}));
    EXPECT_THAT(padded.samples, ElementsAre(16, 32));
    EXPECT_TRUE(padded.notes.empty());

    // A data chunk declaring 8 bytes of which 5 arrived: two whole frames and a note.
    WavBytes cut = WavFile({FormatChunk(1, 1, 22050, 2, 16), RiffChunk("data", {0x10, 0x00, 0x20, 0x00, 0x30, 0x00, 0x40, 0x00})});
    cut.erase(cut.end() - 3, cut.end());
    const auto partial = Decoded(cut);
    EXPECT_THAT(partial.samples, ElementsAre(16, 32));
    ASSERT_FALSE(partial.notes.empty());
    EXPECT_THAT(partial.notes[0], HasSubstr("cut short"));
}

TEST(WavDecoder, RefusesDamagedOrUnsupportedHeadersNamingTheFault)
{
    const WavBytes data = RiffChunk("data", {0, 0});
    const WavBytes ima = ImaWav(2, 16, 9, WavBytes(16, 0));
    const std::vector<std::pair<WavBytes, std::string>> cases{
        {{}, "too short"},
        {WavFile({data}, "AVI "), "not \"WAVE\""},
        {[] { WavBytes b = Pcm16Wav({0}); b[0] = 'X'; return b; }(), "no \"RIFF\""},
        {WavFile({data}), "no \"fmt \""},
        {WavFile({RiffChunk("fmt ", WavBytes(14, 1)), data}), "fewer than the 16"},
        {WavFile({FormatChunk(1, 1, 22050, 2, 16)}), "no \"data\""},
        {WavFile({FormatChunk(1, 0, 22050, 2, 16), data}), "channel count 0 at offset 22"},
        {WavFile({FormatChunk(1, 1, 0, 2, 16), data}), "sample rate 0 at offset 24"},
        {WavFile({FormatChunk(1, 1, 22050, 2, 12), data}), "12 bits at offset 34"},
        {WavFile({FormatChunk(0x55, 1, 22050, 2, 16), data}), "format 0x0055 at offset 20"},
        {ImaWav(2, 10, 0, data), "block size 10 at offset 32"},
        {ImaWav(1, 6, 6, data), "cannot hold 6 samples"},
    };
    for (const auto& [file, fault] : cases) {
        DecodedSound sound;
        std::string error;
        EXPECT_FALSE(DecodeWav(file, sound, error)) << fault;
        EXPECT_THAT(error, HasSubstr(fault));
    }
    // Every prefix of good files either decodes or fails; the sanitizers watch the reads.
    for (const WavBytes& file : {ima, Pcm16Wav({1, 2, 3})}) {
        for (size_t length = 0; length <= file.size(); ++length) {
            DecodedSound sound;
            std::string error;
            if (DecodeWav({file.data(), length}, sound, error)) {
                EXPECT_EQ(sound.samples.size() % static_cast<size_t>(sound.channels), 0u) << length;
            }
        }
    }
}
