#include "image/ImageDecoders.h"

#include "support/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

// The plainest libjpeg decode (default output settings: RGB), for comparison, as blue, green,
// red and opaque alpha.
Bytes8 DecodeWithLibjpeg(const Bytes8& file)
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    Bytes8 rgb(size_t{info.output_width} * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb.data() + size_t{info.output_scanline} * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    Bytes8 bgra;
    for (size_t i = 0; i < rgb.size(); i += 3)
        Append(bgra, {rgb[i + 2], rgb[i + 1], rgb[i], 255});
    return bgra;
}

Bytes8 Gradient(std::uint32_t width, std::uint32_t height, int components)
{
    Bytes8 samples;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                samples.push_back(static_cast<std::uint8_t>(x * 7 + y * 3 + static_cast<unsigned>(c) * 50));
    return samples;
}

} // namespace

TEST(DecodeJPEG, ColourPicturesMatchLibjpegsOwnRgbOutputWithOpaqueAlpha)
{
    const Bytes8 file = EncodeJpeg(33, 17, JCS_RGB, 3, Gradient(33, 17, 3));
    DecodedImage image;
    ASSERT_TRUE(DecodeJPEG(file, image));
    ASSERT_EQ(image.width, 33u);
    EXPECT_EQ(image.height, 17u);
    EXPECT_TRUE(image.pixels == DecodeWithLibjpeg(file)) << "pixels differ";
}

TEST(DecodeJPEG, GreyAndCmykPicturesComeOutAsColour)
{
    DecodedImage grey;
    ASSERT_TRUE(DecodeJPEG(EncodeJpeg(16, 16, JCS_GRAYSCALE, 1, Bytes8(256, 0x80)), grey));
    EXPECT_NEAR(PixelAt(grey, 5, 5) & 0xFF, 0x80, 1);
    EXPECT_EQ(PixelAt(grey, 5, 5), (PixelAt(grey, 5, 5) & 0xFF) * 0x010101u + 0xFF000000u);

    // libjpeg marks CMYK files as Adobe's, whose inks are stored inverted: (255, 0, 0, 255) is
    // no cyan, full magenta and yellow, no black, which is red.
    Bytes8 inks;
    for (int i = 0; i < 256; ++i)
        Append(inks, {255, 0, 0, 255});
    DecodedImage cmyk;
    ASSERT_TRUE(DecodeJPEG(EncodeJpeg(16, 16, JCS_CMYK, 4, inks), cmyk));
    const std::uint32_t red = PixelAt(cmyk, 8, 8);
    EXPECT_NEAR((red >> 16) & 0xFF, 255, 2);
    EXPECT_NEAR((red >> 8) & 0xFF, 0, 2);
    EXPECT_NEAR(red & 0xFF, 0, 2);
    EXPECT_EQ(red >> 24, 255u);
}

TEST(DecodeJPEG, LibraryErrorsFailInsteadOfEndingTheProgram)
{
    DecodedImage image;
    EXPECT_FALSE(DecodeJPEG(Bytes8{}, image));
    EXPECT_FALSE(DecodeJPEG(Bytes8(100, 0x42), image));
    EXPECT_FALSE(DecodeJPEG(Bytes8{0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x02, 0x13, 0x37}, image));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(image.width, 0u);
}
