#include "image/EncodePNG.h"
#include "image/ImageDecoders.h"

#include "support/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <png.h>

#include <random>
#include <utility>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

DecodedImage Decode(const Bytes8& file)
{
    DecodedImage image;
    EXPECT_TRUE(DecodePNG(file, image));
    return image;
}

PngPicture RandomRgba(std::uint32_t width, std::uint32_t height, std::mt19937& random)
{
    PngPicture picture = Picture(width, height, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
    for (std::uint32_t y = 0; y < height; ++y) {
        Bytes8 row(size_t{width} * 4);
        for (auto& byte : row)
            byte = static_cast<std::uint8_t>(random());
        picture.rows.push_back(row);
    }
    return picture;
}

} // namespace

TEST(DecodePNG, EveryColourTypeBecomesBlueGreenRedAlpha)
{
    const auto rgba = Decode(EncodePngWithLibpng(Picture(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {{1, 2, 3, 4, 5, 6, 7, 0}})));
    EXPECT_EQ(PixelValues(rgba), (std::vector<std::uint32_t>{0x04010203, 0x00050607}));
    const auto rgb = Decode(EncodePngWithLibpng(Picture(2, 1, PNG_COLOR_TYPE_RGB, 8, {{1, 2, 3, 4, 5, 6}})));
    EXPECT_EQ(PixelValues(rgb), (std::vector<std::uint32_t>{0xFF010203, 0xFF040506}));
    // Grey, palette, sixteen-bit and packed pictures are expanded.
    const auto grey = Decode(EncodePngWithLibpng(Picture(2, 1, PNG_COLOR_TYPE_GRAY, 8, {{0x40, 0x80}})));
    EXPECT_EQ(PixelValues(grey), (std::vector<std::uint32_t>{0xFF404040, 0xFF808080}));
    const auto greyAlpha = Decode(EncodePngWithLibpng(Picture(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{0x40, 0x11}})));
    EXPECT_EQ(PixelValues(greyAlpha), std::vector<std::uint32_t>{0x11404040});
    const auto twoBit = Decode(EncodePngWithLibpng(Picture(3, 1, PNG_COLOR_TYPE_GRAY, 2, {{0b11011000}})));
    EXPECT_EQ(PixelValues(twoBit), (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFF555555, 0xFFAAAAAA}));
    const auto deep = Decode(EncodePngWithLibpng(Picture(1, 1, PNG_COLOR_TYPE_RGB, 16, {{0x12, 0x12, 0xAB, 0xAB, 0, 0}})));
    EXPECT_EQ(PixelValues(deep), std::vector<std::uint32_t>{0xFF12AB00});

    PngPicture palette = Picture(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {{2, 0, 1}});
    palette.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    palette.paletteAlpha = {0, 128}; // entry 2 has no alpha and stays opaque
    EXPECT_EQ(PixelValues(Decode(EncodePngWithLibpng(palette))),
              (std::vector<std::uint32_t>{0xFF46505A, 0x000A141E, 0x8028323C}));
}

TEST(DecodePNG, InterlacedPicturesDecodeLikeProgressiveOnes)
{
    std::mt19937 random(7);
    PngPicture picture = RandomRgba(13, 11, random);
    const auto progressive = Decode(EncodePngWithLibpng(picture));
    picture.interlaced = true;
    const auto interlaced = Decode(EncodePngWithLibpng(picture));
    EXPECT_EQ(interlaced.pixels, progressive.pixels);
    EXPECT_EQ(PixelAt(progressive, 12, 10) & 0xFF, picture.rows[10][12 * 4 + 2]);
}

TEST(DecodePNG, EncodePNGRoundTripsEveryPixelIncludingAlpha)
{
    std::mt19937 random(11);
    DecodedImage original{Bytes8(17 * 5 * 4), 17, 5};
    for (auto& byte : original.pixels)
        byte = static_cast<std::uint8_t>(random());
    Bytes8 png;
    ASSERT_TRUE(EncodePNG(original, png));
    const auto decoded = Decode(png);
    EXPECT_EQ(decoded.width, 17u);
    EXPECT_EQ(decoded.pixels, original.pixels);
    EXPECT_FALSE(EncodePNG(DecodedImage{}, png));
    EXPECT_TRUE(png.empty());
}

TEST(DecodePNG, WrongSignatureAndCorruptDataFailWhileEarlyEndsKeepTheRowsRead)
{
    DecodedImage image;
    EXPECT_FALSE(DecodePNG(Bytes8{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'}, image)) << "a JPEG";
    EXPECT_FALSE(DecodePNG(Bytes8{}, image));

    std::mt19937 random(3);
    PngPicture picture = RandomRgba(64, 64, random);
    const Bytes8 file = EncodePngWithLibpng(picture);
    Bytes8 corrupt = file;
    corrupt[100] ^= 0x55; // inside the first IDAT chunk: its CRC no longer matches
    EXPECT_FALSE(DecodePNG(corrupt, image));
    EXPECT_TRUE(image.pixels.empty());

    ASSERT_TRUE(DecodePNG(Bytes8(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(file.size() / 2)), image));
    const Bytes8& firstRow = picture.rows[0];
    EXPECT_EQ(PixelAt(image, 1, 0), std::uint32_t{firstRow[6]} | std::uint32_t{firstRow[5]} << 8 |
                                        std::uint32_t{firstRow[4]} << 16 | std::uint32_t{firstRow[7]} << 24);
    EXPECT_EQ(PixelAt(image, 63, 63), 0u) << "rows beyond the end stay transparent black";
    EXPECT_FALSE(DecodePNG(Bytes8(file.begin(), file.begin() + 40), image)) << "ends inside the header chunks";
}
