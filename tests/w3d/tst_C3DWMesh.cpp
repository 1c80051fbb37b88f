#include "w3d/C3DWMesh.h"

#include "base/DebugSink.h"
#include "render/TranslateVertexShaderToARB.h"
#include "w3d/IW3DTextureSource.h"

#include "support/RecordingDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

using namespace kestrel;
using namespace kestrel::test;

namespace {

/// Textures for the names it knows; remembers every request.
class FakeTextureSource : public IW3DTextureSource
{
public:
    std::set<std::string> known;
    std::vector<std::string> requests;

    std::unique_ptr<C3DWTexture> LoadTexture(const std::string& name) override
    {
        requests.push_back(name);
        if (!known.count(name))
            return nullptr;
        return std::make_unique<RecordingTexture>(1, 1, TextureFormat::B8G8R8A8);
    }
};

MeshVertex Vertex(float x, float y, float z)
{
    MeshVertex vertex;
    vertex.position = {x, y, z};
    vertex.normal = {0, 0, 1};
    return vertex;
}

std::vector<MeshVertex> BufferVertices(const C3DWMesh& mesh)
{
    const auto* buffer = mesh.VertexBuffer();
    std::vector<MeshVertex> vertices(static_cast<size_t>(buffer->GetCount()));
    EXPECT_TRUE(buffer->GetData(vertices.data(), 0, -1));
    return vertices;
}

std::vector<std::uint16_t> BufferIndices(const C3DWMesh& mesh)
{
    const auto* buffer = mesh.IndexBuffer();
    std::vector<std::uint16_t> indices(static_cast<size_t>(buffer->GetCount()));
    EXPECT_TRUE(buffer->GetData(indices.data(), 0, -1));
    return indices;
}

MeshMaterialDesc Material(const std::string& name, const std::string& texture)
{
    MeshMaterialDesc desc;
    desc.name = name;
    desc.textureNames[0] = texture;
    return desc;
}

const std::vector<MeshVertex> Triangle{Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0, 1, 0)};
const std::vector<std::uint16_t> OneTriangle{0, 1, 2};

} // namespace

// The text itself is pinned by its kept translation below.
TEST(C3DWMesh, TheBlendingShaderIsGivenToTheDeviceInBothForms)
{
    RecordingDevice device;
    C3DWMesh mesh(device);
    ASSERT_EQ(device.shaderTexts.size(), 1u);
    EXPECT_EQ(device.shaderTexts[0], C3DWMesh::VertexShaderText());
    EXPECT_NE(device.arbTexts[0].find("!!ARBvp1.0"), std::string::npos);
    EXPECT_TRUE(mesh.IsShaderUsable());
    ASSERT_GE(mesh.AddGeometry("G", Triangle, 1, OneTriangle, {}), 0);
    EXPECT_EQ(dynamic_cast<const RecordingVertexBuffer*>(mesh.VertexBuffer())->formatFlags, C3DWMesh::ShaderVertexFormat);
}

