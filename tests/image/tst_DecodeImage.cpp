#include "image/ImageDecoders.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

TEST(ImageFileType, TheFirstExtensionFoundAnywhereInTheLoweredNameDecides)
{
    for (const auto classify : {ImageFileTypeFromEntryName, ImageFileTypeFromPath}) {
        EXPECT_EQ(classify("art\\textures\\brick.TGA"), ImageFileType::TGA);
        EXPECT_EQ(classify("x.jpeg"), ImageFileType::JPEG);
        EXPECT_EQ(classify("X.JPG"), ImageFileType::JPEG);
        EXPECT_EQ(classify("a.tga.bak"), ImageFileType::TGA);
        EXPECT_EQ(classify("a.png.dds"), ImageFileType::DDS);
        EXPECT_EQ(classify("c.Png"), ImageFileType::PNG);
        EXPECT_EQ(classify("notes.txt"), std::nullopt);
        EXPECT_EQ(classify("tga"), std::nullopt);
    }
    // Entry names look for ".tga" first, paths for ".bmp".
    EXPECT_EQ(ImageFileTypeFromEntryName("a.bmp.tga"), ImageFileType::TGA);
    EXPECT_EQ(ImageFileTypeFromEntryName("a.tga.bmp"), ImageFileType::TGA);
    EXPECT_EQ(ImageFileTypeFromPath("a.bmp.tga"), ImageFileType::BMP);
    EXPECT_EQ(ImageFileTypeFromPath("a.tga.bmp"), ImageFileType::BMP);
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
