#include "image/ImageDecoders.h"

#include "base/DebugSink.h"
#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr std::uint32_t LinearSize = 0x80000;
// Index word putting palette entries 0, 1, 2, 3 into the top row of a block.
constexpr std::uint32_t FirstRowCountsUp = 0xE4;

Bytes8 ColourBlock(std::uint32_t c0, std::uint32_t c1, std::uint32_t indices)
{
    Bytes8 block;
    PutU16(block, c0);
    PutU16(block, c1);
    PutU32(block, indices);
    return block;
}

std::vector<std::uint32_t> TopRow(const DecodedImage& image)
{
    return {PixelAt(image, 0, 0), PixelAt(image, 1, 0), PixelAt(image, 2, 0), PixelAt(image, 3, 0)};
}

DecodedImage DecodeFile(const Bytes8& header, const Bytes8& blocks)
{
    Bytes8 file = header;
    Append(file, blocks);
    DecodedImage image;
    EXPECT_TRUE(DecodeDDS(file, image));
    return image;
}

DecodedImage DecodeBlocks(std::string_view fourCC, std::uint32_t width, std::uint32_t height, const Bytes8& blocks)
{
    return DecodeFile(DdsHeader(width, height, LinearSize, static_cast<std::uint32_t>(blocks.size()), fourCC), blocks);
}

} // namespace

TEST(DecodeDDS, UncompressedRowsFollowThePitchUnflippedAndAnnounceThemselves)
{
    std::vector<std::string> lines;
    ScopedDebugCapture capture([&](std::string_view text) { lines.emplace_back(text); });
    // 2 x 2, 24-bit, rows 8 bytes apart.
    const DecodedImage image =
        DecodeFile(DdsHeader(2, 2, 0, 8, "", 24), {1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(PixelValues(image), (std::vector<std::uint32_t>{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}));
    EXPECT_EQ(lines, (std::vector<std::string>{"DDS uncompressed. Flip top/bottom?", "\r\n"}));

    lines.clear();
    Bytes8 sixteenBit = DdsHeader(1, 1, 0, 2, "", 16);
    Append(sixteenBit, {1, 2});
    DecodedImage failed;
    EXPECT_FALSE(DecodeDDS(sixteenBit, failed));
    EXPECT_EQ(lines.size(), 2u) << "the line comes before the depth is checked";

    const DecodedImage withAlpha = DecodeFile(DdsHeader(1, 1, 0, 4, "", 32), {1, 2, 3, 4});
    EXPECT_EQ(PixelValues(withAlpha), std::vector<std::uint32_t>{0x04030201});
}

TEST(DecodeDDS, WithoutAPitchRowsLieBackToBackAndX8PaddingIsOpaque)
{
    // As Windows tools write X8R8G8B8: pitch flag clear, pitch 0, colour masks without alpha.
    Bytes8 header = DdsHeader(2, 2, 0x1007, 0, "", 32);
    Bytes8 masks;
    for (const std::uint32_t mask : {0xFF0000u, 0xFF00u, 0xFFu, 0u})
        PutU32(masks, mask);
    std::copy(masks.begin(), masks.end(), header.begin() + 92);
    const Bytes8 pixels{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
    EXPECT_EQ(PixelValues(DecodeFile(header, pixels)),
              (std::vector<std::uint32_t>{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}));

    // An alpha mask (A8R8G8B8) keeps the fourth byte; a linear size in place of the pitch is no pitch.
    header[107] = 0xFF;
    header[8 + 2] |= 0x08; // the linear-size flag
    header[20] = 16;
    const Bytes8 translucent{1, 2, 3, 0x40, 4, 5, 6, 0x80, 7, 8, 9, 0xC0, 10, 11, 12, 0xFF};
    EXPECT_EQ(PixelValues(DecodeFile(header, translucent)),
              (std::vector<std::uint32_t>{0x40030201, 0x80060504, 0xC0090807, 0xFF0C0B0A}));
}

TEST(DecodeDDS, BadMagicShortHeaderAndUnknownCodesFail)
{
    DecodedImage image;
    Bytes8 ati2 = DdsHeader(4, 4, LinearSize, 16, "ATI2");
    ati2.resize(ati2.size() + 16, 0);
    EXPECT_FALSE(DecodeDDS(ati2, image));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_FALSE(DecodeDDS(Bytes8(ati2.begin(), ati2.begin() + 127), image));
    ati2[3] = 'X';
    EXPECT_FALSE(DecodeDDS(ati2, image));
    EXPECT_FALSE(DecodeDDS(DdsHeader(16385, 4, 0, 0, "DXT1"), image)) << "too wide";
}

TEST(DecodeDDS, DXT1PalettesInterpolateThirdsOrHalvesWithTransparentBlack)
{
    // c0 = pure red (31 -> 248), c1 = pure blue: no bit replication into the low bits.
    const auto fourColours = DecodeBlocks("DXT1", 4, 4, ColourBlock(0xF800, 0x001F, FirstRowCountsUp));
    EXPECT_EQ(TopRow(fourColours), (std::vector<std::uint32_t>{0xFFF80000, 0xFF0000F8, 0xFFA50053, 0xFF5300A5}));
    const auto threeColours = DecodeBlocks("DXT1", 4, 4, ColourBlock(0x001F, 0xF800, FirstRowCountsUp));
    EXPECT_EQ(TopRow(threeColours), (std::vector<std::uint32_t>{0xFF0000F8, 0xFFF80000, 0xFF7C007C, 0x00000000}));
    // Green's six bits: 63 -> 252; equal colours take the three-colour rule.
    const auto equal = DecodeBlocks("DXT1", 4, 4, ColourBlock(0x07E0, 0x07E0, FirstRowCountsUp));
    EXPECT_EQ(TopRow(equal), (std::vector<std::uint32_t>{0xFF00FC00, 0xFF00FC00, 0xFF00FC00, 0}));
}

TEST(DecodeDDS, DXT3TakesExplicitAlphaAndAlwaysFourColours)
{
    Bytes8 block{0x10, 0xF2, 0, 0, 0, 0, 0, 0}; // top row alphas 0, 1, 2, 15 (low nibble leftmost)
    Append(block, ColourBlock(0x001F, 0xF800, FirstRowCountsUp));
    const auto image = DecodeBlocks("DXT3", 4, 4, block);
    EXPECT_EQ(TopRow(image), (std::vector<std::uint32_t>{0x000000F8, 0x11F80000, 0x225300A5, 0xFFA50053}));
    EXPECT_EQ(PixelValues(DecodeBlocks("DXT2", 4, 4, block)), PixelValues(image));
}

TEST(DecodeDDS, DXT5AlphaPalettesHaveEightOrSixStepsWithZeroAndFull)
{
    // Indices 0, 1, 2, 6 in the top row, then 7 at (0, 1): 3-bit fields, lowest bits leftmost.
    const std::uint64_t indices = 0 | 1 << 3 | 2 << 6 | 6 << 9 | 7 << 12;
    const auto block = [&](std::uint8_t a0, std::uint8_t a1) {
        Bytes8 bytes{a0, a1};
        for (int i = 0; i < 6; ++i)
            bytes.push_back(static_cast<std::uint8_t>(indices >> (8 * i)));
        Append(bytes, ColourBlock(0, 0, 0));
        return bytes;
    };
    const auto alphas = [](const DecodedImage& image) {
        std::vector<std::uint32_t> values;
        for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}})
            values.push_back(PixelAt(image, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) >> 24);
        return values;
    };
    // a0 > a1: (6 * 255 + 3) / 7 = 219, (2 * 255 + 3) / 7 = 73 and (255 + 3) / 7 = 36.
    EXPECT_EQ(alphas(DecodeBlocks("DXT5", 4, 4, block(255, 0))), (std::vector<std::uint32_t>{255, 0, 219, 73, 36}));
    // a0 <= a1: (4 * 0 + 255 + 2) / 5 = 51, index 6 is 0, index 7 is 255.
    EXPECT_EQ(alphas(DecodeBlocks("DXT5", 4, 4, block(0, 255))), (std::vector<std::uint32_t>{0, 255, 51, 0, 255}));
    EXPECT_EQ(PixelValues(DecodeBlocks("DXT4", 4, 4, block(0, 255))),
              PixelValues(DecodeBlocks("DXT5", 4, 4, block(0, 255))));
}

