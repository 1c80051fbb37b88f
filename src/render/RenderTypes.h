#pragma once

#include "image/TextureFormat.h"

#include <cstdint>

namespace kestrel {

/// Which stored matrix `SetTransform` / `GetTransform` address. A vertex goes through world, then
/// view, then projection.
enum class TransformType : int { Projection = 0, View = 1, World = 2 };

enum class PrimitiveType : int { LineList = 0, LineStrip = 1, TriangleList = 2, TriangleStrip = 3, TriangleFan = 4 };

/// How many primitives `vertexCount` vertices (or indices) make; 0 for an unknown type or too few
/// vertices.
int PrimitiveCount(PrimitiveType type, int vertexCount);

/// Bits of `C3DWDevice::Clear`.
enum ClearFlags : std::uint32_t { ClearColour = 0x1, ClearDepth = 0x2 };

/// Bits of `BufferUsage` for vertex and index buffers.
enum BufferUsage : std::uint32_t {
    BufferGraphicsMemory = 0x1,
    BufferSystemMemory = 0x2, ///< honoured when BufferGraphicsMemory is clear
    BufferDynamic = 0x4,      ///< rewritten often
};

/// Bits of `VertexFormatFlags`: the layout of one vertex in a vertex buffer. The vertex is
/// position (3 floats), normal (3 floats), diffuse colour (4 bytes), secondary colour (4 bytes),
/// then the texture coordinate sets in order; each present only when its bit says so.
enum VertexFormatFlags : std::uint32_t {
    VertexDiffuse = 0x1,
    VertexSecondary = 0x2,
    VertexNormal = 0x4,
    VertexTexSets1 = 0x8,
    VertexTexSets2 = 0x10,
    VertexTexSets3 = 0x20,
    VertexTexSets4 = 0x40,
    /// Size bits of set 0; set i uses these shifted left by 3 × i. Without one a set has 2 floats.
    VertexTexSize1 = 0x800,
    VertexTexSize3 = 0x1000,
    VertexTexSize4 = 0x2000,
};

constexpr std::uint32_t VertexTexSizeBits(int set, std::uint32_t sizeBit)
{
    return sizeBit << (3 * set);
}

/// `VertexFormatFlags` taken apart, with the byte offsets of each part within a vertex.
struct VertexLayout
{
    bool hasNormal = false;
    bool hasColour = false;
    bool hasSecondary = false;
    int texSetCount = 0;
    int texSetSize[4] = {2, 2, 2, 2}; ///< floats per set

    int normalOffset = 0;
    int colourOffset = 0;
    int secondaryOffset = 0;
    int texSetOffset[4] = {};
    int size = 0; ///< bytes the parts take; the stride may be larger
};

VertexLayout DecodeVertexFormat(std::uint32_t flags);

/// A layout of 2-float sets, as `SetVertexFormat` describes user vertices.
VertexLayout MakeVertexLayout(bool colour, bool secondary, bool normal, int texSetCount);

} // namespace kestrel
