#include "w3d/C3DWMesh.h"

#include "base/DebugSink.h"
#include "render/C3DWDevice.h"
#include "render/C3DWIndexBuffer.h"
#include "render/C3DWTexture.h"
#include "render/C3DWVertexBuffer.h"
#include "render/C3DWVertexShader.h"
#include "render/TranslateVertexShaderToARB.h"
#include "w3d/IW3DTextureSource.h"
#include "w3d/Matrix4.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace kestrel {
namespace {

constexpr std::string_view ShaderText =
    "vs.1.1\r\n"
    "dcl_position v0\r\n"
    "dcl_normal v3\r\n"
    "dcl_texcoord0 v7\r\n"
    "dcl_texcoord1 v8\r\n"
    "dcl_texcoord2 v9\r\n"
    "mul r1, v0, c20\r\n"
    "mad r1, v8, c21, r1\r\n"
    "mul r0, r1.x, c0\r\n"
    "mad r0, r1.y, c1, r0\r\n"
    "mad r0, r1.z, c2, r0\r\n"
    "add oPos, c3, r0\r\n"
    ";interpolate normal into r0\r\n"
    "mul r0, v3, c20\r\n"
    "mad r0, v9, c21, r0\r\n"
    ";transf normal\r\n"
    "dp3 r1.x, r0, c4\r\n"
    "dp3 r1.y, r0, c5\r\n"
    "dp3 r1.z, r0, c6\r\n"
    ";renormalize\r\n"
    "dp3 r1.w, r1, r1\r\n"
    "rsq r1.w, r1.w\r\n"
    "mul r1, r1, r1.w\r\n"
    "dp3  r0, r1, c7             // perform lighting N dot L calculation in world\r\n"
    "mul oD0, c8, r0 // apply light color\r\n"
    "\t\t\t\t\t\t\t // interpolated diffuse vertex color\r\n"
    "mov oT0.zw, c10\r\n"
    "mov oT1.zw, c10\r\n"
    "mov oT2.zw, c10\r\n"
    "mov oT3.zw, c10\r\n"
    "mov oT0.xy, v7.xyxy\r\n"
    "mov oT1.xy, v7.zwzw\r\n"
    "mov oT2.xy, v8.xyxy\r\n"
    "mov oT3.xy, v8.zwzw\r\n";

constexpr int ErrorBufferSize = 512;

Matrix4 StoredTransform(const C3DWDevice& device, TransformType type)
{
    Matrix4 matrix;
    if (const float* stored = device.GetTransform(type))
        std::copy(stored, stored + 16, matrix.m.begin());
    return matrix;
}

} // namespace

std::string_view C3DWMesh::VertexShaderText()
{
    return ShaderText;
}

C3DWMesh::C3DWMesh(C3DWDevice& device) : m_device(device), m_frames{{"Frame0", 1}}
{
    const std::string text(ShaderText);
    const std::string arbText = TranslateVertexShaderToARB(text);
    char error[ErrorBufferSize] = {};
    m_vertexShader = m_device.CreateVertexShader(0, text.c_str(), arbText.c_str(), error, ErrorBufferSize);
    if (!m_vertexShader) {
        m_shaderUsable = false;
        DebugLine("C3DWMesh failed to create Vertex Shader");
        DebugLine(std::string_view(error, strnlen(error, ErrorBufferSize)));
    }
}

C3DWMesh::~C3DWMesh()
{
    Clear();
}

int C3DWMesh::GetTextureIndex(const std::string& name, bool addEmptyOnFailure)
{
    for (size_t i = 0; i < m_textures.size(); ++i) {
        if (m_textures[i].name == name)
            return static_cast<int>(i);
    }
    if (name.empty())
        return -1;
    const std::string fullName = m_texturePrefix + name;
    auto texture = m_textureSource ? m_textureSource->LoadTexture(fullName) : m_device.LoadTextureFromFile(fullName);
    if (!texture) {
        DebugLine("C3DWMesh Failed to load texture:");
        DebugLine(name);
        if (!addEmptyOnFailure)
            return -1;
        DebugLine("Added null texture to stay compatible");
    }
    m_textures.push_back(MeshTexture{name, std::move(texture)});
    return static_cast<int>(m_textures.size() - 1);
}