TEST(DecodeDDS, EdgeBlocksOfPartialSizesStayInsideThePicture)
{
    // 6 x 6 takes 2 x 2 blocks of one colour each; the destination has exactly 36 pixels.
    Bytes8 blocks;
    for (std::uint32_t colour : {0x0001u, 0x0002u, 0x0003u, 0x0004u})
        Append(blocks, ColourBlock(colour, 0, 0));
    Bytes8 pixels(6 * 6 * 4);
    DecodeDXT1Blocks(6, 6, blocks, pixels.data());
    DecodedImage image{pixels, 6, 6};
    EXPECT_EQ(PixelAt(image, 3, 3), 0xFF000008u);
    EXPECT_EQ(PixelAt(image, 4, 3), 0xFF000010u);
    EXPECT_EQ(PixelAt(image, 3, 4), 0xFF000018u);
    EXPECT_EQ(PixelAt(image, 5, 5), 0xFF000020u);
}

TEST(DecodeDDS, MissingBlocksAreTransparentBlackAndTheLevelSizeComesFromTheFlagsOrTheSize)
{
    const Bytes8 red = ColourBlock(0xF800, 0, 0);
    Bytes8 twoBlocks = red;
    Append(twoBlocks, red);
    // Linear size of one block: the second block in the file is not used.
    const auto oneBlockLevel = DecodeFile(DdsHeader(8, 4, LinearSize, 8, "DXT1"), twoBlocks);
    EXPECT_EQ(PixelAt(oneBlockLevel, 3, 3), 0xFFF80000u);
    EXPECT_EQ(PixelAt(oneBlockLevel, 4, 0), 0u);
    // Without the flag the level is as large as the picture needs.
    const auto sizedByPicture = DecodeFile(DdsHeader(8, 4, 0, 0, "DXT1"), twoBlocks);
    EXPECT_EQ(PixelAt(sizedByPicture, 7, 3), 0xFFF80000u);
    // A linear size beyond the end of the file decodes what is there.
    const auto truncated = DecodeFile(DdsHeader(8, 4, LinearSize, 64, "DXT1"), red);
    EXPECT_EQ(PixelAt(truncated, 0, 0), 0xFFF80000u);
    EXPECT_EQ(PixelAt(truncated, 7, 3), 0u);
}
