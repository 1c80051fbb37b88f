#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

using ByteList = std::vector<std::uint8_t>;

/// Writes W3D files byte by byte, independently of the reader under test, so tests build their
/// own models: low-level chunks (any id, any size field, truncated on purpose) and whole meshes,
/// hierarchies and HLODs from plain descriptions.
class PayloadWriter
{
public:
    PayloadWriter& U16(std::uint16_t value);
    PayloadWriter& U32(std::uint32_t value);
    PayloadWriter& F32(float value);
    PayloadWriter& Vec3(float x, float y, float z);
    /// `text` NUL-padded (or cut) to exactly `length` bytes.
    PayloadWriter& Fixed(const std::string& text, size_t length);
    PayloadWriter& Raw(const ByteList& bytes);
    PayloadWriter& Zeros(size_t count);
    const ByteList& Get() const { return m_bytes; }
    operator ByteList() const { return m_bytes; }

private:
    ByteList m_bytes;
};

/// A chunk whose size field says the payload's length (size 0 for an empty payload).
ByteList Chunk(std::uint32_t id, const ByteList& payload);
/// A chunk with a size field of the caller's choosing (for oversize or odd headers).
ByteList ChunkWithSize(std::uint32_t id, std::uint32_t sizeField, const ByteList& payload);
/// A container: bit 31 set, payload the concatenated children.
ByteList Container(std::uint32_t id, const std::vector<ByteList>& children);
ByteList Concat(const std::vector<ByteList>& parts);
/// A string chunk payload: the text and its NUL.
ByteList Text(const std::string& text);

struct W3DVec
{
    float x = 0, y = 0, z = 0;
};

struct W3DMeshDesc
{
    std::string containerName = "MODEL";
    std::string meshName = "MESH";
    std::vector<W3DVec> positions;
    std::vector<W3DVec> normals;
    std::vector<std::array<std::uint32_t, 3>> triangles;
    /// Header counts default to the list sizes; set to write inconsistent meshes.
    std::optional<std::uint32_t> headerVertexCount;
    std::optional<std::uint32_t> headerTriangleCount;
    /// One bone index per vertex (written only when not empty).
    std::vector<std::uint16_t> influences;

    /// Material pass, written when any of these is set.
    bool materialPass = false;
    std::vector<std::array<float, 2>> texCoords; // stage texture coordinates (u, v as stored)
    std::vector<std::uint32_t> textureIds;        // per-triangle (or single) texture ids
    std::vector<std::string> textureNames;        // W3D_CHUNK_TEXTURES
    std::vector<std::uint32_t> vertexMaterialIds;

    struct VertexMaterial
    {
        std::string name;
        std::array<std::uint8_t, 3> ambient{255, 255, 255};
        std::array<std::uint8_t, 3> diffuse{255, 255, 255};
        std::array<std::uint8_t, 3> emissive{255, 255, 255};
        float opacity = 1.0f;
    };
    std::vector<VertexMaterial> vertexMaterials;

    /// Shader materials (W3D_CHUNK_SHADER_MATERIALS), each with its diffuse texture and a normal
    /// map property beside it; the pass then holds the ids and the coordinates without a stage.
    std::vector<std::string> shaderDiffuseTextures;
    std::vector<std::uint32_t> shaderMaterialIds;
};

struct W3DPivotDesc
{
    std::string name;
    std::uint32_t parent = 0xFFFFFFFFu;
    W3DVec translation;
    std::array<float, 4> rotation{0, 0, 0, 1}; // x, y, z, w
};

struct W3DSubObjectDesc
{
    std::uint32_t bone = 0;
    std::string name;
};

ByteList MeshChunk(const W3DMeshDesc& mesh);
ByteList HierarchyChunk(const std::string& name, const std::vector<W3DPivotDesc>& pivots);
ByteList HLodChunk(const std::string& name, const std::string& hierarchyName,
                const std::vector<W3DSubObjectDesc>& subObjects);

/// One animation channel: `kind` 0..2 translate along x, y, z, 3..5 turn about them, 6 a
/// quaternion (four values per key); `frames` the key frames (consecutive for an uncompressed
/// animation, where only the first counts), `values` the values of all keys in order.
struct W3DChannelDesc
{
    std::uint16_t pivot = 0;
    std::uint8_t kind = 0;
    std::vector<std::uint32_t> frames;
    std::vector<float> values;
};

ByteList AnimationChunk(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount,
                        std::uint32_t frameRate, const std::vector<W3DChannelDesc>& channels);
/// A compressed animation of time-coded channels, or (`motion`) of motion channels with 16-bit
/// frame numbers.
ByteList CompressedAnimationChunk(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount,
                                  std::uint16_t frameRate, const std::vector<W3DChannelDesc>& channels, bool motion);

/// The chunk with its container bit cleared, as some exporters write containers.
ByteList WithoutContainerBit(ByteList chunk);

/// A quad of two triangles in the z = 0 plane from (0,0) to (1,1), normals +z.
W3DMeshDesc UnitQuad(const std::string& meshName = "QUAD");

} // namespace kestrel::test