int C3DWMesh::AddMaterial(const MeshMaterialDesc& material)
{
    MeshMaterial record{material, {-1, -1, -1}};
    for (size_t i = 0; i < record.textureIndex.size(); ++i)
        record.textureIndex[i] = GetTextureIndex(material.textureNames[i], false);
    m_materials.push_back(std::move(record));
    return static_cast<int>(m_materials.size() - 1);
}

void C3DWMesh::SetFrameCount(int count)
{
    if (count < 1)
        return;
    m_frameCount = count;
    m_frames.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < m_frames.size(); ++i) {
        if (m_frames[i].name.empty())
            m_frames[i] = MeshFrame{"Frame" + std::to_string(i), 1};
    }
}

bool C3DWMesh::AppendVertices(std::span<const MeshVertex> vertices, int frameCount)
{
    if (vertices.empty())
        return true;
    const size_t oldCount = m_vertexBuffer ? static_cast<size_t>(m_vertexBuffer->GetCount()) : 0;
    const size_t newCount = oldCount + vertices.size();
    if (newCount > INT_MAX / VertexStride)
        return false;
    std::vector<MeshVertex> all(newCount);
    if (oldCount > 0 && !m_vertexBuffer->GetData(all.data(), 0, static_cast<int>(oldCount) * VertexStride))
        return false;
    const auto frames = static_cast<size_t>(frameCount);
    const size_t perFrame = vertices.size() / frames;
    for (size_t f = 0; f < frames; ++f) {
        for (size_t v = 0; v < perFrame; ++v) {
            MeshVertex vertex = vertices[f * perFrame + v];
            const MeshVertex& next = vertices[((f + 1) % frames) * perFrame + v];
            vertex.nextPosition = next.position;
            vertex.nextNormal = next.normal;
            all[oldCount + f * perFrame + v] = vertex;
        }
    }
    const std::uint32_t format = m_shaderUsable && m_vertexShader ? ShaderVertexFormat : FixedVertexFormat;
    auto buffer = m_device.CreateVertexBuffer(0, format, static_cast<int>(newCount), VertexStride);
    if (!buffer || !buffer->SetData(all.data(), 0, 0, -1))
        return false;
    m_vertexBuffer = std::move(buffer);
    return true;
}

bool C3DWMesh::AppendIndices(std::span<const std::uint16_t> indices)
{
    if (indices.empty())
        return true;
    const size_t oldCount = m_indexBuffer ? static_cast<size_t>(m_indexBuffer->GetCount()) : 0;
    const size_t newCount = oldCount + indices.size();
    if (newCount > INT_MAX / 2)
        return false;
    std::vector<std::uint16_t> all(newCount);
    if (oldCount > 0 && !m_indexBuffer->GetData(all.data(), 0, static_cast<int>(oldCount) * 2))
        return false;
    std::copy(indices.begin(), indices.end(), all.begin() + static_cast<std::ptrdiff_t>(oldCount));
    auto buffer = m_device.CreateIndexBuffer(0, static_cast<int>(newCount));
    if (!buffer || !buffer->SetData(all.data(), 0, 0, -1))
        return false;
    m_indexBuffer = std::move(buffer);
    return true;
}

int C3DWMesh::AddGeometry(const std::string& name, std::span<const MeshVertex> vertices, int frameCount,
                          std::span<const std::uint16_t> indices, std::span<const TriangleRange> ranges)
{
    if (frameCount < 1 || vertices.size() % static_cast<size_t>(frameCount) != 0)
        return -1;
    if (frameCount > m_frameCount)
        SetFrameCount(frameCount);
    GeometryGroup group;
    group.name = name;
    group.startIndex = m_indexBuffer ? m_indexBuffer->GetCount() : 0;
    group.firstVertex = m_vertexBuffer ? m_vertexBuffer->GetCount() : 0;
    group.vertexCount = static_cast<int>(vertices.size() / static_cast<size_t>(frameCount));
    group.triangleCount = static_cast<int>(indices.size() / 3);
    group.frameCount = frameCount;
    // A failed append leaves the buffers as they were, so the groups already added stay drawable.
    if (!AppendVertices(vertices, frameCount) || !AppendIndices(indices))
        return -1;
    group.ranges = ResolveRanges(ranges, m_materials);
    m_groups.push_back(std::move(group));
    return static_cast<int>(m_groups.size() - 1);
}

