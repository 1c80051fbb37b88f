#pragma once

// W3D chunks (meshes, hierarchies, HLods, animations) written field by field, without Kestrel's
// W3D reader, for the demo model, the benchmarks and the model tests.

#include "samples/ByteWriter.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::samples {

/// A chunk whose size field says the payload's length (size 0 for an empty payload).
Bytes8 Chunk(std::uint32_t id, const Bytes8& payload);
/// A chunk with a size field of the caller's choosing (for oversize or odd headers).
Bytes8 ChunkWithSize(std::uint32_t id, std::uint32_t sizeField, const Bytes8& payload);
/// A container: bit 31 set, payload the concatenated children.
Bytes8 Container(std::uint32_t id, const std::vector<Bytes8>& children);

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

Bytes8 MeshChunk(const W3DMeshDesc& mesh);
Bytes8 HierarchyChunk(const std::string& name, const std::vector<W3DPivotDesc>& pivots);
Bytes8 HLodChunk(const std::string& name, const std::string& hierarchyName,
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

Bytes8 AnimationChunk(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount,
                        std::uint32_t frameRate, const std::vector<W3DChannelDesc>& channels);
/// A compressed animation of time-coded channels, or (`motion`) of motion channels with 16-bit
/// frame numbers.
Bytes8 CompressedAnimationChunk(const std::string& name, const std::string& hierarchyName, std::uint32_t frameCount,
                                  std::uint16_t frameRate, const std::vector<W3DChannelDesc>& channels, bool motion);

/// The chunk with its container bit cleared, as some exporters write containers.
Bytes8 WithoutContainerBit(Bytes8 chunk);

/// A quad of two triangles in the z = 0 plane from (0,0) to (1,1), normals +z.
W3DMeshDesc UnitQuad(const std::string& meshName = "QUAD");

} // namespace kestrel::samples
