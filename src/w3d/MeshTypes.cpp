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

void MeshBounds::Include(const MeshBounds& other)
{
    for (size_t axis = 0; axis < 3; ++axis) {
        min[axis] = std::min(min[axis], other.min[axis]);
        max[axis] = std::max(max[axis], other.max[axis]);
    }
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

std::vector<std::string> MaterialTextureNames(std::span<const MeshMaterial> materials)
{
    std::vector<std::string> names;
    for (const auto& material : materials) {
        for (const auto& name : material.desc.textureNames) {
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    return names;
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
