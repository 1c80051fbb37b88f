#include "image/ImageScaling.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace kestrel;

namespace {

// One byte per pixel whose value names its source position (10 * row + column), so a sampled
// destination shows directly which source pixel it took.
std::vector<std::uint8_t> NumberedSource(int width, int height)
{
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<std::uint8_t>(10 * y + x));
    return pixels;
}

std::vector<std::uint8_t> Scale(int sourceWidth, int sourceHeight, int width, int height)
{
    const auto source = NumberedSource(sourceWidth, sourceHeight);
    std::vector<std::uint8_t> destination(static_cast<size_t>(width * height), 0xEE);
    C3DW_internal_ScaleCopy(source.data(), destination.data(), sourceWidth, sourceHeight, sourceWidth, width, height,
                            width, 1);
    return destination;
}

} // namespace

TEST(ImageScaling, SamplingAddsAHalfTruncatesAndClampsToTheLastSourcePixel)
{
    // 2 -> 4: column 1 samples 1 * 0.5 + 0.5 = 1.0, so every sample but the first moves onto the
    // next source pixel; column 3 (2.0) is clamped.
    EXPECT_EQ(Scale(2, 2, 4, 4), (std::vector<std::uint8_t>{0, 1, 1, 1, 10, 11, 11, 11, 10, 11, 11, 11, 10, 11, 11, 11}));
    // 3 -> 5: column 4 samples 4 * 0.6 + 0.5 = 2.9, truncated to 2.
    EXPECT_EQ(Scale(3, 1, 5, 1), (std::vector<std::uint8_t>{0, 1, 1, 2, 2}));
    // 5 -> 2 samples column 3 (1 * 2.5 + 0.5).
    EXPECT_EQ(Scale(5, 1, 2, 1), (std::vector<std::uint8_t>{0, 3}));
}

TEST(ImageScaling, EqualSizesCopyRowsBetweenPitchesWithoutTouchingPadding)
{
    // The source is the right 2 x 2 rectangle of a 3 x 2 image of 4-byte pixels whose buffer ends
    // with the rectangle's last pixel: copying whole pitches would read past it.
    std::vector<std::uint8_t> image(24);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i);
    std::vector<std::uint8_t> samePitch(24, 0xEE);
    C3DW_internal_ScaleCopy(image.data() + 4, samePitch.data(), 2, 2, 12, 2, 2, 12, 4);
    EXPECT_EQ(samePitch, (std::vector<std::uint8_t>{4, 5, 6, 7, 8, 9, 10, 11, 0xEE, 0xEE, 0xEE, 0xEE,
                                                    16, 17, 18, 19, 20, 21, 22, 23, 0xEE, 0xEE, 0xEE, 0xEE}));
    std::vector<std::uint8_t> packed(16);
    C3DW_internal_ScaleCopy(image.data() + 4, packed.data(), 2, 2, 12, 2, 2, 8, 4);
    EXPECT_EQ(packed, (std::vector<std::uint8_t>{4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18, 19, 20, 21, 22, 23}));
}

TEST(ImageScaling, NullSourceClearsTheDestination)
{
    std::vector<std::uint8_t> destination(3 * 8, 0xEE);
    C3DW_internal_ScaleCopy(nullptr, destination.data(), 2, 2, 8, 2, 3, 8, 4);
    EXPECT_EQ(destination, std::vector<std::uint8_t>(24, 0));

    std::vector<std::uint8_t> volume(2 * 16, 0xEE);
    C3DW_internal_ScaleCopy3D(nullptr, volume.data(), 1, 1, 1, 4, 4, 2, 2, 2, 8, 16, 4);
    EXPECT_EQ(volume, std::vector<std::uint8_t>(32, 0));
}

TEST(ImageScaling, VolumesSampleEachAxisAndCopyEqualSizesSliceBySlice)
{
    // 2 x 1 x 2 source of 2-byte pixels holding (slice, column); every axis samples like a row.
    const std::vector<std::uint8_t> source{0, 0, 0, 1, 1, 0, 1, 1};
    std::vector<std::uint8_t> enlarged(4 * 2 * 4 * 2);
    C3DW_internal_ScaleCopy3D(source.data(), enlarged.data(), 2, 1, 2, 4, 4, 4, 2, 4, 8, 16, 2);
    for (int z = 0; z < 4; ++z) {
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 4; ++x) {
                const size_t at = static_cast<size_t>(z * 16 + y * 8 + x * 2);
                EXPECT_EQ(enlarged[at], z > 0 ? 1 : 0) << z << y << x;
                EXPECT_EQ(enlarged[at + 1], x > 0 ? 1 : 0) << z << y << x;
            }
        }
    }
    // Same size into a destination with padded rows and slices.
    std::vector<std::uint8_t> padded(2 * 12, 0xEE);
    C3DW_internal_ScaleCopy3D(source.data(), padded.data(), 2, 1, 2, 4, 4, 2, 1, 2, 6, 12, 2);
    EXPECT_EQ(padded, (std::vector<std::uint8_t>{0, 0, 0, 1, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
                                                 1, 0, 1, 1, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
}
