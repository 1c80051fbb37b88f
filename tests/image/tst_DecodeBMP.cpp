#include "image/ImageDecoders.h"

#include "support/ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::samples;
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

TEST(DecodeBMP, PositiveHeightIsFlippedNegativeIsNotRowsArePaddedAndShortRowsStayTransparent)
{
    Bytes8 truncated = ThreeByTwo(2);
    truncated.resize(truncated.size() - 9); // file row 1 keeps its first pixel only
    Bytes8 withAlpha = BmpHeader(1, 1, 32);
    Append(withAlpha, {1, 2, 3, 4});
    const std::pair<Bytes8, std::vector<std::vector<std::uint32_t>>> cases[] = {
        {ThreeByTwo(2), {FileRow1, FileRow0}},
        {ThreeByTwo(-2), {FileRow0, FileRow1}},
        {truncated, {{0xFF0D0C0B, 0, 0}, FileRow0}},
        {withAlpha, {{0x04030201}}},
    };
    for (const auto& [file, rows] : cases) {
        DecodedImage image;
        ASSERT_TRUE(DecodeBMP(file, image));
        ASSERT_EQ(image.height, rows.size());
        for (std::uint32_t y = 0; y < image.height; ++y)
            EXPECT_EQ(Row(image, y), rows[y]) << y;
    }
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
