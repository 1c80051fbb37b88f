#include "image/ImageDecoders.h"

#include "support/ImageTestSupport.h"

#include <gtest/gtest.h>


using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

constexpr std::uint32_t LinearSize = 0x80000;
// Index word putting palette entries 0, 1, 2, 3 into the top row of a block.
constexpr std::uint32_t FirstRowCountsUp = 0xE4;

Bytes8 ColourBlock(std::uint16_t c0, std::uint16_t c1, std::uint32_t indices)
{
    return ByteWriter().U16(c0).U16(c1).U32(indices);
}

DecodedImage DecodeFile(const Bytes8& header, const Bytes8& blocks)
{
    Bytes8 file = header;
    Append(file, blocks);
    DecodedImage image;
    EXPECT_TRUE(DecodeDDS(file, image));
    return image;
}

} // namespace

TEST(DecodeDDS, UncompressedRowsFollowThePitchUnflippedAndOnlyDeepPixelsDecode)
{
    // 2 x 2, 24-bit, rows 8 bytes apart.
    const DecodedImage image =
        DecodeFile(DdsHeader(2, 2, 0, 8, "", 24), {1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(PixelValues(image), (std::vector<std::uint32_t>{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}));
    Bytes8 sixteenBit = DdsHeader(1, 1, 0, 2, "", 16);
    Append(sixteenBit, {1, 2});
    DecodedImage failed;
    EXPECT_FALSE(DecodeDDS(sixteenBit, failed));

    const DecodedImage withAlpha = DecodeFile(DdsHeader(1, 1, 0, 4, "", 32), {1, 2, 3, 4});
    EXPECT_EQ(PixelValues(withAlpha), std::vector<std::uint32_t>{0x04030201});
}

TEST(DecodeDDS, WithoutAPitchRowsLieBackToBackAndX8PaddingIsOpaque)
{
    // As Windows tools write X8R8G8B8: pitch flag clear, pitch 0, colour masks without alpha.
    Bytes8 header = DdsHeader(2, 2, 0x1007, 0, "", 32);
    Bytes8 masks;
    for (const std::uint32_t mask : {0xFF0000u, 0xFF00u, 0xFFu, 0u})
        Append(masks, LE(mask));
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

// Every code's whole-file decoding is compared pixel for pixel with an independent reading of the
// formats in tst_DXTReference.
TEST(DecodeDDS, EqualEndColoursTakeTheThreeColourRule)
{
    // A case random blocks almost never hit.
    const auto equal = DecodeFile(DdsHeader(4, 4, LinearSize, 8, "DXT1"), ColourBlock(0x07E0, 0x07E0, FirstRowCountsUp));
    const std::vector<std::uint32_t> pixels = PixelValues(equal);
    EXPECT_EQ(std::vector(pixels.begin(), pixels.begin() + 4), (std::vector<std::uint32_t>{0xFF00FC00, 0xFF00FC00, 0xFF00FC00, 0}));
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
