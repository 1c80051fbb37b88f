#include "sound/WavDecoder.h"
#include "sound/WavTestFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

DecodedSound Decoded(const WavBytes& file)
{
    DecodedSound sound;
    std::string error;
    EXPECT_TRUE(DecodeWav(file, sound, error)) << error;
    return sound;
}

WavBytes ImaWav(std::uint16_t channels, std::uint16_t blockAlign, std::uint8_t samplesPerBlock, const WavBytes& data,
                const WavBytes& fact = {})
{
    return WavFile({FormatChunk(0x11, channels, 22050, blockAlign, 4, {samplesPerBlock, 0}), RiffChunk("fact", fact),
                    RiffChunk("data", data)});
}

} // namespace

TEST(WavDecoder, WidensEveryPcmDepthToSixteenBitsKeepingFramesAndPeaks)
{
    const auto mono8 = Decoded(PcmWav(1, 8, {0x00, 0x80, 0xFF}, 44100));
    EXPECT_THAT(mono8.samples, ElementsAre(-32768, 0, 32512));
    EXPECT_EQ(DescribeSound(mono8), "PCM 8-bit, 44100 Hz, mono, 0.00 s");
    const auto stereo16 = Decoded(PcmWav(2, 16, {0x01, 0x80, 0xFF, 0x7F, 0x00, 0x00, 0x34, 0x12}));
    EXPECT_THAT(stereo16.samples, ElementsAre(-32767, 32767, 0, 0x1234));
    EXPECT_THAT(Decoded(PcmWav(1, 24, {0xAA, 0x00, 0x80, 0x55, 0xFF, 0x7F})).samples, ElementsAre(-32768, 32767));
}

TEST(WavDecoder, DecodesImaAdpcmBlocksFromTheirHeaders)
{
    // Worked out by hand from the step and index tables: from 0 at step index 0, nibbles 4, 7,
    // 15, 8 give +7 (index 2), +16 (index 10), -34 (index 18) and -5 (index 17). Two blocks,
    // of which "fact" keeps 8 frames: each block restarts from its own header.
    const WavBytes block{0x00, 0x00, 0x00, 0x00, 0x74, 0x8F, 0x00, 0x00, 0x00, 0x00, 0x74, 0x8F};
    EXPECT_THAT(Decoded(ImaWav(1, 6, 5, block, {8, 0, 0, 0})).samples, ElementsAre(0, 7, 23, -11, -16, 0, 7, 23));

    // Stereo: both headers, then four bytes of the left channel, four of the right. The left
    // goes on from index 17 with zero nibbles (steps 37, 34, 31, 28 give +4, +4, +3, +3); the
    // right starts near full scale at the top step index and saturates.
    const WavBytes stereo{0x00, 0x00, 0x00, 0x00, 0xF8, 0x7F, 88, 0x00, 0x74, 0x8F, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00};
    const std::vector<std::int16_t> leftRight{0,   32760, 7,  32767, 23, 32767, -11, 32767, -16,
                                              32767, -12, 32767, -8, 32767, -5, 32767, -2,  32767};
    EXPECT_EQ(Decoded(ImaWav(2, 16, 9, stereo)).samples, leftRight);
}

TEST(WavDecoder, SkipsPaddingAndDecodesCutShortDataWithANote)
{
    const auto format = FormatChunk(1, 1, 22050, 2, 16);
    const auto padded = Decoded(WavFile({format, RiffChunk("LIST", {1, 2, 3}), RiffChunk("data", {0x10, 0, 0x20, 0})}));
    EXPECT_THAT(padded.samples, ElementsAre(16, 32));
    EXPECT_TRUE(padded.notes.empty());

    // 8 bytes declared, 4 present: two frames.
    const auto cut = Decoded(WavFile({format, RiffChunk("data", {0x10, 0, 0x20, 0}, 8)}));
    EXPECT_THAT(cut.samples, ElementsAre(16, 32));
    EXPECT_THAT(cut.notes, testing::Contains(HasSubstr("cut short")));
}

TEST(WavDecoder, RefusesDamagedOrUnsupportedHeadersNamingTheFault)
{
    const WavBytes data = RiffChunk("data", {0, 0});
    const WavBytes pcm = PcmWav(1, 16, {1, 0, 2, 0});
    const std::vector<std::pair<WavBytes, std::string>> cases{
        {{}, "too short"},
        {WavFile({data}, "AVI "), "not \"WAVE\""},
        {RiffChunk("RIFX", {'W', 'A', 'V', 'E'}), "no \"RIFF\""},
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
    // Every prefix of good files decodes whole frames or fails; the sanitizers watch the reads.
    for (const WavBytes& file : {ImaWav(2, 16, 9, WavBytes(16, 0x5A)), pcm}) {
        for (size_t length = 0; length <= file.size(); ++length) {
            DecodedSound sound;
            std::string error;
            if (DecodeWav({file.data(), length}, sound, error)) {
                EXPECT_EQ(sound.samples.size() % static_cast<size_t>(sound.channels), 0u) << length;
            }
        }
    }
}
