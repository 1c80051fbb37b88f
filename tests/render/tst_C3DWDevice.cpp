#include "render/C3DWDevice.h"
#include "render/C3DWPixelShader.h"
#include "render/ResourceRules.h"

#include "samples/BigArchiveBuilder.h"
#include "samples/ImageFileWriters.h"
#include "support/RecordingDevice.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

// A 2 × 2 32-bit TGA stored top row first; its pixel bytes are `pixels` (blue, green, red, alpha).
std::vector<std::uint8_t> TopDownTga(const std::vector<std::uint8_t>& pixels)
{
    return TgaFile(2, 2, 32, 0x28, pixels);
}

const std::vector<std::uint8_t> kPixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

} // namespace

TEST(C3DWDevice, CreateTextureFromMemoryDecodesIntoATextureOfTheImageSizeAndRefusesBadData)
{
    RecordingDevice device;
    const std::vector<std::uint8_t> file = TopDownTga(kPixels);
    const auto size = static_cast<std::int64_t>(file.size());
    EXPECT_EQ(device.CreateTextureFromMemory(file.data(), 0, ImageFileType::TGA), nullptr);
    EXPECT_EQ(device.CreateTextureFromMemory(nullptr, 10, ImageFileType::TGA), nullptr);
    EXPECT_EQ(device.CreateTextureFromMemory(file.data(), size, ImageFileType::PNG), nullptr);
    EXPECT_TRUE(device.texturesCreated.empty());

    auto texture = device.CreateTextureFromMemory(file.data(), size, ImageFileType::TGA);
    ASSERT_NE(texture, nullptr);
    const auto& fake = static_cast<RecordingTexture&>(*texture);
    EXPECT_EQ(std::tuple(fake.width, fake.height, fake.format), std::tuple(2, 2, TextureFormat::B8G8R8A8));
    EXPECT_EQ(fake.pixels, kPixels);
}

TEST(C3DWDevice, LoadTextureFromFileChoosesTheTypeByNameAndGoesThroughTheDevice)
{
    TempFolder folder;
    WriteFileBytes(folder / "Brick.TGA.bak", TopDownTga(kPixels));
    WriteFileBytes(folder / "x.txt", TopDownTga(kPixels));
    RecordingDevice device;

    auto texture = device.LoadTextureFromFile((folder / "Brick.TGA.bak").string());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(static_cast<RecordingTexture&>(*texture).pixels, kPixels);
    EXPECT_EQ(device.memoryTypes, std::vector<ImageFileType>{ImageFileType::TGA});

    EXPECT_EQ(device.LoadTextureFromFile((folder / "x.txt").string()), nullptr);
    EXPECT_EQ(device.LoadTextureFromFile((folder / "missing.tga").string()), nullptr);
    EXPECT_EQ(device.memoryTypes.size(), 1u);
}

TEST(VertexFormat, DecodesPartsSizesAndOffsets)
{
    const VertexLayout layout = DecodeVertexFormat(VertexNormal | VertexDiffuse | VertexSecondary | VertexTexSets1 |
                                                   VertexTexSets3 | VertexTexSizeBits(0, VertexTexSize3) |
                                                   VertexTexSizeBits(2, VertexTexSize1));
    EXPECT_TRUE(layout.hasNormal && layout.hasColour && layout.hasSecondary);
    EXPECT_EQ(layout.texSetCount, 3);
    EXPECT_EQ((std::vector<int>{layout.texSetSize[0], layout.texSetSize[1], layout.texSetSize[2]}),
              (std::vector<int>{3, 2, 1}));
    EXPECT_EQ((std::vector<int>{layout.normalOffset, layout.colourOffset, layout.secondaryOffset, layout.texSetOffset[0],
                                layout.texSetOffset[1], layout.texSetOffset[2], layout.size}),
              (std::vector<int>{12, 24, 28, 32, 44, 52, 56}));

    EXPECT_EQ(DecodeVertexFormat(VertexTexSets4 | VertexTexSizeBits(3, VertexTexSize4)).texSetSize[3], 4);
    EXPECT_EQ(DecodeVertexFormat(0).size, 12);
}

TEST(PrimitiveCount, FollowsThePrimitiveType)
{
    EXPECT_EQ(PrimitiveCount(PrimitiveType::TriangleStrip, 2), 0);
    EXPECT_EQ(PrimitiveCount(PrimitiveType::TriangleList, 7), 2);
    EXPECT_EQ(PrimitiveCount(PrimitiveType::TriangleFan, 5), 3);
    EXPECT_EQ(PrimitiveCount(PrimitiveType::LineList, 5), 2);
    EXPECT_EQ(PrimitiveCount(PrimitiveType::LineStrip, 0), 0);
}

TEST(ResourceRules, ByteRangesStayInsideTheBuffer)
{
    EXPECT_EQ(ResolveByteRange(8, -1, 40), 32);
    EXPECT_EQ(ResolveByteRange(36, 4, 40), 4);
    EXPECT_EQ(ResolveByteRange(36, 5, 40), -1);
    EXPECT_EQ(ResolveByteRange(-1, 4, 40), -1);
    EXPECT_EQ(ResolveByteRange(0, -2, 40), -1);
    EXPECT_EQ(ResolveByteRange(41, -1, 40), -1);
}

TEST(ResourceRules, ShaderSourceNeedsRoomForItsTerminatingZero)
{
    const std::string text = "!!ARBvp1.0";
    char buffer[16] = "xxxxxxxxxxxxxxx";
    EXPECT_FALSE(CopyShaderSource(&text, buffer, static_cast<int>(text.size())));
    EXPECT_TRUE(CopyShaderSource(&text, buffer, static_cast<int>(text.size()) + 1));
    EXPECT_STREQ(buffer, "!!ARBvp1.0");
    EXPECT_FALSE(CopyShaderSource(nullptr, buffer, 16));
}
