#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace kestrel {

/// One vertex as the mesh's vertex buffer holds it: the vertex of the current frame (position,
/// normal, texture coordinate) and the position and normal of the same vertex in the next frame,
/// which the blending vertex shader reads as texture coordinate sets 1 and 2.
struct MeshVertex
{
    std::array<float, 3> position{};
    std::array<float, 3> normal{};
    std::array<float, 2> texCoord{};
    std::array<float, 3> nextPosition{};
    std::array<float, 3> nextNormal{};
};
static_assert(sizeof(MeshVertex) == 56, "the vertex buffer stride is 56 bytes");
static_assert(std::is_standard_layout_v<MeshVertex> && std::is_trivially_copyable_v<MeshVertex>);

/// Triangles first to last (inclusive, counted within their group) drawn with one material.
struct TriangleRange
{
    std::uint16_t first = 0;
    std::uint16_t last = 0;
    std::string materialName;
    /// Filled when the range is added to a model: the first material of that name, or -1.
    int materialIndex = -1;
};

/// What a material is made of when it is added: colours as 0xAARRGGBB and up to three textures
/// (only the first is drawn).
struct MeshMaterialDesc
{
    std::string name;
    std::uint32_t ambient = 0xFFFFFFFFu;
    std::uint32_t diffuse = 0xFFFFFFFFu;
    std::uint32_t emissive = 0xFFFFFFFFu;
    std::array<std::string, 3> textureNames;
};

/// A material as a model keeps it: its description and the indices of its loaded textures.
struct MeshMaterial
{
    MeshMaterialDesc desc;
    std::array<int, 3> textureIndex{-1, -1, -1};
};

/// Axis-aligned bounds of vertex positions.
struct MeshBounds
{
    std::array<float, 3> min{};
    std::array<float, 3> max{};
    /// The largest absolute value among the six coordinates.
    float LargestAbsolute() const;
};

/// Bounds of the current-frame positions of `vertices` whose three coordinates are all finite
/// (one NaN from a damaged model would otherwise spread to the whole box); nullopt for none.
std::optional<MeshBounds> ComputeFiniteBounds(std::span<const MeshVertex> vertices);
/// ComputeFiniteBounds, all zero for none.
MeshBounds ComputeBounds(std::span<const MeshVertex> vertices);

/// Position of the first material named exactly `name`, or -1.
int FindMaterialIndex(std::span<const MeshMaterial> materials, const std::string& name);

/// Copies of `ranges`, each with the index of the first material of its name (or -1).
std::vector<TriangleRange> ResolveRanges(std::span<const TriangleRange> ranges, std::span<const MeshMaterial> materials);

} // namespace kestrel
