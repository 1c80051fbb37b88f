// A second, independent reading of the S3TC block formats, written from the format's public
// description rather than from Kestrel's decoder: per pixel, fractions in floating point and
// rounded to nearest, bits fetched one at a time. The one deliberate departure from the usual
// description is the 5/6-bit colour expansion, which shifts without replicating the high bits
// into the low ones, as Kestrel has always shown textures.
#include "image/ImageDecoders.h"

#include "support/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string_view>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

enum class Format { DXT1, DXT3, DXT5 };

struct Rgba
{
    double red, green, blue, alpha;
};

unsigned Bits(const std::uint8_t* bytes, unsigned firstBit, unsigned count)
{
    unsigned value = 0;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned bit = firstBit + i;
        value |= ((bytes[bit / 8] >> (bit % 8)) & 1u) << i;
    }
    return value;
}

Rgba FromColour565(unsigned colour)
{
    return {double((colour >> 11) << 3), double(((colour >> 5) & 63) << 2), double((colour & 31) << 3), 255};
}

Rgba Mix(const Rgba& a, const Rgba& b, double weightOfB)
{
    return {a.red + (b.red - a.red) * weightOfB, a.green + (b.green - a.green) * weightOfB,
            a.blue + (b.blue - a.blue) * weightOfB, 255};
}

Rgba ReferenceColour(const std::uint8_t* colourBlock, unsigned pixel, bool dxt1)
{
    const unsigned c0 = Bits(colourBlock, 0, 16);
    const unsigned c1 = Bits(colourBlock, 16, 16);
    const unsigned code = Bits(colourBlock, 32 + 2 * pixel, 2);
    const Rgba colour0 = FromColour565(c0);
    const Rgba colour1 = FromColour565(c1);
    if (!dxt1 || c0 > c1) {
        const Rgba entries[4] = {colour0, colour1, Mix(colour0, colour1, 1.0 / 3), Mix(colour0, colour1, 2.0 / 3)};
        const Rgba& chosen = entries[code];
        return {std::round(chosen.red), std::round(chosen.green), std::round(chosen.blue), 255};
    }
    // Three colours: the midpoint is truncated, and code 3 is fully transparent black.
    if (code == 3)
        return {0, 0, 0, 0};
    const Rgba entries[3] = {colour0, colour1, Mix(colour0, colour1, 0.5)};
    return {std::floor(entries[code].red), std::floor(entries[code].green), std::floor(entries[code].blue), 255};
}

double ReferenceAlpha5(const std::uint8_t* block, unsigned pixel)
{
    const double a0 = block[0];
    const double a1 = block[1];
    const unsigned code = Bits(block + 2, 3 * pixel, 3);
    if (code < 2)
        return code == 0 ? a0 : a1;
    if (a0 > a1)
        return std::round(a0 + (a1 - a0) * (code - 1) / 7.0);
    if (code >= 6)
        return code == 6 ? 0 : 255;
    return std::round(a0 + (a1 - a0) * (code - 1) / 5.0);
}

std::uint32_t ReferencePixel(Format format, const std::uint8_t* block, unsigned pixel)
{
    Rgba colour = ReferenceColour(format == Format::DXT1 ? block : block + 8, pixel, format == Format::DXT1);
    if (format == Format::DXT3)
        colour.alpha = Bits(block, 4 * pixel, 4) * 255.0 / 15.0;
    else if (format == Format::DXT5)
        colour.alpha = ReferenceAlpha5(block, pixel);
    return std::uint32_t(colour.blue) | std::uint32_t(colour.green) << 8 | std::uint32_t(colour.red) << 16 |
           std::uint32_t(colour.alpha) << 24;
}

// Decodes a whole DDS file so that each four-character code must also reach the right block
// decoder; DXT2 and DXT4 are shown like DXT3 and DXT5.
void CompareWithReference(std::string_view fourCC, std::uint32_t width, std::uint32_t height, std::mt19937& random)
{
    const Format format = fourCC == "DXT1" ? Format::DXT1 : fourCC <= "DXT3" ? Format::DXT3 : Format::DXT5;
    const unsigned blockBytes = format == Format::DXT1 ? 8 : 16;
    const std::uint32_t across = (width + 3) / 4;
    Bytes8 blocks(size_t{across} * ((height + 3) / 4) * blockBytes);
    for (auto& byte : blocks)
        byte = static_cast<std::uint8_t>(random());
    Bytes8 file = DdsHeader(width, height, 0x80000, static_cast<std::uint32_t>(blocks.size()), fourCC);
    Append(file, blocks);
    DecodedImage image;
    ASSERT_TRUE(DecodeDDS(file, image)) << fourCC;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* block = blocks.data() + (size_t{y / 4} * across + x / 4) * blockBytes;
            const std::uint32_t expected = ReferencePixel(format, block, (y % 4) * 4 + x % 4);
            ASSERT_EQ(PixelAt(image, x, y), expected) << "pixel " << x << "," << y << " of " << fourCC << " " << width << "x" << height;
        }
    }
}

} // namespace

TEST(DXTReference, RandomBlocksDecodeLikeTheFormatDescriptionPixelForPixel)
{
    std::mt19937 random(20240611);
    for (std::string_view fourCC : {"DXT1", "DXT2", "DXT3", "DXT4", "DXT5"}) {
        // Sizes that are and are not multiples of the block size; about 3000 blocks per format.
        for (auto [width, height] : {std::pair{64u, 64u}, {37u, 21u}, {5u, 200u}, {1u, 1u}, {130u, 6u}})
            CompareWithReference(fourCC, width, height, random);
    }
}