// The translation the OpenGL device loads, byte for byte (its line ends are mixed on purpose).
TEST(C3DWMesh, TheBlendingShaderTranslatesToTheKeptARBProgram)
{
    const char* source = std::getenv("KESTREL_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::ifstream file(std::filesystem::path(source) / "tests" / "w3d" / "data" / "BlendingShader.arb", std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(file), {}};
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(TranslateVertexShaderToARB(std::string(C3DWMesh::VertexShaderText())), expected);
}

TEST(C3DWMesh, WithoutAShaderTheMeshSaysWhyAndUsesTheFixedFunctionFormat)
{
    RecordingDevice device;
    device.failShaders = true;
    std::vector<std::string> debug;
    ScopedDebugCapture capture([&](std::string_view text) { debug.emplace_back(text); });
    C3DWMesh mesh(device);
    EXPECT_EQ(debug, (std::vector<std::string>{"C3DWMesh failed to create Vertex Shader", "\r\n", "no shaders here", "\r\n"}));
    EXPECT_FALSE(mesh.IsShaderUsable());
    ASSERT_GE(mesh.AddGeometry("G", Triangle, 1, OneTriangle, {}), 0);
    EXPECT_EQ(dynamic_cast<const RecordingVertexBuffer*>(mesh.VertexBuffer())->formatFlags, C3DWMesh::FixedVertexFormat);
    mesh.Render();
    EXPECT_EQ(device.draws.size(), 0u) << "a group without ranges draws nothing";
}

TEST(C3DWMesh, MaterialsShareTexturesAndFailedTexturesAreTriedAgain)
{
    RecordingDevice device;
    FakeTextureSource source;
    source.known = {"units/tank.tga"};
    C3DWMesh mesh(device);
    mesh.SetTextureSource(&source);
    mesh.SetTextureNamePrefix("units/");
    std::vector<std::string> debug;
    ScopedDebugCapture capture([&](std::string_view text) { debug.emplace_back(text); });

    EXPECT_EQ(mesh.AddMaterial(Material("A", "tank.tga")), 0);
    EXPECT_EQ(mesh.AddMaterial(Material("B", "tank.tga")), 1);
    EXPECT_EQ(mesh.AddMaterial(Material("C", "gone.tga")), 2);
    EXPECT_EQ(mesh.AddMaterial(Material("D", "gone.tga")), 3);
    ASSERT_EQ(mesh.Textures().size(), 1u);
    EXPECT_EQ(std::tuple(mesh.Textures()[0].name, mesh.Materials()[1].textureIndex[0], mesh.Materials()[3].textureIndex[0]),
              std::tuple(std::string("tank.tga"), 0, -1));
    EXPECT_EQ(source.requests, (std::vector<std::string>{"units/tank.tga", "units/gone.tga", "units/gone.tga"}));
    EXPECT_EQ(std::count(debug.begin(), debug.end(), "C3DWMesh Failed to load texture:"), 2);
    EXPECT_EQ(std::count(debug.begin(), debug.end(), "gone.tga"), 2);

    EXPECT_EQ(mesh.GetTextureIndex("", true), -1);
    EXPECT_EQ(mesh.GetTextureIndex("gone.tga", true), 1);
    EXPECT_EQ(mesh.Textures()[1].texture, nullptr);
    EXPECT_EQ(std::vector(debug.end() - 2, debug.end()),
              (std::vector<std::string>{"Added null texture to stay compatible", "\r\n"}));
    EXPECT_EQ(mesh.GetTextureIndex("gone.tga", false), 1) << "once added, the name is known";
}

TEST(C3DWMesh, GroupsAppendedLaterKeepEarlierVerticesAndIndicesValid)
{
    RecordingDevice device;
    C3DWMesh mesh(device);
    mesh.AddMaterial(Material("Red", ""));
    const std::vector<MeshVertex> quad{Vertex(5, 5, 5), Vertex(6, 5, 5), Vertex(6, 6, 5), Vertex(5, 6, 5)};
    const std::vector<TriangleRange> ranges{{0, 0, "Red", 7}, {1, 1, "Nobody", 7}};
    EXPECT_EQ(mesh.AddGeometry("first", Triangle, 1, OneTriangle, {}), 0);
    EXPECT_EQ(mesh.AddGeometry("second", quad, 1, std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3}, ranges), 1);

    const auto vertices = BufferVertices(mesh);
    ASSERT_EQ(vertices.size(), 7u);
    EXPECT_EQ(vertices[1].position, Triangle[1].position);
    EXPECT_EQ(vertices[5].position, quad[2].position);
    EXPECT_EQ(vertices[5].nextPosition, quad[2].position) << "one frame: the next frame is the vertex itself";
    EXPECT_EQ(BufferIndices(mesh), (std::vector<std::uint16_t>{0, 1, 2, 0, 1, 2, 0, 2, 3}));
    const GeometryGroup& second = mesh.Groups()[1];
    EXPECT_EQ(std::tuple(second.firstVertex, second.startIndex, second.triangleCount, second.ranges[0].materialIndex,
                         second.ranges[1].materialIndex),
              std::tuple(3, 3, 2, 0, -1));

    // A group that cannot be stored leaves the earlier ones intact.
    EXPECT_EQ(mesh.AddGeometry("odd", Triangle, 2, OneTriangle, {}), -1) << "3 vertices are not 2 whole frames";
    device.failBuffers = true;
    EXPECT_EQ(mesh.AddGeometry("lost", Triangle, 1, OneTriangle, {}), -1);
    EXPECT_EQ(mesh.Groups().size(), 2u);
    EXPECT_EQ(mesh.VertexBuffer()->GetCount(), 7);
}

