#include "render/DeviceScenes.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace kestrel::test {

void UseClipCoordinates(C3DWDevice& device)
{
    static constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ASSERT_TRUE(device.SetProjection(kIdentity));
    ASSERT_TRUE(device.SetTransform(TransformType::View, kIdentity));
    ASSERT_TRUE(device.SetTransform(TransformType::World, kIdentity));
}

std::vector<std::uint8_t> PixelsIn(TextureFormat format, const std::vector<std::uint32_t>& colours)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t colour : colours) {
        const auto b = static_cast<std::uint8_t>(colour), g = static_cast<std::uint8_t>(colour >> 8),
                   r = static_cast<std::uint8_t>(colour >> 16), a = static_cast<std::uint8_t>(colour >> 24);
        switch (format) {
        case TextureFormat::R5G6B5: {
            const int packed = (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
            bytes.insert(bytes.end(), {static_cast<std::uint8_t>(packed), static_cast<std::uint8_t>(packed >> 8)});
            break;
        }
        case TextureFormat::B8G8R8: bytes.insert(bytes.end(), {b, g, r}); break;
        case TextureFormat::R8G8B8: bytes.insert(bytes.end(), {r, g, b}); break;
        case TextureFormat::B8G8R8A8: bytes.insert(bytes.end(), {b, g, r, a}); break;
        case TextureFormat::R8G8B8A8: bytes.insert(bytes.end(), {r, g, b, a}); break;
        }
    }
    return bytes;
}

void CheckTexturedQuadScene(C3DWDevice& device, int size, TextureFormat format, const PixelReader& pixelAt)
{
    UseClipCoordinates(device);
    ASSERT_TRUE(device.SetClearColor(0x0000FF00)) << "the alpha byte is ignored";
    ASSERT_TRUE(device.Clear(ClearColour | ClearDepth));
    // Pure colours only, so 5-6-5 keeps them exactly.
    std::vector<std::uint32_t> colours;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            colours.push_back(y < 4 ? (x < 4 ? kRed : kGreen) : (x < 4 ? kBlue : kWhite));
    const auto texels = PixelsIn(format, colours);
    auto texture = device.CreateTexture(8, 8, format);
    ASSERT_NE(texture, nullptr);
    ASSERT_TRUE(texture->SetData(texels.data(), -1, -1, -1, -1, -1));
    ASSERT_TRUE(device.SetTexture(0, texture.get()));
    // Counter-clockwise, the front face both devices draw; texture coordinates 0 at the top left.
    const float quad[] = {-1, -1, 0, 0, 1, 0, -1, 0, 1, 1, 0, 1, 0, 1, 0, -1, 1, 0, 0, 0};
    ASSERT_TRUE(device.BeginScene());
    ASSERT_TRUE(device.DrawUserTextured(PrimitiveType::TriangleFan, quad, 4));
    ASSERT_TRUE(device.EndScene());
    EXPECT_EQ(pixelAt(size / 8, size / 4), kRed);
    EXPECT_EQ(pixelAt(3 * size / 8, size / 4), kGreen);
    EXPECT_EQ(pixelAt(size / 8, 3 * size / 4), kBlue);
    EXPECT_EQ(pixelAt(3 * size / 8, 3 * size / 4), kWhite);
    EXPECT_EQ(pixelAt(3 * size / 4, size / 2), kGreen) << "the right half keeps the clear colour";
    EXPECT_EQ(pixelAt(size - 1, size - 1), kGreen);
    ASSERT_TRUE(device.SetTexture(0, nullptr));
}

void CheckIndexedGeometryScene(C3DWDevice& device, int size, std::uint32_t usage, const PixelReader& pixelAt)
{
    UseClipCoordinates(device);
    device.SetClearColor(kBlack);
    ASSERT_TRUE(device.Clear(ClearColour | ClearDepth));
    auto vertices = device.CreateVertexBuffer(usage, VertexDiffuse, 6, 16);
    auto indices = device.CreateIndexBuffer(usage, 9);
    ASSERT_TRUE(vertices && indices);
    ASSERT_TRUE(vertices->SetData(kIndexedVertices.data(), 0, 0, -1));
    ASSERT_TRUE(indices->SetData(kIndexedIndices.data(), 0, 0, -1));
    ASSERT_TRUE(device.BeginScene());
    EXPECT_FALSE(device.DrawIndexed(PrimitiveType::TriangleList, vertices.get(), indices.get(), 3, 0, 4, 3, 6))
        << "the base vertex pushes the range past the end";
    EXPECT_FALSE(device.DrawIndexed(PrimitiveType::TriangleList, vertices.get(), indices.get(), 2, 0, 4, 4, 6))
        << "indices past the end";
    EXPECT_FALSE(device.DrawIndexed(PrimitiveType::TriangleList, vertices.get(), indices.get(), 2, 0, 3, 3, 6))
        << "an index above the promised range";
    EXPECT_FALSE(device.DrawIndexed(PrimitiveType::TriangleList, vertices.get(), indices.get(), 0, 0, 6, 0, 3))
        << "index 7 is no vertex of the buffer";
    EXPECT_FALSE(device.Draw(PrimitiveType::TriangleList, vertices.get(), 4, 3));
    ASSERT_TRUE(device.DrawIndexed(PrimitiveType::TriangleList, vertices.get(), indices.get(), 2, 0, 4, 3, 6));
    ASSERT_TRUE(device.EndScene());
    EXPECT_EQ(pixelAt(2, 2), kRed);
    EXPECT_EQ(pixelAt(size / 2 - 2, size - 2), kRed);
    EXPECT_EQ(pixelAt(size / 2 + 1, 2), kBlack);

    // The same vertices drawn without indices, as a fan from the third.
    device.Clear(ClearColour | ClearDepth);
    ASSERT_TRUE(device.Draw(PrimitiveType::TriangleFan, vertices.get(), 2, 4));
    EXPECT_EQ(pixelAt(size / 4, size / 2), kRed);
    EXPECT_EQ(pixelAt(3 * size / 4, size / 2), kBlack);
}

} // namespace kestrel::test
