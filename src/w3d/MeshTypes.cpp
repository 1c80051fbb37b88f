#include "w3d/MeshTypes.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

float MeshBounds::LargestAbsolute() const
{
    float largest = 0;
    for (size_t axis = 0; axis < 3; ++axis)
        largest = std::max({largest, std::fabs(min[axis]), std::fabs(max[axis])});
    return largest;
}

std::optional<MeshBounds> ComputeFiniteBounds(std::span<const MeshVertex> vertices)
{
    std::optional<MeshBounds> bounds;
    for (const auto& vertex : vertices) {
        const auto& p = vertex.position;
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            continue;
        if (!bounds)
            bounds = MeshBounds{p, p};
        for (size_t axis = 0; axis < 3; ++axis) {
            bounds->min[axis] = std::min(bounds->min[axis], p[axis]);
            bounds->max[axis] = std::max(bounds->max[axis], p[axis]);
        }
    }
    return bounds;
}

MeshBounds ComputeBounds(std::span<const MeshVertex> vertices)
{
    return ComputeFiniteBounds(vertices).value_or(MeshBounds{});
}

int FindMaterialIndex(std::span<const MeshMaterial> materials, const std::string& name)
{
    for (size_t i = 0; i < materials.size(); ++i) {
        if (materials[i].desc.name == name)
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<TriangleRange> ResolveRanges(std::span<const TriangleRange> ranges, std::span<const MeshMaterial> materials)
{
    std::vector<TriangleRange> resolved(ranges.begin(), ranges.end());
    for (auto& range : resolved)
        range.materialIndex = FindMaterialIndex(materials, range.materialName);
    return resolved;
}

} // namespace kestrel