TEST(C3DWMesh, FramesCarryTheNextFrameAndBoundsCoverThemAll)
{
    RecordingDevice device;
    C3DWMesh mesh(device);
    std::vector<MeshVertex> frames = Triangle;
    for (const auto& v : Triangle)
        frames.push_back(Vertex(v.position[0] - 4, v.position[1], v.position[2] + 9));
    ASSERT_EQ(mesh.AddGeometry("anim", frames, 2, OneTriangle, {}), 0);
    ASSERT_EQ(std::tuple(mesh.FrameCount(), mesh.Frames().size()), std::tuple(2, size_t(2)));
    EXPECT_EQ(mesh.Frames()[1].name, "Frame1");
    const auto vertices = BufferVertices(mesh);
    EXPECT_EQ(vertices[1].nextPosition, frames[4].position);
    EXPECT_EQ(vertices[4].nextPosition, frames[1].position);
    MeshBounds bounds;
    ASSERT_TRUE(mesh.GetBounds(0, bounds));
    EXPECT_EQ(bounds.min, (std::array<float, 3>{-4, 0, 0}));
    EXPECT_EQ(bounds.max, (std::array<float, 3>{1, 1, 9}));
    EXPECT_FALSE(mesh.GetBounds(1, bounds));

    mesh.SetFrameCount(0);
    EXPECT_EQ(mesh.FrameCount(), 2);
    mesh.SetFrameCount(1);
    EXPECT_EQ(mesh.Frames().size(), 1u);
}

TEST(C3DWMesh, RenderDrawsEachRangeWithItsMaterialsTexture)
{
    RecordingDevice device;
    FakeTextureSource source;
    source.known = {"grass.tga"};
    C3DWMesh mesh(device);
    mesh.SetTextureSource(&source);
    mesh.Render();
    EXPECT_TRUE(device.draws.empty()) << "nothing is drawn without buffers";

    mesh.AddMaterial(Material("Grass", "grass.tga"));
    mesh.AddGeometry("first", Triangle, 1, OneTriangle, {});
    const std::vector<std::uint16_t> indices{0, 1, 2, 0, 2, 1, 1, 2, 0};
    const std::vector<TriangleRange> ranges{{0, 1, "Grass", -1}, {2, 2, "", -1}};
    mesh.AddGeometry("second", Triangle, 1, indices, ranges);
    RecordingTexture stale(1, 1, TextureFormat::B8G8R8A8);
    device.stageTextures[0] = device.stageTextures[3] = &stale; // left by an earlier draw
    mesh.Render();

    ASSERT_EQ(device.draws.size(), 2u);
    const auto& textured = device.draws[0];
    EXPECT_EQ(std::tuple(textured.type, textured.baseVertex, textured.minIndex, textured.vertexCount,
                         textured.startIndex, textured.indexCount, textured.stage0),
              std::tuple(PrimitiveType::TriangleList, 3, 0, 3, 3, 6, mesh.Textures()[0].texture.get()));
    const auto& untextured = device.draws[1];
    EXPECT_EQ(std::tuple(untextured.startIndex, untextured.indexCount, untextured.stage0),
              std::tuple(9, 3, static_cast<const C3DWTexture*>(nullptr)));
    EXPECT_EQ(device.stageTextures[3], nullptr);
    EXPECT_EQ(textured.shader, nullptr) << "the preview draws without blending";
    EXPECT_EQ(device.currentShader, nullptr);
}

TEST(C3DWMesh, BlendingBindsTheShaderWithTheFrameTransformsAndWeights)
{
    RecordingDevice device;
    C3DWMesh mesh(device);
    mesh.AddGeometry("g", Triangle, 1, OneTriangle, std::vector<TriangleRange>{{0, 0, "", -1}});
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1};
    const float projection[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0};
    device.SetTransform(TransformType::View, view);
    device.SetTransform(TransformType::Projection, projection);
    mesh.EnableBlending(true);
    mesh.SetBlendWeight(0.25f);
    mesh.Render();
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_NE(device.draws[0].shader, nullptr);
    EXPECT_EQ(device.currentShader, nullptr) << "fixed function again after drawing";
    // Clip position = x c0 + y c1 + z c2 + c3 of view x projection: z moves by 5 into w.
    // Every value is a small sum of exact binary fractions, so they compare exactly.
    const auto& c = device.constants;
    EXPECT_EQ((std::vector<float>{c[0][0], c[3][2], c[3][3], c[6][2], c[10][3], c[8][1], c[20][0], c[21][3]}),
              (std::vector<float>{2, 5, 5, 1, 1, 1, 0.75f, 0.25f}));

    mesh.Clear();
    EXPECT_TRUE(mesh.Groups().empty());
    EXPECT_EQ(mesh.VertexBuffer(), nullptr);
    device.draws.clear();
    mesh.Render();
    EXPECT_TRUE(device.draws.empty());
}
