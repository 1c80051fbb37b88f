#include "image/EncodePNG.h"
#include "image/ImageDecoders.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <png.h>

#include <csetjmp>
#include <random>
#include <utility>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// What a PNG encoder in the test writes: any colour type, depth and interlacing libpng knows.
struct PngPicture
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<Bytes8> rows; // packed as the PNG stores them
    std::vector<png_color> palette;
    Bytes8 paletteAlpha; // tRNS for palette pictures
};

PngPicture Picture(std::uint32_t width, std::uint32_t height, int colourType, int bitDepth, std::vector<Bytes8> rows)
{
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colourType = colourType;
    picture.bitDepth = bitDepth;
    picture.rows = std::move(rows);
    return picture;
}

void AppendToVector(png_structp png, png_bytep data, size_t count)
{
    auto* out = static_cast<Bytes8*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

Bytes8 EncodeWithLibpng(const PngPicture& picture)
{
    Bytes8 out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test picture";
        return {};
    }
    png_set_write_fn(png, &out, AppendToVector, nullptr);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty())
        png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
    if (!picture.paletteAlpha.empty())
        png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& row : picture.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

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

TEST(DecodePNG, RgbAndRgbaRowsBecomeBlueGreenRedAlpha)
{
    const auto rgba = Decode(EncodeWithLibpng(Picture(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {{1, 2, 3, 4, 5, 6, 7, 0}})));
    EXPECT_EQ(PixelValues(rgba), (std::vector<std::uint32_t>{0x04010203, 0x00050607}));
    const auto rgb = Decode(EncodeWithLibpng(Picture(2, 1, PNG_COLOR_TYPE_RGB, 8, {{1, 2, 3, 4, 5, 6}})));
    EXPECT_EQ(PixelValues(rgb), (std::vector<std::uint32_t>{0xFF010203, 0xFF040506}));
}

TEST(DecodePNG, GreyPaletteSixteenBitAndPackedPicturesAreExpanded)
{
    const auto grey = Decode(EncodeWithLibpng(Picture(2, 1, PNG_COLOR_TYPE_GRAY, 8, {{0x40, 0x80}})));
    EXPECT_EQ(PixelValues(grey), (std::vector<std::uint32_t>{0xFF404040, 0xFF808080}));
    const auto greyAlpha = Decode(EncodeWithLibpng(Picture(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{0x40, 0x11}})));
    EXPECT_EQ(PixelValues(greyAlpha), std::vector<std::uint32_t>{0x11404040});
    const auto twoBit = Decode(EncodeWithLibpng(Picture(3, 1, PNG_COLOR_TYPE_GRAY, 2, {{0b11011000}})));
    EXPECT_EQ(PixelValues(twoBit), (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFF555555, 0xFFAAAAAA}));
    const auto deep = Decode(EncodeWithLibpng(Picture(1, 1, PNG_COLOR_TYPE_RGB, 16, {{0x12, 0x12, 0xAB, 0xAB, 0, 0}})));
    EXPECT_EQ(PixelValues(deep), std::vector<std::uint32_t>{0xFF12AB00});

    PngPicture palette = Picture(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {{2, 0, 1}});
    palette.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    palette.paletteAlpha = {0, 128}; // entry 2 has no alpha and stays opaque
    EXPECT_EQ(PixelValues(Decode(EncodeWithLibpng(palette))),
              (std::vector<std::uint32_t>{0xFF46505A, 0x000A141E, 0x8028323C}));
}

TEST(DecodePNG, InterlacedPicturesDecodeLikeProgressiveOnes)
{
    std::mt19937 random(7);
    PngPicture picture = RandomRgba(13, 11, random);
    const auto progressive = Decode(EncodeWithLibpng(picture));
    picture.interlaced = true;
    const auto interlaced = Decode(EncodeWithLibpng(picture));
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
    const Bytes8 file = EncodeWithLibpng(picture);
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
