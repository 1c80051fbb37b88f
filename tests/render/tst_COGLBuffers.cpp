#include "CapturedDebugLines.h"
#include "OpenGLTestSupport.h"

#include <array>

using namespace kestrel;
using namespace kestrel::test;

// Buffers in graphics memory and in client memory draw the same.
class BufferDraws : public OpenGLTest, public ::testing::WithParamInterface<std::uint32_t>
{
protected:
    void SetUp() override
    {
        OpenGLTest::SetUp();
        if (IsSkipped())
            return;
        ClearToBlack();
        m_vertices = m_device->CreateVertexBuffer(GetParam(), VertexDiffuse, 6, 16);
        m_indices = m_device->CreateIndexBuffer(GetParam(), 9);
        ASSERT_TRUE(m_vertices && m_indices);
        ASSERT_TRUE(m_vertices->SetData(kIndexedVertices.data(), 0, 0, -1));
        ASSERT_TRUE(m_indices->SetData(kIndexedIndices.data(), 0, 0, -1));
    }

    bool DrawQuad(int baseVertex, int minIndex, int vertexCount, int startIndex, int indexCount)
    {
        return m_device->DrawIndexed(PrimitiveType::TriangleList, m_vertices.get(), m_indices.get(), baseVertex,
                                     minIndex, vertexCount, startIndex, indexCount);
    }

    std::unique_ptr<C3DWVertexBuffer> m_vertices;
    std::unique_ptr<C3DWIndexBuffer> m_indices;
};

// Where indexed geometry lands and which ranges overrun the buffers is the shared scene's
// business; these are the refusals and hand-overs only this device's checks see.
TEST_P(BufferDraws, EmptyOrNegativeRangesDrawNothingAndUserDrawsTakeTheirOwnVertices)
{
    EXPECT_FALSE(DrawQuad(2, 0, 4, 3, 0)) << "no indices";
    EXPECT_FALSE(DrawQuad(2, 0, 0, 3, 6)) << "no vertices";
    EXPECT_FALSE(DrawQuad(-1, 0, 4, 3, 6));
    EXPECT_FALSE(DrawQuad(2, -1, 4, 3, 6));
    EXPECT_FALSE(m_device->DrawIndexed(PrimitiveType::TriangleList, nullptr, m_indices.get(), 0, 0, 4, 3, 6));
    EXPECT_FALSE(m_device->Draw(PrimitiveType::TriangleList, m_vertices.get(), 0, 0));
    EXPECT_EQ(PixelAt(2, 2), kBlack);

    // A user draw after an indexed one takes its own vertices, not the applied buffer's.
    ASSERT_TRUE(DrawQuad(2, 0, 4, 3, 6));
    const float positions[] = {0, -1, 0, 1, -1, 0, 1, 1, 0};
    ASSERT_TRUE(m_device->DrawUserPositions(PrimitiveType::TriangleList, positions, 3));
    EXPECT_EQ(PixelAt(2, 2), kRed);
    EXPECT_EQ(PixelAt(kSize - 2, kSize - 2), kBlack) << "current colour black";
}

TEST_P(BufferDraws, DataCopiesInAndOutWithinBounds)
{
    std::array<std::uint16_t, 9> indices{};
    ASSERT_TRUE(m_indices->GetData(indices.data(), 0, -1));
    EXPECT_EQ(indices, kIndexedIndices);
    const std::uint16_t replacement[] = {1, 2};
    ASSERT_TRUE(m_indices->SetData(replacement, 0, 14, 4));
    ASSERT_TRUE(m_indices->GetData(indices.data(), 14, 4));
    EXPECT_EQ(std::pair(indices[0], indices[1]), (std::pair<std::uint16_t, std::uint16_t>(1, 2)));
    EXPECT_FALSE(m_indices->SetData(replacement, 0, 16, 4));
    EXPECT_FALSE(m_indices->SetData(replacement, 0, -2, 2));
    EXPECT_FALSE(m_indices->GetData(indices.data(), 19, -1));

    ColouredVertex vertex{};
    ASSERT_TRUE(m_vertices->GetData(&vertex, 5 * 16, -1));
    EXPECT_EQ(std::pair(vertex.x, vertex.colour), std::pair(-1.0f, kRed));
    EXPECT_FALSE(m_vertices->SetData(&vertex, 0, 5 * 16, 17));
}

INSTANTIATE_TEST_SUITE_P(GraphicsAndSystemMemory, BufferDraws,
                         ::testing::Values(std::uint32_t{BufferGraphicsMemory}, std::uint32_t{BufferSystemMemory}));

using COGLBufferTest = OpenGLTest;

TEST_F(COGLBufferTest, WithoutBufferObjectsOnlyClientMemoryBuffersExist)
{
    RecreateDevice({"GL_ARB_vertex_buffer_object"});
    EXPECT_EQ(CapturedDebugLines([&] {
                  EXPECT_EQ(m_device->CreateVertexBuffer(BufferGraphicsMemory, 0, 4, 12), nullptr);
                  EXPECT_EQ(m_device->CreateIndexBuffer(BufferGraphicsMemory | BufferDynamic, 4), nullptr);
              }),
              (std::vector<std::string>{"COGLDevice: No Hardware buffers available",
                                        "COGLDevice: No Hardware buffers available"}));
    EXPECT_NE(m_device->CreateVertexBuffer(BufferSystemMemory, 0, 4, 12), nullptr);
    EXPECT_NE(m_device->CreateVertexBuffer(0, 0, 4, 12), nullptr);
    EXPECT_EQ(m_device->CreateVertexBuffer(BufferSystemMemory, 0, -1, 12), nullptr);
    EXPECT_EQ(m_device->CreateVertexBuffer(BufferSystemMemory, 0, 4, 0), nullptr);
}

TEST_F(COGLBufferTest, DrawUserFollowsTheVertexFormat)
{
    ClearToBlack();
    EXPECT_FALSE(m_device->SetVertexFormat(true, false, false, 5));
    ASSERT_TRUE(m_device->SetVertexFormat(true, true, false, 1));

    // A white texture modulated by the vertex colour.
    const std::uint32_t white = 0xFFFFFFFF;
    auto texture = m_device->CreateTexture(1, 1, TextureFormat::B8G8R8A8);
    ASSERT_TRUE(texture->SetData(&white, -1, -1, -1, -1, -1));
    ASSERT_TRUE(m_device->SetTexture(0, texture.get()));
    struct Vertex
    {
        float x, y, z;
        std::uint32_t colour, secondary;
        float u, v;
    };
    const Vertex triangle[] = {{-1, -1, 0, kGreen, 0, 0, 0}, {1, -1, 0, kGreen, 0, 0, 0}, {-1, 1, 0, kGreen, 0, 0, 0}};
    ASSERT_TRUE(m_device->DrawUser(PrimitiveType::TriangleList, triangle, 3, sizeof(Vertex)));
    EXPECT_EQ(PixelAt(2, kSize - 3), kGreen);
    EXPECT_EQ(PixelAt(kSize - 3, 2), kBlack);
}
