#include "image/ImageDecoders.h"

#include "support/ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

TEST(ImageFileType, TheFirstExtensionFoundAnywhereInTheLoweredNameDecides)
{
    const std::pair<const char*, std::optional<ImageFileType>> names[] = {
        {"art\\textures\\brick.TGA", ImageFileType::TGA}, {"x.jpeg", ImageFileType::JPEG},
        {"X.JPG", ImageFileType::JPEG}, {"a.tga.bak", ImageFileType::TGA}, {"a.png.dds", ImageFileType::DDS},
        {"notes.txt", std::nullopt}, {"tga", std::nullopt}};
    for (const auto classify : {ImageFileTypeFromEntryName, ImageFileTypeFromPath})
        for (const auto& [name, type] : names)
            EXPECT_EQ(classify(name), type) << name;
    // Entry names look for ".tga" first, paths for ".bmp".
    EXPECT_EQ(ImageFileTypeFromEntryName("a.bmp.tga"), ImageFileType::TGA);
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
