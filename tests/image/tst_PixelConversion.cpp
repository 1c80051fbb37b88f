#include "image/PixelConversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace kestrel;

namespace {

std::vector<std::uint8_t> Convert(const std::vector<std::uint8_t>& source, int width, TextureFormat format,
                                  PixelConversion conversion)
{
    std::vector<std::uint8_t> out(static_cast<size_t>(width * BytesPerPixel(conversion)));
    ConvertPixels(source.data(), out.data(), width, 1, static_cast<int>(source.size()), static_cast<int>(out.size()),
                  format, conversion);
    return out;
}

} // namespace

TEST(PixelConversion, FiveSixFiveExpandsNonZeroFieldsToTheTopOfTheirRange)
{
    // 0x0000, 0xFFFF, then red 1 / green 1 / blue 1 alone and 0x8410 (the middle of each field).
    const std::vector<std::uint8_t> source{0x00, 0x00, 0xFF, 0xFF, 0x00, 0x08, 0x20, 0x00, 0x01, 0x00, 0x10, 0x84};
    EXPECT_EQ(Convert(source, 6, TextureFormat::R5G6B5, PixelConversion::ToB8G8R8A8),
              (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 15, 255, 0, 7, 0, 255,
                                         15, 0, 0, 255, 135, 131, 135, 255}));
}

TEST(PixelConversion, EveryInputLayoutReadsBlueGreenRedAlpha)
{
    const struct { TextureFormat format; std::vector<std::uint8_t> in, out; } cases[] = {
        {TextureFormat::B8G8R8, {1, 2, 3}, {1, 2, 3, 255}},    {TextureFormat::R8G8B8, {3, 2, 1}, {1, 2, 3, 255}},
        {TextureFormat::B8G8R8A8, {1, 2, 3, 4}, {1, 2, 3, 4}}, {TextureFormat::R8G8B8A8, {3, 2, 1, 4}, {1, 2, 3, 4}}};
    for (const auto& c : cases)
        EXPECT_EQ(Convert(c.in, 1, c.format, PixelConversion::ToB8G8R8A8), c.out) << static_cast<int>(c.format);
}

TEST(PixelConversion, EveryOutputLayoutPlacesTheChannelsAsSpecified)
{
    // blue 0x18, green 0x2C, red 0xF8, alpha 0x00 / 0x01.
    const std::vector<std::uint8_t> pixels{0x18, 0x2C, 0xF8, 0x00, 0x18, 0x2C, 0xF8, 0x01};
    const auto convert = [&](PixelConversion conversion) {
        return Convert(pixels, 2, TextureFormat::B8G8R8A8, conversion);
    };
    // red 11111 | green 001011 | blue 00011 = 0xF963
    EXPECT_EQ(convert(PixelConversion::ToR5G6B5), (std::vector<std::uint8_t>{0x63, 0xF9, 0x63, 0xF9}));
    // red 11111 | green 00101 | blue 00011 | alpha bit = 0xF946, 0xF947
    EXPECT_EQ(convert(PixelConversion::ToR5G5B5A1), (std::vector<std::uint8_t>{0x46, 0xF9, 0x47, 0xF9}));
    EXPECT_EQ(convert(PixelConversion::ToB8G8R8), (std::vector<std::uint8_t>{0x18, 0x2C, 0xF8, 0x18, 0x2C, 0xF8}));
    EXPECT_EQ(convert(PixelConversion::ToR8G8B8), (std::vector<std::uint8_t>{0xF8, 0x2C, 0x18, 0xF8, 0x2C, 0x18}));
    EXPECT_EQ(convert(PixelConversion::ToR8G8B8A8),
              (std::vector<std::uint8_t>{0xF8, 0x2C, 0x18, 0x00, 0xF8, 0x2C, 0x18, 0x01}));
}

TEST(PixelConversion, RowsAndSlicesAdvanceByTheirOwnPitches)
{
    // 70 pixels per row crosses the internal chunk size; rows and slices carry padding.
    constexpr int width = 70;
    constexpr int sourcePitch = width * 3 + 5;
    constexpr int destinationPitch = width * 4 + 8;
    std::vector<std::uint8_t> source(static_cast<size_t>(sourcePitch * 2 * 2));
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i * 7);
    std::vector<std::uint8_t> destination(static_cast<size_t>(destinationPitch * 2 * 2 + 4), 0xEE);
    ConvertPixels3D(source.data(), destination.data(), width, 2, 2, sourcePitch, sourcePitch * 2, destinationPitch,
                    destinationPitch * 2 + 2, TextureFormat::R8G8B8, PixelConversion::ToR8G8B8A8);
    for (int z = 0; z < 2; ++z) {
        for (int y = 0; y < 2; ++y) {
            const std::uint8_t* in = source.data() + z * sourcePitch * 2 + y * sourcePitch;
            const std::uint8_t* out = destination.data() + z * (destinationPitch * 2 + 2) + y * destinationPitch;
            for (int x = 0; x < width; ++x) {
                ASSERT_EQ((std::vector<std::uint8_t>(out + 4 * x, out + 4 * x + 4)),
                          (std::vector<std::uint8_t>{in[3 * x], in[3 * x + 1], in[3 * x + 2], 255}));
            }
            EXPECT_EQ(out[4 * width], 0xEE);
        }
    }
}