bool C3DWMesh::GetBounds(int group, MeshBounds& bounds)
{
    if (group < 0 || static_cast<size_t>(group) >= m_groups.size())
        return false;
    const GeometryGroup& g = m_groups[static_cast<size_t>(group)];
    std::vector<MeshVertex> vertices(static_cast<size_t>(g.vertexCount) * static_cast<size_t>(g.frameCount));
    if (!vertices.empty()
        && !m_vertexBuffer->GetData(vertices.data(), g.firstVertex * VertexStride,
                                    static_cast<int>(vertices.size()) * VertexStride))
        return false;
    bounds = ComputeBounds(vertices);
    return true;
}

void C3DWMesh::LoadShaderConstants()
{
    const Matrix4 view = StoredTransform(m_device, TransformType::View);
    const Matrix4 combined = StoredTransform(m_device, TransformType::World)
                                 .Then(view)
                                 .Then(StoredTransform(m_device, TransformType::Projection));
    const Matrix4 inverseView = view.Inverse();
    const float light[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    const float zeroOne[4] = {0, 0, 0, 1};
    const float w = m_blendWeight;
    const float weights[8] = {1 - w, 1 - w, 1 - w, 1 - w, w, w, w, w};
    m_device.SetVertexShaderConstants(0, combined.m.data(), 4);
    m_device.SetVertexShaderConstants(4, inverseView.m.data(), 3);
    m_device.SetVertexShaderConstants(7, light, 2);
    m_device.SetVertexShaderConstants(10, zeroOne, 1);
    m_device.SetVertexShaderConstants(20, weights, 2);
}

void C3DWMesh::DrawRange(const GeometryGroup& group, const TriangleRange& range)
{
    if (range.last < range.first || range.last >= group.triangleCount)
        return;
    for (int stage = 0; stage < 4; ++stage)
        m_device.SetTexture(stage, nullptr);
    if (range.materialIndex >= 0) {
        const int texture = m_materials[static_cast<size_t>(range.materialIndex)].textureIndex[0];
        if (texture >= 0)
            m_device.SetTexture(0, m_textures[static_cast<size_t>(texture)].texture.get());
    }
    // Groups keep their own frames; one with fewer frames than asked shows its last.
    const int frame = std::clamp(m_frameIndex, 0, group.frameCount - 1);
    m_device.DrawIndexed(PrimitiveType::TriangleList, m_vertexBuffer.get(), m_indexBuffer.get(),
                         frame * group.vertexCount + group.firstVertex, 0, group.vertexCount,
                         group.startIndex + 3 * range.first, 3 * (range.last - range.first + 1));
}

void C3DWMesh::Render()
{
    if (!m_vertexBuffer || !m_indexBuffer)
        return;
    if (m_blending && m_vertexShader) {
        if (m_shaderUsable)
            m_device.SetVertexShader(m_vertexShader.get());
        LoadShaderConstants();
    }
    for (const auto& group : m_groups) {
        for (const auto& range : group.ranges)
            DrawRange(group, range);
    }
    if (m_shaderUsable && m_vertexShader)
        m_device.SetVertexShader(nullptr);
}

void C3DWMesh::Clear()
{
    m_groups.clear();
    m_materials.clear();
    m_vertexBuffer.reset();
    m_indexBuffer.reset();
    m_textures.clear();
    m_frameIndex = 0;
    m_blendWeight = 0.0f;
    m_blending = false;
}

} // namespace kestrel
