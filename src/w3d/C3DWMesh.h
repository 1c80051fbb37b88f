#pragma once

#include "w3d/IModelBuilderTarget.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class C3DWDevice;
class C3DWIndexBuffer;
class C3DWTexture;
class C3DWVertexBuffer;
class C3DWVertexShader;
class IW3DTextureSource;

/// One part of a mesh's shared buffers: a mesh of the model, with its own frames of vertices.
struct GeometryGroup
{
    std::string name;
    int startIndex = 0;    ///< first index of the group in the shared index buffer
    int firstVertex = 0;   ///< first vertex of the group in the shared vertex buffer
    int vertexCount = 0;   ///< per frame
    int triangleCount = 0;
    int frameCount = 1;    ///< frames stored for this group, one after the other
    std::vector<TriangleRange> ranges;
};

/// A texture a mesh loaded, under the name it was asked for (without the prefix). The texture is
/// null when it failed to load and was added anyway.
struct MeshTexture
{
    std::string name;
    std::unique_ptr<C3DWTexture> texture;
};

struct MeshFrame
{
    std::string name;
    int value = 1;
};

/// A whole model on a 3D device: every mesh of the model appended as a geometry group to one
/// shared vertex buffer and one shared 16-bit index buffer, the materials and loaded textures, and
/// the triangle ranges that say which material draws which triangles. Vertices carry the next
/// frame's position and normal for a blending vertex shader, which every mesh creates; without
/// blending (the preview) drawing goes through the device's fixed-function state. The device
/// must outlive the mesh; the mesh owns its buffers, shader and textures.
class C3DWMesh : public IModelBuilderTarget
{
public:
    /// Vertex format with the blending shader: position, normal, texture sets of 2, 3, 3 floats.
    static constexpr std::uint32_t ShaderVertexFormat = 0x48024;
    /// Vertex format without it: position, normal, one coordinate pair.
    static constexpr std::uint32_t FixedVertexFormat = 0xC;
    static constexpr int VertexStride = 56;

    /// The blending vertex shader, Direct3D assembly of 34 lines ended by CR LF.
    static std::string_view VertexShaderText();

    explicit C3DWMesh(C3DWDevice& device);
    ~C3DWMesh() override;
    C3DWMesh(const C3DWMesh&) = delete;
    C3DWMesh& operator=(const C3DWMesh&) = delete;

    /// Joined in front of every texture name before it is loaded.
    void SetTextureNamePrefix(std::string prefix) { m_texturePrefix = std::move(prefix); }
    /// Borrowed; without one, textures are files loaded by the device.
    void SetTextureSource(IW3DTextureSource* source) { m_textureSource = source; }

    int AddMaterial(const MeshMaterialDesc& material) override;
    /// The index of the texture loaded under `name`, loading it when new. A texture that fails
    /// is not remembered (so the next material naming it tries again) unless `addEmptyOnFailure`.
    int GetTextureIndex(const std::string& name, bool addEmptyOnFailure);
    int AddGeometry(const std::string& name, std::span<const MeshVertex> vertices, int frameCount,
                    std::span<const std::uint16_t> indices, std::span<const TriangleRange> ranges) override;
    /// Below 1 is ignored; the frame list is cut or grown ("Frame" + index, value 1).
    void SetFrameCount(int count);
    bool GetBounds(int group, MeshBounds& bounds) override;
    /// Draws every range of every group; call between the device's BeginScene and EndScene.
    void Render();
    void Clear() override;

    void SetFrameIndex(int frame) { m_frameIndex = frame; }
    void SetBlendWeight(float weight) { m_blendWeight = weight; }
    void EnableBlending(bool on) { m_blending = on; }

    const std::vector<GeometryGroup>& Groups() const { return m_groups; }
    const std::vector<MeshMaterial>& Materials() const { return m_materials; }
    const std::vector<MeshTexture>& Textures() const { return m_textures; }
    const std::vector<MeshFrame>& Frames() const { return m_frames; }
    int FrameCount() const { return m_frameCount; }
    bool IsShaderUsable() const { return m_shaderUsable; }
    const C3DWVertexBuffer* VertexBuffer() const { return m_vertexBuffer.get(); }
    const C3DWIndexBuffer* IndexBuffer() const { return m_indexBuffer.get(); }

private:
    bool AppendVertices(std::span<const MeshVertex> vertices, int frameCount);
    bool AppendIndices(std::span<const std::uint16_t> indices);
    void LoadShaderConstants();
    void DrawRange(const GeometryGroup& group, const TriangleRange& range);

    C3DWDevice& m_device;
    std::vector<GeometryGroup> m_groups;
    std::vector<MeshMaterial> m_materials;
    std::vector<MeshFrame> m_frames;
    int m_frameCount = 1;
    std::string m_texturePrefix;
    std::vector<MeshTexture> m_textures;
    int m_frameIndex = 0;
    float m_blendWeight = 0.0f;
    bool m_blending = false;
    bool m_shaderUsable = true;
    IW3DTextureSource* m_textureSource = nullptr;
    std::unique_ptr<C3DWVertexBuffer> m_vertexBuffer;
    std::unique_ptr<C3DWIndexBuffer> m_indexBuffer;
    std::unique_ptr<C3DWVertexShader> m_vertexShader;
};

} // namespace kestrel
