#include "image/ImageDecoders.h"

#include "support/ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// A 3 x 2 24-bit picture: rows of 9 bytes padded to 12, file row 0 first.
Bytes8 ThreeByTwo(std::int32_t height)
{
    Bytes8 file = BmpHeader(3, height, 24);
    Append(file, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE, 0xEE, 0xEE});
    return file;
}

const std::vector<std::uint32_t> FileRow0{0xFF030201, 0xFF060504, 0xFF090807};
const std::vector<std::uint32_t> FileRow1{0xFF0D0C0B, 0xFF100F0E, 0xFF131211};

std::vector<std::uint32_t> Row(const DecodedImage& image, std::uint32_t y)
{
    std::vector<std::uint32_t> row;
    for (std::uint32_t x = 0; x < image.width; ++x)
        row.push_back(PixelAt(image, x, y));
    return row;
}

} // namespace

TEST(DecodeBMP, PositiveHeightIsFlippedNegativeHeightIsNotAndRowsArePaddedToFourBytes)
{
    DecodedImage image;
    ASSERT_TRUE(DecodeBMP(ThreeByTwo(2), image));
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(Row(image, 0), FileRow1);
    EXPECT_EQ(Row(image, 1), FileRow0);

    ASSERT_TRUE(DecodeBMP(ThreeByTwo(-2), image));
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(Row(image, 0), FileRow0);
    EXPECT_EQ(Row(image, 1), FileRow1);
}

TEST(DecodeBMP, ThirtyTwoBitPixelsKeepTheirAlpha)
{
    Bytes8 file = BmpHeader(1, 1, 32);
    Append(file, {1, 2, 3, 4});
    DecodedImage image;
    ASSERT_TRUE(DecodeBMP(file, image));
    EXPECT_EQ(PixelValues(image), std::vector<std::uint32_t>{0x04030201});
}

TEST(DecodeBMP, CompressedPalettedOrShortFilesFail)
{
    DecodedImage image;
    EXPECT_FALSE(DecodeBMP(BmpHeader(1, 1, 24, 3), image)) << "bit fields";
    EXPECT_FALSE(DecodeBMP(BmpHeader(1, 1, 16), image));
    EXPECT_FALSE(DecodeBMP(BmpHeader(1, 1, 64), image)) << "pixels wider than the output";
    EXPECT_FALSE(DecodeBMP(Bytes8(53, 0), image));
    Bytes8 headerPastEnd = BmpHeader(1, 1, 24);
    headerPastEnd[16] = 1; // info header of 65576 bytes
    EXPECT_FALSE(DecodeBMP(headerPastEnd, image));
    EXPECT_TRUE(image.pixels.empty());
}

TEST(DecodeBMP, TruncatedRowsLeaveTransparentBlack)
{
    Bytes8 file = ThreeByTwo(2);
    file.resize(file.size() - 9); // file row 1 keeps its first pixel only
    DecodedImage image;
    ASSERT_TRUE(DecodeBMP(file, image));
    EXPECT_EQ(Row(image, 0), (std::vector<std::uint32_t>{0xFF0D0C0B, 0, 0}));
    EXPECT_EQ(Row(image, 1), FileRow0);
}
