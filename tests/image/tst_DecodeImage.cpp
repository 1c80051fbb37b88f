#include "image/ImageDecoders.h"

#include "support/ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

TEST(ImageFileType, TheFirstExtensionFoundAnywhereInTheLoweredNameDecides)
{
    EXPECT_EQ(ImageFileTypeFromName("art\\textures\\brick.TGA"), ImageFileType::TGA);
    EXPECT_EQ(ImageFileTypeFromName("x.jpeg"), ImageFileType::JPEG);
    EXPECT_EQ(ImageFileTypeFromName("X.JPG"), ImageFileType::JPEG);
    EXPECT_EQ(ImageFileTypeFromName("a.tga.bak"), ImageFileType::TGA);
    EXPECT_EQ(ImageFileTypeFromName("a.png.bmp"), ImageFileType::BMP) << ".bmp is looked for first";
    EXPECT_EQ(ImageFileTypeFromName("b.dds"), ImageFileType::DDS);
    EXPECT_EQ(ImageFileTypeFromName("c.Png"), ImageFileType::PNG);
    EXPECT_EQ(ImageFileTypeFromName("notes.txt"), std::nullopt);
    EXPECT_EQ(ImageFileTypeFromName("tga"), std::nullopt);
}

TEST(DecodeImage, DispatchesByTypeAndEmptiesTheImageFirst)
{
    Bytes8 tga = TgaHeader(1, 1, 24, 2, 0);
    Append(tga, {1, 2, 3});
    DecodedImage image;
    ASSERT_TRUE(DecodeImage(tga, ImageFileType::TGA, image));
    EXPECT_EQ(PixelValues(image), std::vector<std::uint32_t>{0xFF030201});
    EXPECT_FALSE(DecodeImage(tga, ImageFileType::BMP, image));
    EXPECT_TRUE(image.pixels.empty());

    ASSERT_TRUE(DecodeImage(tga, ImageFileType::TGA, image));
    EXPECT_FALSE(DecodeImage(tga, static_cast<ImageFileType>(5), image));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(image.width, 0u);
}
